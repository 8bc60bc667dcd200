// SPDX-License-Identifier: GPL-3.0-or-later
// One game, from the first frame to the fade back to the title menu.
#include "game/game.h"

void Game::play_game(std::atomic<int>* tick_source) {
    start_game(tick_source);
    while (!update_frame()) {
        // The frame that ends the game is never drawn: the fade starts from the last one shown.
        render_frame();
        count_frame();
    }
    end_game();
}

// Everything a game changes is put back, so nothing of the previous game survives.
void Game::start_game(std::atomic<int>* tick_source) {
    ticks = tick_source;
    last_tick = 0;
    fps_start_tick = 0;
    saved_ticks = 0;
    fps_frames = 0;
    *ticks = 0;
    // A game played back runs at the level it was played at, whatever the player chose since.
    level = replay.playing() ? replay.playback->level : settings.level;
    pace = paces[level - 1];
    game_speed = pace.speed;

    // Centred, with the bottom of its first frame on the bottom edge of the screen.
    const BITMAP* look = player_frames[0];
    // Its speed is the same at every pace.
    player.emplace((width >> 1) - (look->w >> 1), height - look->h, player_frames, 0.5);

    invaders.clear();
    shots.clear();
    explosions.clear();
    bonuses.clear();
    replay.start(*this);
    if (music_on) play_midi(game_music, 1);
    // A key still held from the menu must not act in the first frame, nor a focus the
    // menu lost open the quit dialog.
    reset_keyboard();
    focus_lost = false;
}

// The frame rate is measured over windows of about 3000 drawn frames.
void Game::count_frame() {
    fps_frames++;
    if (fps_frames > 3000) {
        fps_frames = 0;
        fps_start_tick = *ticks;
    }
}

void Game::end_game() {
    player.reset();
    if (music_on) stop_midi();
    fade_out();
    reset_keyboard();
}
