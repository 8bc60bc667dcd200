// The quit confirmation over the frozen play field. The game clock stands still
// while it is open: the tick counter is put back on exit.
#include "frame/game.h"

namespace {
bool left_click_in(const PictureArea& area) {
    return (mouse_b & 1) && area.contains(mouse_x, mouse_y);
}
}  // namespace

bool Game::quit_dialog() {
    bool confirmed = false;
    bool done = false;
    // The ESC that opened the dialog must be pressed again to close it.
    reset_keyboard();

    // Allegro draws the pointer into the picture itself and keeps it inside, so
    // mouse_x and mouse_y are picture coordinates.
    const int w = quit_image->w;
    const int h = quit_image->h;
    set_mouse_sprite(quit_pointer);
    set_mouse_sprite_focus(0, 0);
    show_mouse(quit_image);
    set_mouse_range(0, 0, w - 1, h - 1);
    position_mouse(w >> 1, h >> 1);
    saved_ticks = *ticks;

    // The buffer still holds the last play frame, which shows around the picture.
    const int x0 = (width >> 1) - (w >> 1);
    const int y0 = (height >> 1) - (h >> 1);
    for (;;) {
        masked_blit(quit_image, buffer, 0, 0, x0, y0, w, h);
        show_buffer();
        // Each test reads the input afresh; a turn that confirms returns true
        // whatever else is pressed.
        if (key[KEY_ENTER] || left_click_in(quit_confirm_area)) {
            confirmed = true;
            done = true;
        }
        if (key[KEY_ESC]) break;
        if (left_click_in(quit_cancel_area)) break;
        if (left_click_in(quit_close_area)) break;
        if (done) break;
        if (close_requested) {
            confirmed = true;
            break;
        }
    }

    *ticks = saved_ticks;
    // Neither the ENTER nor the ESC that closed it may act on the game.
    reset_keyboard();
    show_mouse(nullptr);
    return confirmed;
}
