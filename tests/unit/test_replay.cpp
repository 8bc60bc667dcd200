// SPDX-License-Identifier: GPL-3.0-or-later
// Exact replays: a game driven by random inputs and clock steps is recorded, written, read
// back and played again to the same state, at the level it was played at; a planted difference
// is caught at the first check after it; damaged files are turned away with a message.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <tuple>

#include "test_play_scene.h"

namespace {

class Replays : public PlayScene {
protected:
    // Keys held for a while each, clock steps of 0 to 12 ticks (one more at update `planted`);
    // the window's close button ends the game after `updates`, or when the armour is nearly
    // out (the game over screen would wait for a clock that only the test moves).
    ReplayFile record(int updates, unsigned seed, uint32_t planted = 0, int level = 1) {
        std::mt19937 input(seed);
        // The same game on every run: a sky and a seed of the test's own.
        for (int layer = 0; layer < 5; layer++)
            for (int i = 0; i < 100; i++) game.star_field[layer][i] = Star{i * 7.0, i * 5.5, 40 * layer + i};
        game.replay.recording = true;
        game.settings.level = level;
        game.start_game(&clock);
        game.replay.random.seed(seed);
        game.replay.tape.seed = seed;
        const int keys[] = {KEY_SPACE, KEY_LEFT, KEY_RIGHT, KEY_1, KEY_2, KEY_3, KEY_UP, KEY_DOWN};
        for (uint32_t u = 1; u <= uint32_t(updates); u++) {
            for (int k : keys) key[k] ^= input() % 30 == 0;
            clock += int(input() % 13) + (u == planted);
            close_requested = u == uint32_t(updates) || ship().armour <= 10;
            if (game.update_frame()) break;
        }
        game.reset_keyboard();
        close_requested = false;
        // What the game over screen keeps, written and read back; the final check is the last update's.
        ReplayFile file;
        EXPECT_EQ(read_replay(game.replay.finish(), file), "");
        return file;
    }

    // Plays the file back from scratch: the sky is scrolled away first, so only the file's
    // own sky can bring the same state back; the player has chosen level 1 since.
    std::string play_back(const ReplayFile& file) {
        game.settings.level = 1;
        game.replay.random.seed(1);
        for (int i = 0; i < 300; i++) game.scroll_stars(13);
        game.replay.playback = &file;
        game.start_game(&clock);
        while (!game.replay.finished() && !game.update_frame()) {}
        game.replay.playback = nullptr;
        return game.replay.mismatch;
    }
};

}  // namespace

TEST_F(Replays, ARecordedGameReplaysToTheSameStateAndAOneTickDifferenceIsCaughtAtTheNextCheck) {
    const ReplayFile file = record(3000, 2);
    ASSERT_GE(file.checks.size(), 3u) << file.updates << " updates: a check every five seconds of play";
    EXPECT_GT(file.checks.back().kills + (100 - file.checks.back().armour), 0) << "a game where something happens";
    // The reader holds that the last check is the last update's: all agree, to the end.
    EXPECT_EQ(play_back(file), "");

    // The same game with one tick more in one update, on a check's own update or between two
    // checks, played back against the first game's checks.
    const uint32_t second = file.checks[1].update, third = file.checks[2].update;
    for (auto [planted, reported, agreed] : {std::tuple{second, second, file.checks[0].update}, {second + 1, third, second}}) {
        ReplayFile changed = file;
        changed.stream = record(3000, 2, planted).stream;
        const std::string expected =
            "à la mise à jour " + std::to_string(reported) + " (en accord à la " + std::to_string(agreed) + ")";
        EXPECT_EQ(play_back(changed).rfind(expected, 0), 0u) << "planted at " << planted << ": " << game.replay.mismatch;
    }
    // A game played at level 3 plays back at level 3, and at no other.
    ReplayFile fast = record(3000, 2, 0, 3);
    EXPECT_EQ(std::pair(fast.level, play_back(fast)), std::pair(3, std::string()));
    fast.level = 1;
    EXPECT_NE(play_back(fast), "");
    fast.level = 3, fast.checks.back().score++;  // nor to another score than its own
    EXPECT_NE(play_back(fast), "");
}

