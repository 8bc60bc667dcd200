// SPDX-License-Identifier: GPL-3.0-or-later
// The table of honour: the ten best games of each level in a text file the player can read,
// each entry proven by replaying its game exactly as --verifier does. An entry whose game is
// missing, damaged or ends elsewhere stays in the table, marked, and never counts as a record.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <set>
#include <sstream>

#include "files/files.h"
#include "game/game.h"
#include "replay/replay.h"

namespace {
// Ten lines a level and a few comments: far under this. A game's file: over a thousand hours
// of play.
constexpr size_t largest_table_file = 64 << 10;
constexpr size_t largest_table_game = 4 << 20;
// As for the record: looks for a while after an unlocked write, in case another game's
// write took this one's place.
constexpr int unlocked_looks = 10, unlocked_look_us = 20000;
const char* const table_head =
    "# Zudaduviz : tableau d'honneur, réécrit par le jeu\n"
    "# rapidité score tués secondes date nom partie\n";

// A whole number of at most nine digits, or "-" (-1) where `unknown` allows it.
bool read_count(const std::string& word, long& value, bool unknown) {
    if (unknown && word == "-") return value = -1, true;
    if (word.empty() || word.size() > 9 || word.find_first_not_of("0123456789") != std::string::npos) return false;
    value = std::stol(word);
    return true;
}

// Seconds with three decimals, a whole number of ticks (2 ms each).
bool read_seconds(const std::string& word, long& ticks) {
    if (word == "-") return ticks = -1, true;
    const size_t dot = word.find('.');
    long whole, thousandths;
    if (dot == std::string::npos || word.size() - dot != 4 || !read_count(word.substr(0, dot), whole, false) ||
        !read_count(word.substr(dot + 1), thousandths, false) || thousandths % 2 != 0)
        return false;
    ticks = whole * ticks_per_second + thousandths / 2;
    return true;
}

std::string seconds_text(long ticks) {
    if (ticks < 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%ld.%03ld", ticks / ticks_per_second, ticks % ticks_per_second * 2);
    return text;
}

bool is_date(const std::string& word) {
    int y, mo, d, h, mi;
    char end;
    return word == "-" || (word.size() == 16 && std::sscanf(word.c_str(), "%4d-%2d-%2dT%2d:%2d%c", &y, &mo, &d, &h, &mi, &end) == 5);
}

// A bare file name the game itself gives: nothing that could lead out of the games folder.
bool is_game_name(const std::string& word) {
    return !word.empty() && word[0] != '.' && word.size() <= 64 &&
           word.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-.") == std::string::npos;
}

std::string entry_line(const HonourEntry& e) {
    std::ostringstream line;
    line << e.level << ' ' << e.score << ' ' << (e.kills < 0 ? "-" : std::to_string(e.kills)) << ' '
         << seconds_text(e.ticks) << ' ' << e.date << ' ' << e.name << ' ' << (e.game.empty() ? "-" : e.game);
    return line.str();
}

bool read_entry(const std::string& line, HonourEntry& e) {
    std::istringstream words(line);
    std::string level, score, kills, seconds, game, more;
    long value;
    if (!(words >> level >> score >> kills >> seconds >> e.date >> e.name >> game) || (words >> more)) return false;
    if (!read_count(level, value, false) || !known_level(int(value))) return false;
    e.level = int(value);
    // Points lost to rams can leave a game under zero.
    const bool below_zero = score.size() > 1 && score[0] == '-';
    if (!read_count(below_zero ? score.substr(1) : score, value, false)) return false;
    e.score = below_zero ? -int(value) : int(value);
    if (!read_count(kills, value, true)) return false;
    e.kills = int(value);
    if (!read_seconds(seconds, e.ticks) || !is_date(e.date) || fitting_name(e.name) != e.name) return false;
    e.game = game == "-" ? "" : game;
    return game == "-" || is_game_name(game);
}

std::string now_text() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32];
    if (!localtime_r(&now, &local) || !std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M", &local)) return "-";
    return text;
}

// A name no other game of the table has: the level, the time, this process and a count.
std::string new_game_name(int level) {
    static int made = 0;
    return std::to_string(level) + "-" + std::to_string(long(std::time(nullptr))) + "-" + std::to_string(getpid()) +
           "-" + std::to_string(++made) + ".replay";
}

bool holds(const HonourTable& table, const HonourEntry& entry) {
    const std::string line = entry_line(entry);
    for (const HonourEntry& e : table.levels[entry.level - 1])
        if (entry_line(e) == line) return true;
    return false;
}

// The games folder keeps only what the table names: what fell out, and what a game that died
// between its two writes left.
void sweep_games(const std::string& record_path, const HonourTable& table) {
    std::set<std::string> named;
    for (const auto& level : table.levels)
        for (const HonourEntry& e : level) named.insert(e.game);
    const std::string folder = table_games_path(record_path);
    DIR* games = opendir(folder.c_str());
    if (!games) return;
    while (const dirent* found = readdir(games))
        if (is_game_name(found->d_name) && std::string(found->d_name).rfind(".replay") + 7 == std::strlen(found->d_name) &&
            !named.count(found->d_name))
            unlink((folder + "/" + found->d_name).c_str());
    closedir(games);
}

// Why an entry is not proven, or empty when its game replays to it.
std::string proof_of(const HonourEntry& e, const std::string& record_path, const Game& game) {
    ReplayFile file;
    if (std::string wrong = load_table_game(record_path, e, file); !wrong.empty()) return wrong;
    if (std::string wrong = unsuitable_replay(file, game); !wrong.empty()) return wrong;
    if (file.level != e.level) return printed(_("partie jouée en rapidité %d"), file.level);
    // The pictures decide every collision: without them nothing can be proven.
    if (!game.data) return _("pas de fichier de données");
    const ReplayOutcome outcome = replay_without_window(file, game.data);
    if (!outcome.mismatch.empty()) return printed(_("différence %s"), outcome.mismatch.c_str());
    if (outcome.score != e.score || outcome.kills != e.kills || outcome.ticks != e.ticks)
        return printed(_("la partie finit à %d points, %d tués, %s s"), outcome.score, outcome.kills,
                       seconds_text(outcome.ticks).c_str());
    return "";
}
}  // namespace

