// SPDX-License-Identifier: GPL-3.0-or-later
// Bonuses: they come out of nowhere now and then, or from one destroyed invader in
// three, fall, and refill the armour or one weapon's ammunition when caught.
#include <algorithm>

#include "game/game.h"

namespace {
// How often one comes out of nowhere: the game's pace (play.h).
constexpr int drop_chance = 3;             // one in this many destroyed invaders
constexpr int bonus_kinds = 4;
constexpr double bonus_speed = 0.25;       // pixels per tick at game speed 1.0

// Kind 0 is armour; kinds 1 to 3 are shots for weapons 0 to 2.
constexpr int shots_given[bonus_kinds] = {0, 10, 5, 2};

void collect(PlayerShip& ship, int kind) {
    if (kind == 0) {
        ship.armour = std::clamp(ship.armour + 20, 0, 100);
    } else {
        ship.ammo[kind - 1] += shots_given[kind];
    }
}
}  // namespace

// Draws in order: the chance, the kind, the column. It starts with its bottom row
// just above the screen.
void Game::spawn_random_bonus() {
    if (replay.random.below(pace.random_bonus_chance) != 0) return;
    const int kind = replay.random.below(bonus_kinds);
    const BITMAP* look = bonus_frames[0];
    const int x = replay.random.below(width - look->w - 1);
    bonuses.emplace_back(x, -look->h, kind, bonus_frames, game_speed * bonus_speed);
}

// Called for each destroyed invader, with the centre it had.
void Game::drop_bonus(int centre_x, int centre_y) {
    if (replay.random.below(drop_chance) != 0) return;
    const int kind = replay.random.below(bonus_kinds);
    bonuses.emplace_back(centre_x, centre_y, kind, bonus_frames, game_speed * bonus_speed);
}

// At most one bonus is caught per update: the pass stops there, and the bonuses
// behind it wait for the next update.
void Game::move_bonuses(int elapsed) {
    bool caught = false;
    erase_gone(bonuses, [&](Bonus& bonus) {
        if (caught) return false;
        bonus.y += elapsed * bonus.speed;
        bonus.animate();
        if (bonus.collides_with(*player)) {
            collect(*player, bonus.kind);
            play_effect(Effect::bonus_collected, int(bonus.x) + (bonus_frames[0]->w >> 1));
            return caught = true;
        }
        return int(bonus.y) > height;
    });
}
