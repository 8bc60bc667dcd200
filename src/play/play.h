// SPDX-License-Identifier: GPL-3.0-or-later
// Play: one game from its start to its end. Its steps (the frame update, the ship, the
// invaders, the hits, the bonuses, the drawing of the field) are methods of Game; this header
// holds the star field, the one thing of play that is not an actor.
#pragma once

// One pixel of the star field: nearer layers are brighter and fall faster.
struct Star {
    double x;
    double y;
    int grey;
};

struct GameRandom;
// Gives a star a new column and brightness within its layer's range.
void place_star(Star& star, int layer, int screen_width, GameRandom& random);

// The whole field, stars placed at random over the screen, layer by layer.
Star** create_star_field(int layers, int per_layer, int width, int height);
void destroy_star_field(Star** field, int layers);
