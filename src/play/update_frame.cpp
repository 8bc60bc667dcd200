// One frame of play: every step in a fixed order, since later steps see what
// earlier ones did. Movement scales with the ticks elapsed since the previous
// update; animations, delays, the armour gauge and the random chances count updates.
#include "frame/game.h"

bool Game::update_frame() {
    // Taken before the quit dialog can open, so the time it stays open never counts.
    const int elapsed = *ticks - last_tick;
    bool game_ends = false;

    read_gamepad();
    fire();
    steer(elapsed);
    read_speed_keys();
    choose_weapon();
    if (quit_asked()) game_ends = quit_dialog();
    if (pause_asked() && !game_ends) game_ends = pause_screen();  // not once the player chose to leave
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
    if (player->hull < 1) game_ends = game_over_screen();

    last_tick = *ticks;
    return game_ends;
}

// Its driver has no interrupt: the state is read once per update.
void Game::read_gamepad() { pad.poll(); }

// Slower (Down) wins over faster (Up). The factor scales the stars at once, but only the
// speed given to new shots, invaders and bonuses.
void Game::read_speed_keys() {
    game_speed = settings.bindings.held(actions::faster, pad) ? 3.0 : 1.0;
    if (settings.bindings.held(actions::slower, pad)) game_speed = 0.5;
}

// The update runs before the drawing, so this is the last frame shown.
void Game::save_screenshot() {
    save_bitmap("capture.pcx", buffer, nullptr);
}
