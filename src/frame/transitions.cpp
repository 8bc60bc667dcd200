// What every screen change goes through: the fade to black and the keyboard (and gamepad) reset.
#include "frame/game.h"

void Game::show_buffer() {
    // Tests run on memory bitmaps with no graphics driver: there is nothing to show.
    if (gfx_driver) vsync();
    if (screen) blit(buffer, screen, 0, 0, 0, 0, width, height);
    if (frame_observer) frame_observer(buffer);
    // Every screen comes here once a frame: Alt+Enter and F11 work wherever the player is.
    if (display_switch_wanted() && gfx_driver) switch_display();
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