std::string load_table_game(const std::string& record_path, const HonourEntry& entry, ReplayFile& file) {
    if (entry.game.empty()) return _("pas de partie enregistrée");
    // As every player file: a FIFO, a device or a huge file reads as nothing, without blocking.
    const std::optional<std::string> bytes =
        read_small_file(table_games_path(record_path) + "/" + entry.game, largest_table_game);
    if (!bytes) return _("partie introuvable");
    return read_replay(*bytes, file);
}

std::string table_text(const HonourTable& table) {
    std::string text = table_head;
    for (const auto& level : table.levels)
        for (const HonourEntry& e : level) text += entry_line(e) + "\n";
    return text;
}

HonourTable read_table_text(const std::string& text) {
    HonourTable table;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        HonourEntry e;
        if (line.empty() || line[0] == '#' || !read_entry(line, e)) continue;
        auto& level = table.levels[e.level - 1];
        const int at = table_place(level, e.score);
        if (at >= 0 && !holds(table, e)) level.insert(level.begin() + at, e);
        if (level.size() > size_t(table_size)) level.pop_back();
    }
    return table;
}

int table_place(const std::vector<HonourEntry>& level, int score) {
    const int at = int(std::find_if(level.begin(), level.end(), [&](const HonourEntry& e) { return e.score < score; }) -
                       level.begin());
    return at < table_size ? at : -1;
}

HonourTable load_table(const std::string& record_path, const std::string& name) {
    const std::string path = score_table_path(record_path);
    struct stat info;
    if (path.empty() || lstat(path.c_str(), &info) == 0 || errno != ENOENT)
        return read_table_text(read_small_file(path, largest_table_file).value_or(""));
    // No table yet: the records kept before it, nothing lost.
    HonourTable table;
    for (int level = 1; level <= level_count; level++) {
        HonourEntry carried;
        carried.level = level, carried.name = name;
        carried.score = load_record(level_path(record_path, level));
        if (carried.score > 0) table.levels[level - 1].push_back(carried);
    }
    return table;
}

