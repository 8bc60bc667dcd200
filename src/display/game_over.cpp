// The game-over picture over the last play frame, for two seconds of game time.
#include "frame/game.h"

namespace {
constexpr int game_over_ticks = 2 * ticks_per_second;
}  // namespace

bool Game::game_over_screen() {
    play_effect(Effect::game_over, width >> 1);
    saved_ticks = *ticks;
    const int w = game_over_image->w;
    const int h = game_over_image->h;
    const int x0 = (width >> 1) - (w >> 1);
    const int y0 = (height >> 1) - (h >> 1);
    while (*ticks < saved_ticks + game_over_ticks) {
        masked_blit(game_over_image, buffer, 0, 0, x0, y0, w, h);
        show_buffer();
    }
    // Keys pressed during the wait are forgotten.
    reset_keyboard();
    return true;
}
