// A window or the full screen: the mode at start-up, the switch with Alt+Enter or F11
// at any screen, and what every new screen needs from the game.
#include "frame/game.h"

namespace {
const char* const window_title = "Zudaduviz";

Settings::Display display_in_use() {
    return is_windowed_mode() ? Settings::Display::window : Settings::Display::fullscreen;
}
}  // namespace

bool Game::set_display(Settings::Display display) {
    for (int card : graphics_cards_for(display)) {
        if (set_gfx_mode(card, width, height, 0, 0) == 0) {
            mind_the_window();
            return true;
        }
    }
    return false;
}

// A new screen forgets its window's title, its callbacks and the pointer's range.
void Game::mind_the_window() {
    set_window_title(window_title);
    set_close_button_callback(close_button_callback);
    // The only mode X11 offers; the game keeps running, and a game in progress pauses
    // itself in its quit dialog.
    set_display_switch_mode(SWITCH_BACKGROUND);
    set_display_switch_callback(SWITCH_OUT, focus_lost_callback);
    set_display_switch_callback(SWITCH_IN, focus_back_callback);
    set_mouse_range(pointer_left, pointer_top, pointer_right, pointer_bottom);
}

void Game::keep_pointer_in(int left, int top, int right, int bottom) {
    pointer_left = left;
    pointer_top = top;
    pointer_right = right;
    pointer_bottom = bottom;
    set_mouse_range(left, top, right, bottom);
}

bool Game::display_switch_wanted() {
    const bool down = key[KEY_F11] || ((key[KEY_ALT] || key[KEY_ALTGR]) && key[KEY_ENTER]);
    const bool wanted = down && !switch_keys_down;
    switch_keys_down = down;
    return wanted;
}

bool Game::enter_pressed() const { return key[KEY_ENTER] && !key[KEY_ALT] && !key[KEY_ALTGR]; }

void Game::switch_display() {
    // The time the switch takes never counts in a game, as for the quit dialog.
    std::atomic<int>& clock = ticks ? *ticks : tick_counter;
    const int ticks_before = clock;
    const Settings::Display from = display_in_use();
    const Settings::Display to =
        from == Settings::Display::window ? Settings::Display::fullscreen : Settings::Display::window;
    if (set_gfx_mode(graphics_cards_for(to).front(), width, height, 0, 0) == 0) {
        settings.display = to;
        save_settings(settings, settings_path);  // not kept, the game goes on all the same
    } else if (set_gfx_mode(graphics_cards_for(from).front(), width, height, 0, 0) != 0) {
        fail(graphics_failed);
    }
    mind_the_window();
    // The Enter of Alt+Enter must not also play or confirm, and a key released while the
    // window was being made again would stay down (Alt too: Allegro forgets it here).
    reset_keyboard();
    key[KEY_ALT] = key[KEY_ALTGR] = 0;
    switch_keys_down = true;
    // Remaking the window moves the focus around: that is not the player leaving.
    focus_lost = false;
    clock = ticks_before;
    blit(buffer, screen, 0, 0, 0, 0, width, height);
}
