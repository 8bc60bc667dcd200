// SPDX-License-Identifier: GPL-3.0-or-later
// Exact replays: a game driven by random inputs and clock steps is recorded, written, read
// back and played again to the same state; a planted difference is caught at the first
// check after it; damaged files are turned away with a message.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "frame/game.h"
#include "support.h"

namespace {

class Replays : public ::testing::Test {
protected:
    bool allegro = (start_headless_allegro(), true);
    std::atomic<int> clock{0};
    Game game{800, 600, 5, 100};

    void SetUp() override {
        DATAFILE* data = load_datafile(DATA_FILE);
        ASSERT_NE(data, nullptr) << "cannot load " << DATA_FILE;
        game.take_objects(data);  // the game unloads it
    }
    void TearDown() override {
        delete game.player;
        game.player = nullptr;
    }

    // Keys held for a while each, clock steps of 0 to 12 ticks; the window's close button
    // ends the game after `updates`, or when the armour is nearly out (the game over screen
    // would wait for a clock that only the test moves).
    std::string record(int updates, unsigned seed) {
        std::mt19937 input(seed);
        // The same game on every run: a sky and a seed of the test's own.
        for (int layer = 0; layer < 5; layer++)
            for (int i = 0; i < 100; i++) game.star_field[layer][i] = Star{i * 7.0, i * 5.5, 40 * layer + i};
        game.replay.recording = true;
        game.start_game(&clock);
        game.replay.random.seed(seed);
        game.replay.tape.seed = seed;
        const int keys[] = {KEY_SPACE, KEY_LEFT, KEY_RIGHT, KEY_1, KEY_2, KEY_3, KEY_UP, KEY_DOWN};
        for (int u = 1; u <= updates; u++) {
            for (int k : keys) key[k] ^= input() % 30 == 0;
            clock += int(input() % 13);
            close_requested = u == updates || game.player->armour <= 10;
            if (game.update_frame()) break;
        }
        game.reset_keyboard();
        close_requested = false;
        // What the game over screen keeps; the final check is the one of the last update.
        return game.replay.finish();
    }

    // Plays the file back from scratch: the sky is scrolled away first, so only the file's
    // own sky can bring the same state back.
    std::string play_back(const ReplayFile& file) {
        delete game.player;
        game.replay.random.seed(1);
        for (int i = 0; i < 300; i++) game.scroll_stars(13);
        game.replay.playback = &file;
        game.start_game(&clock);
        while (!game.replay.finished() && !game.update_frame()) {
        }
        game.replay.playback = nullptr;
        return game.replay.mismatch;
    }
};

// The runs as (elapsed, input bits) per update, and back, one run per update.
std::vector<std::pair<int, uint8_t>> updates_of(const ReplayFile& file) {
    ReplayDeck deck;
    deck.playback = &file;
    std::vector<std::pair<int, uint8_t>> updates;
    for (uint32_t u = 0; u < file.updates; u++) {
        int elapsed;
        const uint8_t bits = deck.next_inputs(elapsed).bits();
        updates.emplace_back(elapsed, bits);
    }
    return updates;
}
std::string stream_of(const std::vector<std::pair<int, uint8_t>>& updates) {
    std::string stream;
    for (auto [elapsed, bits] : updates) {
        stream += '\1';
        stream += char(bits);
        for (uint32_t v = uint32_t(elapsed); ; v >>= 7) {
            stream += char(v >= 0x80 ? 0x80 | (v & 0x7f) : v);
            if (v < 0x80) break;
        }
    }
    return stream;
}

}  // namespace

