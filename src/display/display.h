// The display's own facts: where the quit dialog's buttons lie in its picture, the pause's
// band. Its screens (render_frame, quit_dialog, pause_screen, game_over_screen) are methods of Game.
#pragma once

// A rectangle of a picture's own pixels, edges included.
struct PictureArea {
    int left, top, right, bottom;
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// The quit dialog's areas: "Oui", "Non" and the close box.
constexpr PictureArea quit_confirm_area{57, 82, 98, 110};
constexpr PictureArea quit_cancel_area{163, 82, 204, 110};
constexpr PictureArea quit_close_area{240, 1, 260, 21};
// The smallest dialog picture that holds every area (the pointer never leaves it).
constexpr int quit_image_min_width = quit_close_area.right + 1;
constexpr int quit_image_min_height = quit_cancel_area.bottom + 1;

// The pause: a band across the middle of the screen, "PAUSE" in the font scaled up on it.
constexpr int pause_band_height = 80;
constexpr int pause_word_scale = 4;
