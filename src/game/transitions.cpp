// SPDX-License-Identifier: GPL-3.0-or-later
// What every screen change goes through: the fade to black and the keyboard (and gamepad) reset.
#include "game/game.h"

void Game::show_buffer() {
    // Tests run on memory bitmaps with no graphics driver: there is nothing to show.
    if (gfx_driver) vsync();
    if (screen) view.present(buffer, screen);
    // The mode's name, drawn once above the picture, where nothing else draws: the band goes
    // black again when its time is up.
    if (screen && view.notice_frames > 0 && --view.notice_frames == 0)
        rectfill(screen, 0, 0, SCREEN_W - 1, view.top - 1, makecol_depth(bitmap_color_depth(screen), 0, 0, 0));
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