// Each damage gets its message, and never a crash or a wait: the file is read whole before any
// play, a claim on memory or time beyond what a kept game holds is damage. An entry of the table
// of honour is proven only by its game replayed (on the data file's pictures, as --verifier does)
// to its very score.
TEST_F(Replays, DamagedTruncatedOrForeignFilesAreTurnedAwayWithAMessage) {
    DATAFILE* pictures = data_for_replays(DATA_FILE, 800, 600, "");
    ASSERT_TRUE(pictures);
    game.take_objects(pictures);  // the game unloads it
    const ReplayFile file = record(1000, 9);
    const std::string good = write_replay(file);
    ASSERT_GE(file.checks.size(), 2u);
    auto rewritten = [&file](const std::function<void(ReplayFile&)>& change) {
        ReplayFile copy = file;
        change(copy);
        return write_replay(copy);
    };
    const size_t header = 8 + 2 + 1 + file.game_version.size() + 4, flip = good.size() - 20;
    // The first format, without the level (the byte after the screen and the stars).
    std::string first_format = rewritten([](ReplayFile& f) { f.level = 4; }).erase(header + 7, 1);
    first_format[8] = '\1';
    const struct { const char* name; std::string bytes; const char* message; } cases[] = {
        {"a data file", "slh.ALL.", "n'est pas une partie enregistrée"},
        {"a later format", good.substr(0, 8) + '\3' + good.substr(9), "un autre format (3)"},
        {"a level 0", rewritten([](ReplayFile& f) { f.level = 0; }), "rapidité 0, inconnue"},
        {"a level 6", rewritten([](ReplayFile& f) { f.level = 6; }), "rapidité 6, inconnue"},
        {"cut in the header", good.substr(0, 20), "tronqué"},
        {"cut in the body", good.substr(0, good.size() - 1), "tronqué"},
        {"a screen 0 wide", good.substr(0, header) + std::string(2, '\0') + good.substr(header + 2), "abîmé (en-tête)"},
        {"a packed byte changed", good.substr(0, flip) + char(good[flip] ^ 0x40) + good.substr(flip + 1),
         "abîmé (données compressées)"},
        {"a star off the screen", rewritten([](ReplayFile& f) { f.sky[7].x = 800; }), "abîmé (étoiles)"},
        {"an update more than the runs", rewritten([](ReplayFile& f) { f.updates++; }), "abîmé (déroulement)"},
        {"a run of none", rewritten([](ReplayFile& f) { f.stream.insert(0, 3, '\0'); }), "abîmé (déroulement)"},
        {"a run cut short", rewritten([](ReplayFile& f) { f.stream.pop_back(); }), "abîmé (déroulement)"},
        {"no check at the end", rewritten([](ReplayFile& f) { f.checks.pop_back(); }), "abîmé (contrôles)"},
        {"one update checked twice", rewritten([](ReplayFile& f) { f.checks[0].update = f.checks[1].update; }),
         "abîmé (contrôles)"},
        // Every update in one run (three varints: count, no input, step) a tick longer than play allows.
        {"a step too long", rewritten([](ReplayFile& f) {
             f.stream.clear();
             for (uint32_t v : {f.updates, 0u, uint32_t(ReplayDeck::most_step_ticks) + 1}) {
                 for (; v >= 0x80; v >>= 7) f.stream += char(0x80 | (v & 0x7f));
                 f.stream += char(v);
             }
         }), "abîmé (déroulement)"},
        // More than a game of this sky could hold, or than its packed bytes could ever give (the
        // body's size comes after the screen, the stars and the level).
        {"a 64 MiB body claimed", good.substr(0, header + 8) + std::string("\0\0\0\4", 4) + good.substr(header + 12),
         "abîmé (trop grand)"},
        {"a 16 MiB body claimed", good.substr(0, header + 8) + std::string("\0\0\0\1", 4) + good.substr(header + 12),
         "abîmé (trop grand)"},
    };
    ReplayFile read;
    for (const auto& c : cases) EXPECT_NE(read_replay(c.bytes, read).find(c.message), std::string::npos) << c.name;
    EXPECT_EQ(std::pair(read_replay(first_format, read), read.level), std::pair(std::string(), 1));
    EXPECT_NE(load_replay("/nonexistent/best-game.replay", read).find("impossible de lire"), std::string::npos);

    const std::string folder = ::testing::TempDir() + "zudaduviz-proof-" + std::to_string(getpid()), game_path =
        folder + "/scores-games/1-1-1-1.replay";
    HonourEntry played;
    played.score = file.checks.back().score, played.kills = file.checks.back().kills;
    played.ticks = game.replay.ticks_played(), played.name = "Zoé", played.game = "1-1-1-1.replay";
    const struct { const char* name; std::string game; int more_points; const char* unproven; } proofs[] = {
        {"good", good, 0, ""},
        {"missing", "", 0, "partie introuvable"},
        {"a FIFO", "fifo", 0, "partie introuvable"},
        {"truncated", good.substr(0, good.size() - 1), 0, "tronqué"},
        {"tampered score", good, 10, "la partie finit à"},
    };
    alarm(20);  // a read that blocks ends the test here
    for (const auto& proof : proofs) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder + "/scores-games");
        if (proof.game == "fifo") ASSERT_EQ(mkfifo(game_path.c_str(), 0644), 0);
        else if (!proof.game.empty()) std::ofstream(game_path, std::ios::binary) << proof.game;
        HonourTable table;
        table.levels[0].push_back(played);
        table.levels[0][0].score += proof.more_points;
        prove_level(table, 1, folder + "/record", game);
        const std::string& unproven = table.levels[0][0].unproven;
        EXPECT_TRUE(proof.unproven[0] ? unproven.find(proof.unproven) != unproven.npos : unproven.empty())
            << proof.name << ": " << unproven;
        EXPECT_EQ(table_record(table, 1, 1 << 30), proof.unproven[0] ? 0 : played.score) << proof.name;
        // Read by the game at level 2: level 1 is neither proven nor counted until it is shown.
        game.honour = HonourTable(), game.records[0] = 0, game.record_path = folder + "/record";
        ASSERT_TRUE(replace_file(score_table_path(game.record_path), table_text(table)));
        read_honour(game, 2);
        const auto waiting = std::tuple(game.honour.levels[0][0].unproven, game.records[0]);
        prove_shown_level(game, 1);
        EXPECT_EQ(std::tuple(waiting, game.honour.levels[0][0].unproven, game.records[0]),
                  std::tuple(std::tuple("pas encore vérifiée", 0), unproven, table_record(table, 1, 0)))
            << proof.name;
    }
    alarm(0);
    std::filesystem::remove_all(folder);
}
