// SPDX-License-Identifier: GPL-3.0-or-later
// The table of honour, opened from the title (F2 or its option) at the level chosen there:
// the ten best games with their names, each marked proven or not. Left and right change the
// level; an entry chosen (the arrows and Enter, or a click) plays its game, then the table
// comes back. The title's idle loop shows it too, until any input.
#include <tuple>

#include "game/game.h"
#include "screens/screens.h"

namespace {
const char* const keys_line = N_("Gauche, Droite : rapidité      Entrée : revoir      Échap : retour");
const char* const shown_line = N_("Une touche : retour au titre");

// Under the title picture (y 20 to 234), as the keys screen.
constexpr int title_top = 20;
constexpr int heading_y = 250, heads_y = 276, first_row_y = 296, row_step = 18;
constexpr int rank_x = 104, score_right = 224, kills_right = 290, length_x = 312, date_x = 376, name_x = 520,
              proof_x = 624, row_left = 88, row_right = 720;
constexpr int notice_y = 490, keys_line_y = 560;
constexpr int shown_ticks = 10 * ticks_per_second;  // in the title's idle loop

int row_y(int rank) { return first_row_y + rank * row_step; }

// "2024-05-01T12:30" as the French write it: "01/05/2024 12:30".
std::string date_text(const std::string& date) {
    if (date.size() != 16) return "-";
    return date.substr(8, 2) + "/" + date.substr(5, 2) + "/" + date.substr(0, 4) + " " + date.substr(11, 5);
}

void right_text(BITMAP* buffer, int right, int y, int colour, const std::string& text) {
    textprintf_right_ex(buffer, font, right, y, colour, -1, "%s", text.c_str());
}

// The entry whose line is under the pointer, else -1.
int entry_pointed(int count) {
    for (int rank = 0; rank < count; rank++)
        if (pointer_x() >= row_left && pointer_x() <= row_right && pointer_y() >= row_y(rank) - 4 &&
            pointer_y() <= row_y(rank) + 11)
            return rank;
    return -1;
}
}  // namespace

void Game::score_table_screen(bool shown_idle) {
    int level = settings.level, selected = 0;
    std::string notice;
    PressEdge mouse_press{mouse_held()};
    const int x = mouse_x, y = mouse_y, opened = tick_counter;
    reset_keyboard();
    prove_shown_level(*this, level);  // never shown before it is proven; the proofs made are kept
    for (bool leave = false; !leave;) {
        const std::vector<HonourEntry>& entries = honour.levels[level - 1];
        const int count = int(entries.size());
        clear_bitmap(buffer);
        masked_blit(title_image, buffer, 0, 0, width / 2 - title_image->w / 2, title_top, title_image->w,
                    title_image->h);
        textprintf_centre_ex(buffer, font, width / 2, heading_y, colours::bright(), -1, _("Tableau d'honneur : Rapidité %d"),
                             level);
        if (count == 0)
            textprintf_centre_ex(buffer, font, width / 2, first_row_y, colours::label(), -1, "%s",
                                 _("Aucune partie à cette rapidité"));
        else for (const auto& [head, at, right] : {std::tuple{_("Score"), score_right, true}, {_("Tués"), kills_right, true},
                                                   {_("Durée"), length_x, false}, {_("Date"), date_x, false},
                                                   {_("Nom"), name_x, false}})
            right ? right_text(buffer, at, heads_y, colours::hint(), head)
                  : (void)textprintf_ex(buffer, font, at, heads_y, colours::hint(), -1, "%s", head);
        if (!shown_idle && count > 0)
            rectfill(buffer, row_left, row_y(selected) - 4, row_right, row_y(selected) + 11, makecol(32, 32, 88));
        for (int rank = 0; rank < count; rank++) {
            const HonourEntry& e = entries[rank];
            const int row = row_y(rank), text = colours::label();
            textprintf_right_ex(buffer, font, rank_x + 16, row, colours::hint(), -1, "%d.", rank + 1);
            right_text(buffer, score_right, row, colours::value(), std::to_string(e.score));
            right_text(buffer, kills_right, row, text, e.kills < 0 ? "-" : std::to_string(e.kills));
            textprintf_ex(buffer, font, length_x, row, text, -1, "%s", minutes_text(e.ticks).c_str());
            textprintf_ex(buffer, font, date_x, row, text, -1, "%s", date_text(e.date).c_str());
            textprintf_ex(buffer, font, name_x, row, colours::bright(), -1, "%s", e.name.c_str());
            // Never silently trusted: an entry its game does not prove says so.
            textprintf_ex(buffer, font, proof_x, row, e.proven() ? makecol(128, 255, 128) : colours::value(), -1, "%s",
                          e.proven() ? _("prouvée") : _("non prouvée"));
        }
        textprintf_centre_ex(buffer, font, width / 2, notice_y, colours::bright(), -1, "%s", notice.c_str());
        textprintf_centre_ex(buffer, font, width / 2, keys_line_y, colours::hint(), -1, "%s",
                             _(shown_idle ? shown_line : keys_line));
        if (!shown_idle)
            masked_blit(mouse_pointer, buffer, 0, 0, pointer_x(), pointer_y(), mouse_pointer->w, mouse_pointer->h);
        show_buffer();
        pad.poll();
        if (close_requested) break;
        if (shown_idle) {
            // Any input ends it at once, without acting on the title.
            leave = player_stirred(*this, x, y) || tick_counter - opened >= shown_ticks;
            continue;
        }
        const bool clicked = mouse_press.struck(mouse_held());
        int chosen = clicked ? entry_pointed(count) : -1;
        if (key[KEY_LEFT] || key[KEY_RIGHT]) {
            level = (level + (key[KEY_LEFT] ? level_count - 2 : 0)) % level_count + 1;
            selected = 0, notice.clear();
            prove_shown_level(*this, level);
        }
        if (count > 0 && key[KEY_UP]) selected = (selected + count - 1) % count;
        if (count > 0 && key[KEY_DOWN]) selected = (selected + 1) % count;
        if (count > 0 && enter_pressed()) chosen = selected;
        leave = key[KEY_ESC] || pad.start();
        reset_keyboard();
        if (chosen < 0 || leave) continue;
        selected = chosen;
        ReplayFile file;
        notice = load_table_game(record_path, entries[chosen], file);
        if (notice.empty()) notice = unsuitable_replay(file, *this);
        if (!notice.empty()) continue;
        if (music_on) stop_midi();
        watch_replay(file, false);
        if (!replay.mismatch.empty()) notice = printed(_("différence %s"), replay.mismatch.c_str());
        // Back on the table as it was left: its tune, and no key or click left from the game.
        if (music_on) play_midi(menu_music, 1);
        keep_pointer_in(0, 0, width - 1, height - 1);
        mouse_press.was_down = mouse_held();
        reset_keyboard();
    }
    reset_keyboard();
}
