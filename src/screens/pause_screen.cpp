// SPDX-License-Identifier: GPL-3.0-or-later
// The pause: "PAUSE" over the frozen play field until P (or Pause) is pressed again. As in
// the quit dialog the game clock stands still; the music waits too. Escape opens the quit
// dialog; answered no, it gives back the pause, not the game.
#include "screens/screens.h"
#include "game/game.h"

namespace {
const char* const pause_word = N_("PAUSE");
// After the name of the player's pause key ("P" unless they chose another).
const char* const pause_keys = N_("%s : reprendre      Échap : quitter");

// A dimmed band across the screen, the word four times the font's size on it, the keys under it.
void draw_pause(BITMAP* buffer, int width, int height, const std::string& keys_line) {
    const int band_top = height / 2 - pause_band_height / 2;
    set_trans_blender(0, 0, 0, 176);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    rectfill(buffer, 0, band_top, width - 1, band_top + pause_band_height - 1, makecol(0, 0, 0));
    solid_mode();

    const int w = text_length(font, _(pause_word)), h = text_height(font);
    BITMAP* word = create_bitmap(w, h);
    if (word) {
        clear_to_color(word, bitmap_mask_color(word));
        textout_ex(word, font, _(pause_word), 0, 0, colours::bright(), -1);
        masked_stretch_blit(word, buffer, 0, 0, w, h, width / 2 - w * pause_word_scale / 2, band_top + 12,
                            w * pause_word_scale, h * pause_word_scale);
        destroy_bitmap(word);
    }
    textprintf_centre_ex(buffer, font, width / 2, band_top + pause_band_height - 18, colours::hint(), -1,
                         "%s", keys_line.c_str());
}
}  // namespace

bool Game::pause_screen() {
    bool leave_game = false;
    // Its own copy: the quit dialog opened from here keeps its own in saved_ticks.
    const int paused_at = *ticks;
    // The P that paused must be pressed again to resume.
    reset_keyboard();
    if (music_on) midi_pause();
    draw_pause(buffer, width, height, printed(_(pause_keys), key_name(settings.bindings.keys[actions::pause]).c_str()));
    // Kept to take the quit dialog off again when the player stays (no memory: it stays drawn).
    BITMAP* paused_frame = create_bitmap(width, height);
    if (paused_frame) blit(buffer, paused_frame, 0, 0, 0, 0, width, height);
    for (;;) {
        show_buffer();
        pad.poll();
        if (close_requested) {
            leave_game = true;
            break;
        }
        if (quit_asked()) {
            if (quit_dialog()) {
                leave_game = true;
                break;
            }
            if (paused_frame) blit(paused_frame, buffer, 0, 0, 0, 0, width, height);
            continue;
        }
        if (pause_asked()) break;
    }
    if (paused_frame) destroy_bitmap(paused_frame);
    *ticks = paused_at;
    // A game that ends stops its tune anyway.
    if (music_on && !leave_game) midi_resume();
    // Neither the key that resumed nor the one that answered the dialog may act on the game.
    reset_keyboard();
    return leave_game;
}
