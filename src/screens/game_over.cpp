// SPDX-License-Identifier: GPL-3.0-or-later
// The game-over picture over the last play frame, for two seconds of game time, with the
// score and the record under it.
#include <algorithm>

#include "game/game.h"

namespace {
constexpr int game_over_ticks = 2 * ticks_per_second;
constexpr int line_height = 12;

// On a dark band as wide as the picture, so the play field behind does not blur the text.
void draw_score_lines(BITMAP* buffer, int left, int top, int width, int score, int record, bool beaten) {
    const int lines = beaten ? 3 : 2;
    const int centre = left + width / 2;
    rectfill(buffer, left, top, left + width - 1, top + 6 + lines * line_height, makecol(0, 0, 0));
    textprintf_centre_ex(buffer, font, centre, top + 6, colours::bright(), -1, _("Score : %i"), score);
    textprintf_centre_ex(buffer, font, centre, top + 6 + line_height, colours::bright(), -1, _("Record : %i"), record);
    if (beaten)
        textprintf_centre_ex(buffer, font, centre, top + 6 + 2 * line_height, makecol(255, 200, 64), -1, "%s",
                             _("Nouveau record !"));
}
}  // namespace

bool Game::game_over_screen() {
    play_effect(Effect::game_over, width >> 1);
    // Kept before the wait starts, so writing the files never shortens the two seconds. Another
    // game may have raised the record meanwhile: the higher of the two is the one to beat. The
    // game to watch again: always the last one, the best one (kept with the record) when it beat it.
    // Each level has its own record, best game and table of honour.
    const int score = player->score;
    int& record = records[level - 1];
    const std::string kept = replay.finish();
    HonourEntry entry;
    entry.level = level, entry.score = score, entry.kills = player->kills, entry.ticks = replay.ticks_played();
    entry.name = player_name(settings);
    HonourTable before;
    // The table first: the very first one takes the record file over as it stood before this game.
    enter_table(record_path, entry, kept, before);
    const int record_file = keep_record(level_path(record_path, level), score, kept);
    before.proofs = honour.proofs;
    prove_level(before, level, record_path, *this);
    const int to_beat = std::max(record, table_record(before, level, record_file));
    const bool beaten = score > to_beat;
    record = std::max(to_beat, score);
    if (!kept.empty() && !record_path.empty()) replace_file(last_game_path(record_path), kept);
    // The table as it stands now, this game proven with the others, for the title.
    read_honour(*this, level);
    demo_sought = false;  // this game may be the one to show now

    saved_ticks = *ticks;
    const int w = game_over_image->w;
    const int h = game_over_image->h;
    const int x0 = (width >> 1) - (w >> 1);
    const int y0 = (height >> 1) - (h >> 1);
    while (*ticks < saved_ticks + game_over_ticks) {
        masked_blit(game_over_image, buffer, 0, 0, x0, y0, w, h);
        draw_score_lines(buffer, x0, y0 + h, w, score, record, beaten);
        show_buffer();
    }
    // Keys pressed during the wait are forgotten.
    reset_keyboard();
    return true;
}
