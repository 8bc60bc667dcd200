// SPDX-License-Identifier: GPL-3.0-or-later
// A recorded game on the screen: the title's demo and --rejouer.
#include "game/game.h"

namespace {
// Top right, under the frames per second: the head-up display leaves it empty.
constexpr int demo_line_x = 600, demo_line_y = 24;
}  // namespace

bool player_stirred(Game& game, int x, int y) {
    if (keypressed() || mouse_b || mouse_x != x || mouse_y != y) return true;
    for (int k = 1; k < KEY_MAX; k++)
        if (key[k]) return true;
    game.pad.poll();
    for (int b = 0; b < MAX_JOYSTICK_BUTTONS; b++)
        if (game.pad.button(b)) return true;
    return game.pad.left() || game.pad.right();
}

void Game::watch_replay(const ReplayFile& file, bool demo) {
    replay.playback = &file;
    replay.demo = demo;
    start_game(&tick_counter);
    const int x = mouse_x, y = mouse_y;
    auto stirred = [&]() { return demo && player_stirred(*this, x, y); };
    long due = 0;
    bool stop = false;
    while (!stop && !replay.finished()) {
        // Each update waits for the clock to reach the time it ran at when it was played.
        due += replay.next_elapsed();
        while (*ticks < due && !(stop = stirred() || close_requested)) rest(1);
        if (stop || update_frame()) break;
        draw_frame();
        if (demo) textprintf_ex(buffer, font, demo_line_x, demo_line_y, colours::bright(), -1, "%s", _("DÉMO"));
        show_buffer();
        count_frame();
        stop = stirred() || close_requested;
    }
    if (demo) {
        // Back to the title at once: no fade, and the input that ended it is forgotten.
        player.reset();
        if (music_on) stop_midi();
        reset_keyboard();
    } else {
        end_game();
    }
    replay.playback = nullptr;
    replay.demo = false;
}

bool demo_game(const Game& game, ReplayFile& file) {
    for (const HonourEntry& entry : game.honour.levels[game.settings.level - 1])
        if (entry.proven() && load_table_game(game.record_path, entry, file).empty()) return true;
    const std::string best = best_game_path(level_path(game.record_path, game.settings.level));
    for (const std::string& path : {best, last_game_path(game.record_path)})
        if (!path.empty() && load_replay(path, file).empty() && unsuitable_replay(file, game).empty()) return true;
    return false;
}
