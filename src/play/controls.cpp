// The player's inputs: each reads the keyboard and the first gamepad together, so either
// (or both at once) plays.
#include "frame/game.h"

bool Game::fire_held() const { return key[KEY_SPACE] || pad.button(GamePad::fire_button); }

bool Game::left_held() const { return key[KEY_LEFT] || pad.left(); }

bool Game::right_held() const { return key[KEY_RIGHT] || pad.right(); }

// On a French keyboard the keys marked 1, 2, 3 give "&", "é", "\"": Allegro maps a key by
// every symbol it carries, so KEY_1 to KEY_3 are those same keys.
bool Game::weapon_chosen(int weapon) const {
    static const int weapon_keys[3] = {KEY_1, KEY_2, KEY_3};
    return key[weapon_keys[weapon]] || pad.button(GamePad::first_weapon_button + weapon);
}

// Escape, Start, or the window's focus lost. A lost focus is taken once: the player who
// comes back and goes on is not asked again. A full screen holds the keyboard: its focus
// changes come from making its window.
bool Game::quit_asked() {
    const bool full_screen = gfx_driver && !is_windowed_mode();
    const bool left_the_window = focus_lost.exchange(false) && !full_screen;
    return key[KEY_ESC] || pad.start() || left_the_window;
}

bool Game::pause_asked() const { return key[KEY_P] || pause_key_struck; }
