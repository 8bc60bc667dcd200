// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of play: every step in a fixed order, since later steps see what
// earlier ones did. Movement scales with the ticks elapsed since the previous
// update; animations, delays, the armour gauge and the random chances count updates.
#include "game/game.h"

bool Game::update_frame() {
    // Taken before the quit dialog can open, so the time it stays open never counts. A game
    // played back takes the clock step and the inputs it recorded.
    int elapsed = *ticks - last_tick;
    const UpdateInputs inputs = replay.playing() ? replay.next_inputs(elapsed) : read_inputs();
    bool game_ends = false;

    fire(inputs);
    steer(elapsed, inputs);
    read_speed_keys(inputs);
    choose_weapon(inputs);
    // The demo asks nothing: any input has already ended it.
    if (!replay.demo && quit_asked()) game_ends = quit_dialog();
    if (!replay.demo && pause_asked() && !game_ends) game_ends = pause_screen();  // not once the player chose to leave
    if (close_requested) game_ends = true;  // the window is closing: no question asked
    if (key[KEY_PRTSCR]) save_screenshot();
    scroll_stars(elapsed);
    move_shots(elapsed);
    spawn_random_bonus();
    move_bonuses(elapsed);
    spawn_random_invader();
    move_invaders(elapsed);
    update_ship();
    ram_invaders();
    advance_explosions();
    // The end follows the gauge, not the armour: a bonus caught in time still saves the ship.
    const bool ship_lost = player->hull < 1;
    // Recorded (the game over screen keeps the whole game), or checked against the
    // recording: a game played back stops where it differs.
    if (!replay.after_update(elapsed, inputs, game_ends || ship_lost, *this)) game_ends = true;
    // A game played back has had its score kept already.
    if (ship_lost) game_ends = replay.playing() || game_over_screen();

    last_tick = *ticks;
    return game_ends;
}

// Everything the update reads from the player, once. The gamepad's driver has no
// interrupt: its state is read here too.
UpdateInputs Game::read_inputs() {
    pad.poll();
    UpdateInputs inputs;
    // Auto-fire: held, the fire key stops it. What is recorded is the fire this gives, so a
    // replay plays the same whatever the setting is when it is watched.
    inputs.fire = fire_held() != settings.auto_fire;
    inputs.left = left_held();
    inputs.right = right_held();
    for (int w = 0; w < 3; w++) inputs.weapon[w] = weapon_chosen(w);
    inputs.faster = settings.bindings.held(actions::faster, pad);
    inputs.slower = settings.bindings.held(actions::slower, pad);
    return inputs;
}

// Slower (Down) wins over faster (Up); both multiply the pace's own speed. The factor scales
// the stars at once, but only the speed given to new shots, invaders and bonuses.
void Game::read_speed_keys(const UpdateInputs& inputs) {
    game_speed = pace.speed * (inputs.faster ? 3.0 : 1.0);
    if (inputs.slower) game_speed = pace.speed * 0.5;
}

// The update runs before the drawing, so this is the last frame shown.
void Game::save_screenshot() {
    save_bitmap("capture.pcx", buffer, nullptr);
}
