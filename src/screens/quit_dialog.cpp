// SPDX-License-Identifier: GPL-3.0-or-later
// The quit confirmation over the frozen play field. The game clock stands still
// while it is open: the tick counter is put back on exit.
#include "screens/screens.h"
#include "game/game.h"

namespace {
// Areas are in the picture's own pixels; the picture's top-left corner is at (x0, y0).
bool left_click_in(const PictureArea& area, int x0, int y0) {
    return (mouse_b & 1) && area.contains(pointer_x() - x0, pointer_y() - y0);
}
}  // namespace

bool Game::quit_dialog() {
    bool confirmed = false;
    bool done = false;
    // The ESC that opened the dialog must be pressed again to close it.
    reset_keyboard();
    play_effect(Effect::quit_dialog_opened, width >> 1);

    const int w = quit_image->w;
    const int h = quit_image->h;
    const int x0 = (width >> 1) - (w >> 1);
    const int y0 = (height >> 1) - (h >> 1);
    // On X11 Allegro's mouse position is where the player points on the screen, not a
    // sum of moves: the pointer is kept to the picture's place (through the view's scale)
    // and drawn there, so it stays under the player's hand and the buttons work where they show.
    keep_pointer_in(x0, y0, x0 + w - 1, y0 + h - 1);
    view.put_pointer(x0 + (w >> 1), y0 + (h >> 1));
    saved_ticks = *ticks;

    // The last play frame shows around the picture and through its transparent
    // pixels; it is put back under the picture each turn so the pointer leaves no trail.
    BITMAP* frozen = create_bitmap(w, h);
    if (frozen) blit(buffer, frozen, x0, y0, 0, 0, w, h);
    BITMAP* picture_area = create_sub_bitmap(buffer, x0, y0, w, h);
    for (;;) {
        if (frozen) blit(frozen, buffer, 0, 0, x0, y0, w, h);
        masked_blit(quit_image, buffer, 0, 0, x0, y0, w, h);
        // Clipped to the picture, as the pointer never leaves it.
        if (picture_area) draw_sprite(picture_area, quit_pointer, pointer_x() - x0, pointer_y() - y0);
        show_buffer();
        pad.poll();
        // Each test reads the input afresh; a turn that confirms returns true
        // whatever else is pressed. On the gamepad: fire says yes, Start or the second button no.
        if (enter_pressed() || pad.button(GamePad::fire_button) || left_click_in(quit_confirm_area, x0, y0)) {
            confirmed = true;
            done = true;
        }
        if (key[KEY_ESC] || pad.start() || pad.button(GamePad::no_button)) break;
        if (left_click_in(quit_cancel_area, x0, y0)) break;
        if (left_click_in(quit_close_area, x0, y0)) break;
        if (done) break;
        if (close_requested) {
            confirmed = true;
            break;
        }
    }
    if (picture_area) destroy_bitmap(picture_area);
    if (frozen) destroy_bitmap(frozen);

    *ticks = saved_ticks;
    // Neither the ENTER nor the ESC that closed it may act on the game, nor a key that
    // was held when the window lost the focus; a focus lost meanwhile asks nothing more.
    reset_keyboard();
    focus_lost = false;
    return confirmed;
}