bool enter_table(const std::string& record_path, HonourEntry entry, const std::string& replay, HonourTable& before) {
    bool entered = false;
    if (record_path.empty()) return false;
    under_folder_lock(record_path, [&](bool locked) {
        before = load_table(record_path, entry.name);
        if (table_place(before.levels[entry.level - 1], entry.score) < 0) return;
        entered = true;
        entry.date = now_text();
        // The game first: a table read meanwhile never names a game that is not there yet.
        entry.game = new_game_name(entry.level);
        if (replay.empty() || !replace_file(table_games_path(record_path) + "/" + entry.game, replay)) entry.game.clear();
        const auto with_entry = [&] {
            HonourTable after = load_table(record_path, entry.name);
            auto& level = after.levels[entry.level - 1];
            if (const int at = table_place(level, entry.score); at >= 0) level.insert(level.begin() + at, entry);
            if (level.size() > size_t(table_size)) level.pop_back();
            return after;
        };
        if (locked) {
            const HonourTable after = with_entry();
            if (replace_file(score_table_path(record_path), table_text(after))) sweep_games(record_path, after);
            return;
        }
        // Without the lock another game may write between this one's read and rename: the entry is
        // written again while it is missing, and nothing is swept.
        for (int look = 0; look < unlocked_looks; look++) {
            if (!holds(load_table(record_path, entry.name), entry))
                replace_file(score_table_path(record_path), table_text(with_entry()));
            usleep(unlocked_look_us);
        }
    });
    return entered;
}

void prove_level(HonourTable& table, int level, const std::string& record_path, const Game& game) {
    for (HonourEntry& e : table.levels[level - 1]) {
        const std::string line = entry_line(e);
        auto known = table.proofs.find(line);
        if (known == table.proofs.end()) known = table.proofs.emplace(line, proof_of(e, record_path, game)).first;
        e.unproven = known->second;
    }
}

void prove_shown_level(Game& game, int level) {
    prove_level(game.honour, level, game.record_path, game);
    // A record this run saw stays (a test's, or one whose game the player removed meanwhile).
    game.records[level - 1] = std::max(
        game.records[level - 1], table_record(game.honour, level, load_record(level_path(game.record_path, level))));
}

int table_record(const HonourTable& table, int level, int record_file) {
    int best = 0;
    for (const HonourEntry& e : table.levels[level - 1])
        best = std::max(best, e.proven() ? e.score : e.game.empty() ? std::min(e.score, record_file) : 0);
    return best;
}

void read_honour(Game& game, int level) {
    HonourTable fresh = load_table(game.record_path, player_name(game.settings));
    fresh.proofs = std::move(game.honour.proofs);
    game.honour = std::move(fresh);
    // The proofs already made hold at once; the other levels' new games wait until they are shown
    // (a full table takes over a second to replay), not proven meanwhile.
    for (auto& entries : game.honour.levels)
        for (HonourEntry& e : entries)
            if (const auto known = game.honour.proofs.find(entry_line(e)); known != game.honour.proofs.end())
                e.unproven = known->second;
    prove_shown_level(game, level);
}

std::string minutes_text(long ticks) {
    if (ticks < 0) return "-";
    const long seconds = ticks / ticks_per_second;
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", seconds / 60, seconds % 60);
    return text;
}

int print_scores(const std::string& data_file) {
    const int width = 800, height = 600, star_layers = 5, stars_per_layer = 100;
    const std::string record_path = player_data_dir().empty() ? "" : player_data_dir() + "/record";
    const std::string settings_path = player_config_dir().empty() ? "" : player_config_dir() + "/settings";
    HonourTable table = load_table(record_path, player_name(load_settings(settings_path)));
    DATAFILE* objects = data_for_replays(data_file, width, height, score_table_path(record_path));
    if (!objects) return 1;
    {
        Game game(width, height, star_layers, stars_per_layer);
        game.take_objects(objects);  // the game unloads it
        for (int level = 1; level <= level_count; level++) prove_level(table, level, record_path, game);
    }
    for (int level = 1; level <= level_count; level++) {
        std::printf(_("Rapidité %d\n"), level);
        if (table.levels[level - 1].empty()) std::printf("%s", _("  aucune partie\n"));
        int rank = 0;
        for (const HonourEntry& e : table.levels[level - 1])
            std::printf(_("  %2d. %9d  %5s tués  %6s  %-16s  %-12s  %s\n"), ++rank, e.score,
                        e.kills < 0 ? "-" : std::to_string(e.kills).c_str(), minutes_text(e.ticks).c_str(),
                        e.date.c_str(), e.name.c_str(), e.proven() ? _("prouvée") : printed(_("non prouvée : %s"), e.unproven.c_str()).c_str());
    }
    return 0;
}
