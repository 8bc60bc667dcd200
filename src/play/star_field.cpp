// SPDX-License-Identifier: GPL-3.0-or-later
// The scrolling star field behind the play field.
#include <cstdlib>

#include "game/game.h"
#include "play/play.h"

namespace {
// Layer L's grey levels run from 40 * L to 40 * L + 134: nearer layers are brighter.
int layer_grey(int layer, int random_number) { return random_number % 135 + 40 * layer; }
}  // namespace

// In play: from the game's own numbers, so that a recorded game replays the same sky.
void place_star(Star& star, int layer, int screen_width, GameRandom& random) {
    star.x = random.below(screen_width);
    star.grey = layer_grey(layer, random.below(135));
}

Star** create_star_field(int layers, int per_layer, int width, int height) {
    Star** field = new Star*[layers];
    for (int layer = 0; layer < layers; layer++) {
        field[layer] = new Star[per_layer];
        for (int i = 0; i < per_layer; i++) {
            // Three draws per star, in this order. The first sky is not part of any game:
            // it comes from the C library's numbers.
            Star& star = field[layer][i];
            star.x = rand() % width;
            star.y = rand() % height;
            star.grey = layer_grey(layer, rand());
        }
    }
    return field;
}

void destroy_star_field(Star** field, int layers) {
    for (int layer = 0; layer < layers; layer++) delete[] field[layer];
    delete[] field;
}

// Each layer falls at its own pace; a star past the bottom comes back at the top
// (without moving in that update) with a new column and brightness.
void Game::scroll_stars(int elapsed) {
    for (int layer = 0; layer < star_layers; layer++) {
        for (int i = 0; i < stars_per_layer; i++) {
            Star& star = star_field[layer][i];
            if (star.y > height) {
                place_star(star, layer, width, replay.random);
                star.y = 1.0;
            } else {
                star.y += double(elapsed * (layer + 1)) * game_speed * 0.2;
            }
        }
    }
}