TEST_F(Replays, ARecordedGameReplaysToTheSameStateAndAOneTickDifferenceIsCaughtAtTheNextCheck) {
    const std::string bytes = record(3000, 5);
    ReplayFile file;
    ASSERT_EQ(read_replay(bytes, file), "");
    const ReplayCheck end = file.checks.back();
    EXPECT_EQ(std::tuple(end.update, end.score, end.kills, end.armour, end.draws),
              std::tuple(file.updates, game.player->score, game.player->kills, game.player->armour,
                         game.replay.random.draws));
    ASSERT_GE(file.checks.size(), 3u) << file.updates << " updates: a check every five seconds of play";
    EXPECT_GT(end.kills + (100 - end.armour), 0) << "a game where something happens";

    EXPECT_EQ(play_back(file), "");
    EXPECT_EQ(std::tuple(game.player->score, game.player->kills, game.player->x, game.replay.random.draws),
              std::tuple(end.score, end.kills, end.ship_x, end.draws));

    // One tick more in one update: on a check's own update, or between two checks.
    const uint32_t second = file.checks[1].update, third = file.checks[2].update;
    for (auto [planted, reported, agreed] : {std::tuple{second, second, file.checks[0].update},
                                            {second + 1, third, second}}) {
        auto updates = updates_of(file);
        updates[planted - 1].first++;
        ReplayFile changed = file;
        changed.stream = stream_of(updates);
        EXPECT_EQ(play_back(changed).rfind("à la mise à jour " + std::to_string(reported) + " (en accord à la " +
                                               std::to_string(agreed) + ")", 0),
                  0u)
            << "planted at " << planted << ": " << game.replay.mismatch;
    }
}

// Each damage gets its message, and never a crash: the file is read whole before any play.
TEST_F(Replays, DamagedTruncatedOrForeignFilesAreTurnedAwayWithAMessage) {
    const std::string good = record(1000, 9);
    ReplayFile file;
    ASSERT_EQ(read_replay(good, file), "");
    ASSERT_GE(file.checks.size(), 2u);
    auto rewritten = [&file](const std::function<void(ReplayFile&)>& change) {
        ReplayFile copy = file;
        change(copy);
        return write_replay(copy);
    };
    const size_t header = 8 + 2 + 1 + file.game_version.size() + 4;
    std::string flipped = good;
    flipped[flipped.size() - 20] ^= 0x40;
    std::string wide = good;
    wide[header] = wide[header + 1] = 0;
    const struct { const char* name; std::string bytes; const char* message; } cases[] = {
        {"empty", "", "n'est pas une partie enregistrée"},
        {"a data file", "slh.ALL.", "n'est pas une partie enregistrée"},
        {"a later format", good.substr(0, 8) + '\2' + good.substr(9), "un autre format (2)"},
        {"cut in the header", good.substr(0, 20), "tronqué"},
        {"cut in the body", good.substr(0, good.size() - 1), "tronqué"},
        {"a byte more", good + '\0', "tronqué"},
        {"a screen 0 wide", wide, "abîmé (en-tête)"},
        {"a packed byte changed", flipped, "abîmé (données compressées)"},
        {"a star off the screen", rewritten([](ReplayFile& f) { f.sky[7].x = 800; }), "abîmé (étoiles)"},
        {"a star too bright", rewritten([](ReplayFile& f) { f.sky[0].grey = 135; }), "abîmé (étoiles)"},
        {"an update more than the runs", rewritten([](ReplayFile& f) { f.updates++; }), "abîmé (déroulement)"},
        {"a run of none", rewritten([](ReplayFile& f) { f.stream[0] = 0; }), "abîmé (déroulement)"},
        {"a run cut short", rewritten([](ReplayFile& f) { f.stream.pop_back(); }), "abîmé (déroulement)"},
        {"no check", rewritten([](ReplayFile& f) { f.checks.clear(); }), "abîmé (contrôles)"},
        {"no check at the end", rewritten([](ReplayFile& f) { f.checks.pop_back(); }), "abîmé (contrôles)"},
        {"checks out of order", rewritten([](ReplayFile& f) { std::swap(f.checks[0].update, f.checks[1].update); }),
         "abîmé (contrôles)"},
    };
    for (const auto& c : cases) {
        ReplayFile read;
        EXPECT_NE(read_replay(c.bytes, read).find(c.message), std::string::npos) << c.name;
    }
    EXPECT_NE(load_replay("/nonexistent/best-game.replay", file).find("impossible de lire"), std::string::npos);
}
