// SPDX-License-Identifier: GPL-3.0-or-later
// Invaders in play: one now and then above the top edge, then a steady descent,
// a sideways pursuit of the ship's column, and a shot whenever exactly lined up.
#include "game/game.h"

namespace {
// How often they come, their sideways speed and fire delay: the game's pace (play.h).
constexpr int invader_looks = 11;
constexpr double descent_speed = 0.5;      // pixels per tick, whatever the game speed
constexpr double invader_shot_speed = 0.6;
}  // namespace

// Three draws when it comes: the chance, the look, then the column, which keeps the whole
// first frame inside the screen.
void Game::spawn_random_invader() {
    if (replay.random.below(pace.invader_chance) != 0) return;
    const int kind = replay.random.below(invader_looks);
    const int x = replay.random.below(width - invader_frames[kind][0]->w);
    invaders.emplace_back(kind, x, invader_frames[kind], game_speed * pace.invader_side_speed);
}

void Game::move_invaders(int elapsed) {
    erase_gone(invaders, [&](Invader& invader) {
        invader.y += elapsed * descent_speed;

        // The column at which the invader's middle is over the ship's middle.
        const int target = int(player->x) + ((player_frames[0]->w - invader.width) >> 1);
        // A move right past the target is taken back at once, so an invader never
        // strays more than one step from the ship's column.
        if (int(invader.x) < target) invader.move_right(elapsed);
        if (int(invader.x) > target) invader.move_left(elapsed);

        if (invader.fire_delay > 0) invader.fire_delay--;
        if (int(invader.x) == target && invader.fire_delay == 0) {
            const int x = int(invader.x) - (invader_shot_frames[0]->w >> 1) + (invader.width >> 1);
            shots.emplace_back(x, int(invader.y), weapons::invader, 1, invader_shot_frames,
                               game_speed * invader_shot_speed);
            invader.fire_delay = pace.invader_fire_delay;
            play_effect(Effect::invader_fired, x + (invader_shot_frames[0]->w >> 1));
        }
        invader.animate();

        // Leaving through the bottom costs the player nothing.
        return int(invader.y) > height;
    });
}
