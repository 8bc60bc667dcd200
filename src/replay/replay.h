// SPDX-License-Identifier: GPL-3.0-or-later
// Exact replays: the game's own random numbers, the inputs each update reads, the recorder
// that keeps them run-length coded, and the replay file that holds a whole game. Given the
// same seed, sky, clock steps and inputs, every update leads to the same state.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "../play/play.h"

class Game;

// The random numbers of play: spawns, looks, drops and the stars' new places. Seeded at
// each game start; nothing that draws, sounds or waits on the title takes from it.
struct GameRandom {
    std::mt19937 engine;
    uint32_t draws = 0;

    void seed(uint32_t seed) {
        engine.seed(seed);
        draws = 0;
    }
    // A number from 0 to n - 1, as "one in n" counts it: 31 bits, like the C library's rand().
    int below(int n) {
        draws++;
        return int(engine() >> 1) % n;
    }
};

// The bytes of a replay, little-endian: the file's header and body and the recorder's runs.
struct ByteWriter {
    std::string bytes;
    void u8(uint32_t v) { bytes.push_back(char(v & 0xff)); }
    void u16(uint32_t v) { u8(v), u8(v >> 8); }
    void u32(uint32_t v) { u16(v), u16(v >> 16); }
    void u64(uint64_t v) { u32(uint32_t(v)), u32(uint32_t(v >> 32)); }
    // Seven bits a byte, low first, the top bit set on every byte but the last.
    void varint(uint64_t v) {
        for (; v >= 0x80; v >>= 7) u8(0x80 | (v & 0x7f));
        u8(uint32_t(v));
    }
    // Zigzag: small negative numbers stay short.
    void signed_varint(int32_t v) { varint((uint32_t(v) << 1) ^ uint32_t(v >> 31)); }
    void real(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        u64(bits);
    }
};

// Every read past the end gives 0 and marks the reader spent.
struct ByteReader {
    const std::string& bytes;
    size_t at = 0;
    bool ok = true;
    uint32_t u8() {
        if (at >= bytes.size()) return ok = false, 0;
        return uint8_t(bytes[at++]);
    }
    uint32_t u16() { return u8() | u8() << 8; }
    uint32_t u32() { return u16() | u16() << 16; }
    uint64_t u64() { return u32() | uint64_t(u32()) << 32; }
    uint64_t varint() {
        uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const uint32_t byte = u8();
            v |= uint64_t(byte & 0x7f) << shift;
            if (!(byte & 0x80)) return v;
        }
        return ok = false, 0;
    }
    int32_t signed_varint() {
        const uint64_t v = varint();
        if (v > 0xffffffffu) ok = false;
        return int32_t(uint32_t(v >> 1) ^ -uint32_t(v & 1));
    }
    double real() {
        const uint64_t bits = u64();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    bool done() const { return at == bytes.size(); }
};

// What one update reads from the player, keyboard and gamepad together.
struct UpdateInputs {
    bool fire = false, left = false, right = false;
    bool weapon[3] = {};
    bool faster = false, slower = false;

    // One bit each, in the order above.
    uint8_t bits() const;
    static UpdateInputs from_bits(uint8_t bits);
};

// The game's state after one update, kept every few seconds of play and at the end.
// `state` sums up everything else: every actor, the stars, the game speed.
struct ReplayCheck {
    uint32_t update = 0;  // counted from 1
    int32_t score = 0, kills = 0, armour = 0;
    double ship_x = 0;
    uint32_t draws = 0;
    uint32_t state = 0;
};
ReplayCheck check_of(const Game& game, uint32_t update);
// Empty when they agree; else what differs, in French ("score 30 au lieu de 60").
std::string difference(const ReplayCheck& played, const ReplayCheck& recorded);

// One recorded game, as its file holds it.
struct ReplayFile {
    std::string game_version;
    uint32_t seed = 0;
    // The settings that change play: the screen, the star field and the level.
    int width = 0, height = 0, star_layers = 0, stars_per_layer = 0;
    int level = 1;  // files of the first format hold none: level 1
    // The star field when the game began, layer by layer: the stars' new places draw from
    // the game's numbers, so the sky is part of the game.
    std::vector<Star> sky;
    // Runs of updates with the same clock step and inputs: count, input bits, elapsed ticks.
    std::string stream;
    uint32_t updates = 0;
    std::vector<ReplayCheck> checks;  // in update order, the last one at the last update
};
std::string write_replay(const ReplayFile& file);
// Empty on success; else a French message that says what is wrong with the bytes.
std::string read_replay(const std::string& bytes, ReplayFile& file);
// The same, from a file's path.
std::string load_replay(const std::string& path, ReplayFile& file);
// Empty when a game of this screen and star field can replay it; else a French message.
std::string unsuitable_replay(const ReplayFile& file, const Game& game);

// A game's recording while it runs, or the recorded game it plays back.
struct ReplayDeck {
    static constexpr int check_every_ticks = 5 * 500;  // five seconds of play
    // What one kept game holds at most: a game that would hold more is not kept, and a file
    // that claims more is damaged. A new run at every update fills the stream in about a
    // day of play, and the checks in three; a clock that stood still for longer than
    // between two checks is a stopped process (a suspended machine, SIGSTOP), not play.
    static constexpr uint32_t most_stream_bytes = 16u << 20;
    static constexpr uint32_t most_updates = 1u << 28;
    static constexpr uint32_t most_checks = 1u << 16;
    static constexpr int most_step_ticks = check_every_ticks;
    // Live games record (tests and benchmarks turn it on when they want it).
    bool recording = false;
    // Set while a recorded game plays back; `demo` adds silence and ends on any input.
    const ReplayFile* playback = nullptr;
    bool demo = false;
    GameRandom random;
    ReplayFile tape;  // the game so far, while recording
    // The first check that failed in playback, in French; empty while all agree.
    std::string mismatch;

    // At each game start: a new seed, or the recorded one and its sky.
    void start(Game& game);
    bool playing() const { return playback != nullptr; }
    // Playback: true once every recorded update has run.
    bool finished() const { return played == playback->updates; }
    // Playback: the clock step of the next update, then the update's inputs.
    int next_elapsed() const { return run_left ? run_elapsed : peek_run().elapsed; }
    UpdateInputs next_inputs(int& elapsed);
    // After each update: recorded, or checked against the recording (false: stop here).
    bool after_update(int elapsed, const UpdateInputs& inputs, bool game_ends, const Game& game);
    // The whole game, once it has ended; empty when nothing was recorded.
    std::string finish();

private:
    struct Run {
        uint32_t count;
        uint8_t inputs;
        int elapsed;
        size_t end;  // where the next run starts in the stream
    };
    Run peek_run() const;
    void flush_run();
    uint32_t played = 0, run_left = 0, next_check = 0;
    uint8_t run_inputs = 0;
    int run_elapsed = 0;
    size_t stream_at = 0;
    long play_ticks = 0, check_at = check_every_ticks;
    bool overflowed = false;  // past what a kept game holds: nothing is kept
};

// --verifier: replays a file without a window, as fast as it can. 0 when every check
// matches, 1 with the first mismatch (or an unreadable file) told on standard error.
int verify_replay(const std::string& path, const std::string& data_file);

// A key, a mouse button or a gamepad button held, or the mouse moved from (x, y).
bool player_stirred(Game& game, int x, int y);
// The game the title's demo plays, at the level it was played at: the best one of the level
// chosen, else the last one; false when neither can be read or replayed here (the demo then
// never starts).
bool demo_game(const Game& game, ReplayFile& file);
