// What every screen change goes through: the fade to black and the keyboard (and gamepad) reset.
#include <algorithm>

#include "frame/game.h"

namespace {
// The new mode's name in a black band across the top of the picture, on the screen only
// (captures and the frame observer see the game's picture), as large as the picture's pixels.
void show_notice(const View& view, BITMAP* target) {
    const int pixel = std::max(1, (view.shown_height + view.picture_height / 2) / view.picture_height);
    BITMAP* band = create_bitmap_ex(bitmap_color_depth(target), text_length(font, view.notice.c_str()) + 16,
                                    text_height(font) + 8);
    if (!band) return;  // no memory: the mode goes unsaid
    clear_to_color(band, makecol_depth(bitmap_color_depth(target), 0, 0, 0));
    textout_ex(band, font, view.notice.c_str(), 8, 4, makecol_depth(bitmap_color_depth(target), 255, 255, 192), -1);
    const int x = view.left + (view.shown_width - band->w * pixel) / 2;
    stretch_blit(band, target, 0, 0, band->w, band->h, x, view.screen_y(notice_top), band->w * pixel, band->h * pixel);
    destroy_bitmap(band);
}
}  // namespace

void Game::show_buffer() {
    // Tests run on memory bitmaps with no graphics driver: there is nothing to show.
    if (gfx_driver) vsync();
    if (screen) view.present(buffer, screen);
    if (screen && view.notice_frames > 0 && view.notice_frames--) show_notice(view, screen);
    if (frame_observer) frame_observer(buffer);
    // Every screen comes here once a frame: the display keys work wherever the player is.
    if (gfx_driver) answer_display_keys();
}

void Game::fade_out() {
    BITMAP* overlay = create_bitmap(width, height);
    if (!overlay) return;  // no memory for the overlay: cut to the next screen instead
    clear_to_color(overlay, 0);
    // Each step blends the already darkened buffer again, so the darkening compounds.
    for (int step = 0; step < fade_steps; step++) {
        set_trans_blender(0, 0, 0, fade_alpha(step));
        draw_trans_sprite(buffer, overlay, 0, 0);
        show_buffer();
    }
    destroy_bitmap(overlay);
}

// The gamepad's buttons held now count again only once released, as keys do.
void Game::reset_keyboard() {
    // Alt does nothing alone, and the title menu resets every frame: forgotten, a held
    // Alt would turn Alt+Enter into a plain Enter.
    for (int k = 0; k < KEY_MAX; k++)
        if (k != KEY_ALT && k != KEY_ALTGR) key[k] = 0;
    clear_keybuf();
    pause_key_struck = false;
    pad.forget_held();
}
