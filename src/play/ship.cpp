// SPDX-License-Identifier: GPL-3.0-or-later
// The player's side of the frame update: firing, steering, the weapon keys and
// the ship's own bookkeeping at the end of each update.
#include "game/game.h"

namespace {
constexpr int ship_fire_delay = 10;  // updates between two shots
constexpr double shot_speed = 0.6;   // pixels per tick at game speed 1.0
}  // namespace

// Runs before the speed keys are read, so a new shot takes the previous update's speed.
void Game::fire(const UpdateInputs& inputs) {
    PlayerShip& ship = *player;
    if (!inputs.fire || ship.fire_delay != 0 || ship.ammo[ship.weapon] <= 0) return;
    BITMAP** strip = shot_frames[ship.weapon];
    // Centred on the ship's middle, its top level with the ship's top edge.
    const int x = int(ship.x) + (player_frames[0]->w >> 1) - (strip[0]->w >> 1);
    shots.emplace_back(x, int(ship.y), ship.weapon, 0, strip, game_speed * shot_speed);
    ship.ammo[ship.weapon]--;
    ship.fire_delay = ship_fire_delay;
    // The weapons' sounds follow one another in the order of the weapons.
    play_effect(Effect(int(Effect::missiles_fired) + ship.weapon), x + (strip[0]->w >> 1));
}

// The edge is tested before the move, so a move may end a little beyond it.
void Game::steer(int elapsed, const UpdateInputs& inputs) {
    PlayerShip& ship = *player;
    if (inputs.left && int(ship.x) > 0) ship.move_left(elapsed);
    if (inputs.right && int(ship.x) + player_frames[0]->w < width) ship.move_right(elapsed);
}

// With several keys held the highest weapon wins. Runs after firing, so a new
// choice first acts in the next update.
void Game::choose_weapon(const UpdateInputs& inputs) {
    if (inputs.weapon[weapons::missiles]) player->weapon = weapons::missiles;
    if (inputs.weapon[weapons::fireball]) player->weapon = weapons::fireball;
    if (inputs.weapon[weapons::choc]) player->weapon = weapons::choc;
}

// The gauge (hull) follows the real armour by one point per update, so a hit
// empties the bar gradually.
void Game::update_ship() {
    PlayerShip& ship = *player;
    ship.animate();
    if (ship.fire_delay > 0) ship.fire_delay--;
    if (ship.hull > ship.armour) {
        ship.hull--;
    } else if (ship.hull < ship.armour) {
        ship.hull++;
    }
}
