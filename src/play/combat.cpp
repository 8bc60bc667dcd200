// SPDX-License-Identifier: GPL-3.0-or-later
// Hits, damage and explosions: the shots pass, the ramming pass and the explosion pass.
#include <algorithm>

#include "game/game.h"

namespace {
constexpr int hit_score = 30;          // every hit of a ship's shot, destroying or not
constexpr int missile_damage = 50;     // a new invader takes two Missiles hits
constexpr int shot_on_ship_score = 20;
constexpr int shot_on_ship_armour = 30;
constexpr int ramming_score = 10;
constexpr int ramming_armour = 50;
constexpr int last_explosion_frame = 24;
// A ship's shot this far above the screen can meet no invader: they all start at y = -100.
constexpr double shots_gone_above = -100.0;

struct Point {
    int x;
    int y;
};

Point centre_of(const Invader& invader) {
    return {int(invader.x) + (invader.width >> 1), int(invader.y) + (invader.height >> 1)};
}

void hurt_ship(PlayerShip& ship, int score_loss, int armour_loss) {
    ship.score -= score_loss;
    ship.armour = std::clamp(ship.armour - armour_loss, 0, 100);
}

bool gone_above(const Shot& shot) {
    return shot.weapon != weapons::invader && shot.y + shot.frames[shot.frame]->h < shots_gone_above;
}
}  // namespace

void Game::move_shots(int elapsed) {
    erase_gone(shots, [&](Shot& shot) {
        shot.advance(elapsed);
        shot.animate();
        if (int(shot.y) > height || gone_above(shot)) return true;

        bool spent = false;
        if (shot.weapon == weapons::invader) {
            if (shot.collides_with(*player)) {
                const int ship_centre_x = int(player->x) + (player_frames[0]->w >> 1);
                explosions.emplace_back(ship_centre_x, int(player->y), explosion_frames);
                hurt_ship(*player, shot_on_ship_score, shot_on_ship_armour);
                play_effect(Effect::ship_hit, ship_centre_x);
                spent = true;
            }
            return spent;
        }
        // Missiles and Fireball stop at the first invader touched, in list order;
        // a Choc shot goes through every invader it touches.
        erase_gone(invaders, [&](Invader& invader) {
            if (spent || !shot.collides_with(invader)) return false;
            const Point centre = centre_of(invader);
            explosions.emplace_back(centre.x, centre.y, explosion_frames);
            player->score += hit_score;
            bool destroyed = true;
            if (shot.weapon == weapons::missiles) {
                invader.hull -= missile_damage;
                destroyed = invader.hull < 1;
            }
            spent = shot.weapon != weapons::choc;
            play_effect(destroyed ? Effect::invader_destroyed : Effect::invader_hit, centre.x);
            if (destroyed) {
                player->kills++;
                drop_bonus(centre.x, centre.y);
            }
            return destroyed;
        });
        return spent;
    });
}

// Ramming costs the ship and counts no kill, though the invader is gone.
void Game::ram_invaders() {
    erase_gone(invaders, [&](Invader& invader) {
        if (!invader.collides_with(*player)) return false;
        const Point centre = centre_of(invader);
        explosions.emplace_back(centre.x, centre.y, explosion_frames);
        hurt_ship(*player, ramming_score, ramming_armour);
        play_effect(Effect::ram, centre.x);
        drop_bonus(centre.x, centre.y);
        return true;
    });
}

// Explosions are created earlier in the same update, so each is drawn with frames 1 to 24.
void Game::advance_explosions() {
    erase_gone(explosions, [](Explosion& explosion) { return ++explosion.frame > last_explosion_frame; });
}
