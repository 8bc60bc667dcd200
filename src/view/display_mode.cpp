// SPDX-License-Identifier: GPL-3.0-or-later
// A window or the full screen: the mode at start-up, the keys that change it at any
// screen, and what every new screen needs from the game.
#include <algorithm>

#include "game/game.h"
#include "host/host.h"

namespace {
const char* const window_title = "Zudaduviz";
// How long a new mode's name stays on the screen: two seconds at the retrace's 70 frames.
constexpr int notice_frames = 140;

// The screen opens at the desktop's depth where the colour table turns the picture into its
// pixels (Allegro's own 16 to 24-bit conversion is most of a frame's cost), else at 16 bits.
std::vector<int> screen_depths() {
    const int desktop = desktop_color_depth();
    if (desktop == 24 || desktop == 32) return {32, 16};
    return {16};
}

void desktop_size(int& width, int& height) {
    if (get_desktop_resolution(&width, &height) != 0) width = height = 0;
}

// Players take a small centred picture for "no full screen": the full screen says so, once,
// in the black band above the picture, on the screen only (never in the game's picture or its
// captures), in pixels as large as the picture's. Only the full screen leaves such a band;
// the present step never draws there, so the words stay until show_buffer blacks them out.
void say_mode(View& view) {
    if (is_windowed_mode()) return;
    const std::string notice = view.whole_scale() ? printed(_("Plein écran x%d - F9 : remplir l'écran"), view.whole_scale())
                                                  : _("Plein écran rempli - F9 : échelle entière");
    const int pixel = std::max(1, (view.shown_height + view.picture_height / 2) / view.picture_height);
    const int depth = bitmap_color_depth(screen);
    const int band_height = (text_height(font) + 8) * pixel;
    if (view.top < band_height) return;
    BITMAP* band = create_bitmap_ex(depth, text_length(font, notice.c_str()) + 16, text_height(font) + 8);
    if (!band) return;  // no memory: the mode goes unsaid
    clear_to_color(band, makecol_depth(depth, 0, 0, 0));
    textout_ex(band, font, notice.c_str(), 8, 4, makecol_depth(depth, 255, 255, 192), -1);
    stretch_blit(band, screen, 0, 0, band->w, band->h, (SCREEN_W - band->w * pixel) / 2, (view.top - band_height) / 2,
                 band->w * pixel, band_height);
    destroy_bitmap(band);
    view.notice_frames = notice_frames;
}
}  // namespace

bool Game::open_display() {
    int desktop_width, desktop_height;
    desktop_size(desktop_width, desktop_height);
    for (const DisplayMode& mode : display_modes_for(settings, desktop_width, desktop_height, width, height)) {
        for (int depth : screen_depths()) {
            set_color_depth(depth);
            const bool opened = set_gfx_mode(mode.card, mode.width, mode.height, 0, 0) == 0;
            // The buffer, the pictures and every colour the game makes stay 16-bit.
            set_color_depth(16);
            if (!opened) continue;
            let_shared_memory_go();
            view.match(bitmap_color_depth(screen));
            // Full screen at the desktop's size: the largest whole scale, or "fill".
            const bool desktop_sized = mode.scale == 0;
            const int scale = desktop_sized ? largest_scale(SCREEN_W, SCREEN_H, width, height) : mode.scale;
            view.place(SCREEN_W, SCREEN_H, scale, desktop_sized && settings.fill);
            clear_bitmap(screen);  // the borders
            pointer_view = &view;
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
    view.keep_pointer_in(view.pointer_left, view.pointer_top, view.pointer_right, view.pointer_bottom);
}

void Game::keep_pointer_in(int left, int top, int right, int bottom) { view.keep_pointer_in(left, top, right, bottom); }

bool Game::display_switch_wanted() {
    const bool down = key[KEY_F11] || ((key[KEY_ALT] || key[KEY_ALTGR]) && key[KEY_ENTER]);
    return view.switch_keys.struck(down);
}

bool Game::enter_pressed() const { return key[KEY_ENTER] && !key[KEY_ALT] && !key[KEY_ALTGR]; }

void Game::answer_display_keys() {
    Settings wanted = settings;
    if (display_switch_wanted()) {
        wanted.display = is_windowed_mode() ? Settings::Display::fullscreen : Settings::Display::window;
        return change_display(wanted);
    }
    if (!view.view_keys.struck(key[KEY_F9] || key[KEY_F10])) return;
    if (key[KEY_F10] && is_windowed_mode()) {
        // The next scale that fits the desktop, back to 1 after the largest.
        int desktop_width, desktop_height;
        desktop_size(desktop_width, desktop_height);
        wanted.display = Settings::Display::window;
        wanted.scale = view.whole_scale() % largest_window_scale(desktop_width, desktop_height, width, height) + 1;
        return change_display(wanted);
    }
    if (!key[KEY_F9]) return;
    // Fill or whole: kept for the full screen, where it shows at once (no new mode needed).
    settings.fill = !settings.fill;
    save_settings(settings, settings_path);  // kept for this run even if it cannot be saved
    if (!is_windowed_mode() && (SCREEN_W > width || SCREEN_H > height)) {
        const int x = pointer_x(), y = pointer_y();
        view.place(SCREEN_W, SCREEN_H, largest_scale(SCREEN_W, SCREEN_H, width, height), settings.fill);
        clear_bitmap(screen);
        mind_the_window();
        view.put_pointer(x, y);
    }
    say_mode(view);
}

void Game::change_display(const Settings& wanted) {
    // The time the change takes never counts in a game, as for the quit dialog.
    std::atomic<int>& clock = ticks ? *ticks : tick_counter;
    const int ticks_before = clock;
    // The pointer stays over the same pixel of the picture.
    const int x = pointer_x(), y = pointer_y();
    const Settings before = settings;
    settings = wanted;
    if (open_display()) {
        save_settings(settings, settings_path);  // not kept, the game goes on all the same
    } else {
        settings = before;
        if (!open_display()) fail(_(graphics_failed));
    }
    view.put_pointer(x, y);
    // The Enter of Alt+Enter must not also play or confirm, and a key released while the
    // window was being made again would stay down (Alt too: Allegro forgets it here).
    reset_keyboard();
    key[KEY_ALT] = key[KEY_ALTGR] = 0;
    view.switch_keys.was_down = view.view_keys.was_down = true;
    // Remaking the window moves the focus around: that is not the player leaving.
    focus_lost = false;
    clock = ticks_before;
    say_mode(view);
    view.present(buffer, screen);
}
