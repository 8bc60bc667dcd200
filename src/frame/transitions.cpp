// SPDX-License-Identifier: GPL-3.0-or-later
// What every screen change goes through: the fade to black and the keyboard (and gamepad) reset.
#include <algorithm>

#include "frame/game.h"

namespace {
// The new mode's name in the black band above the picture, on the screen only (never in the
// game's picture or its captures), in pixels as large as the picture's. Only the full screen
// leaves such a band, and only there can a centred picture be taken for no full screen at all.
// The band goes black again when the time is up.
void show_notice(View& view, BITMAP* target) {
    const int pixel = std::max(1, (view.shown_height + view.picture_height / 2) / view.picture_height);
    const int depth = bitmap_color_depth(target);
    const int band_height = (text_height(font) + 8) * pixel;
    if (view.top < band_height) return;
    const int black = makecol_depth(depth, 0, 0, 0);
    if (--view.notice_frames == 0) return rectfill(target, 0, 0, target->w - 1, view.top - 1, black);
    BITMAP* band = create_bitmap_ex(depth, text_length(font, view.notice.c_str()) + 16, text_height(font) + 8);
    if (!band) return;  // no memory: the mode goes unsaid
    clear_to_color(band, black);
    textout_ex(band, font, view.notice.c_str(), 8, 4, makecol_depth(depth, 255, 255, 192), -1);
    stretch_blit(band, target, 0, 0, band->w, band->h, (target->w - band->w * pixel) / 2, (view.top - band_height) / 2,
                 band->w * pixel, band_height);
    destroy_bitmap(band);
}
}  // namespace

void Game::show_buffer() {
    // Tests run on memory bitmaps with no graphics driver: there is nothing to show.
    if (gfx_driver) vsync();
    if (screen) view.present(buffer, screen);
    if (screen && view.notice_frames > 0) show_notice(view, screen);
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
