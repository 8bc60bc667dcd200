// SPDX-License-Identifier: GPL-3.0-or-later
// The player's inputs: each reads the keyboard and the first gamepad together, so either
// (or both at once) plays, through the keys and buttons the player chose.
#include "game/game.h"

bool Game::fire_held() const { return settings.bindings.held(actions::fire, pad); }

bool Game::left_held() const { return settings.bindings.held(actions::left, pad) || pad.left(); }

bool Game::right_held() const { return settings.bindings.held(actions::right, pad) || pad.right(); }

// On a French keyboard the keys marked 1, 2, 3 give "&", "é", "\"": Allegro maps a key by
// every symbol it carries, so KEY_1 to KEY_3 (the first choice) are those same keys.
bool Game::weapon_chosen(int weapon) const { return settings.bindings.held(actions::first_weapon + weapon, pad); }

// Escape, Start, or the window's focus lost. A lost focus is taken once: the player who
// comes back and goes on is not asked again. A full screen holds the keyboard: its focus
// changes come from making its window.
bool Game::quit_asked() {
    const bool full_screen = gfx_driver && !is_windowed_mode();
    const bool left_the_window = focus_lost.exchange(false) && !full_screen;
    return key[KEY_ESC] || pad.start() || left_the_window;
}

// The Pause key pauses too, whatever key the player chose.
bool Game::pause_asked() const { return settings.bindings.held(actions::pause, pad) || pause_key_struck; }
