// SPDX-License-Identifier: GPL-3.0-or-later
// Every picture of the data file, one function each; frames count from 0.
#pragma once

#include "canvas.h"

Canvas bonus_picture(int frame);
// The pictures that hold words take the language, as the data file's set: 0 French, 1 English.
// state 0 normal, 1 pointer over it, 2 pressed.
Canvas play_button_picture(int state, int language = 0);
// look 0 to 10.
Canvas invader_picture(int look, int frame);
// frame 0 to 24, in the order the game plays them.
Canvas explosion_picture(int frame);
Canvas game_over_picture(int language = 0);
Canvas ship_picture(int frame);
// Not in the data file: the ship drawn for a size x size application icon.
Canvas ship_icon(int size);
Canvas quit_pointer_picture();
Canvas menu_pointer_picture();
Canvas quit_dialog_picture(int language = 0);
Canvas title_picture();
// weapon 0 Missiles, 1 Fireball, 2 Choc, 3 the invaders' shot.
Canvas shot_picture(int weapon, int frame);
