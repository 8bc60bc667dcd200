// SPDX-License-Identifier: GPL-3.0-or-later
// Exact replays: the game's own random numbers, the inputs each update reads, the recorder
// that keeps them run-length coded, and the replay file that holds a whole game. Given the
// same seed, sky, clock steps and inputs, every update leads to the same state.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <cstring>
#include <map>
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
    // The ticks of play the updates so far moved things by: the game's length.
    long ticks_played() const { return play_ticks; }

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

// What a recorded game came to, played back without a window on the pictures of `objects`
// (a loaded data file, left loaded): `mismatch` empty when every check agreed.
struct ReplayOutcome {
    std::string mismatch;
    int score = 0, kills = 0;
    long ticks = 0;
    double seconds = 0;  // the time the playing back took
};
ReplayOutcome replay_without_window(const ReplayFile& file, DATAFILE* objects);
// The game's data file, found and checked as the game finds it, for games of that screen played
// back without a window (Allegro installed with no system driver); null, with the message
// told on standard error (about `for_path` when there is none), when it cannot be had.
DATAFILE* data_for_replays(const std::string& data_file, int width, int height, const std::string& for_path);
// --verifier: replays a file without a window, as fast as it can. 0 when every check
// matches, 1 with the first mismatch (or an unreadable file) told on standard error.
int verify_replay(const std::string& path, const std::string& data_file);

// A key, a mouse button or a gamepad button held, or the mouse moved from (x, y).
bool player_stirred(Game& game, int x, int y);
// The game the title's demo plays, at the level it was played at: the best proven game of the
// level chosen in the table of honour, else the best one kept of that level, else the last one; false when neither can be read or replayed here (the demo then
// never starts).
bool demo_game(const Game& game, ReplayFile& file);

// The table of honour: the ten best games of each level, best first, in a text file beside the
// record (score_table_path), each with its replay in the table's games folder. A line per game:
//   LEVEL SCORE KILLS SECONDS DATE NAME GAME
// (SECONDS with three decimals, DATE the local "YYYY-MM-DDTHH:MM", GAME a bare file name); "-"
// for what is not known: the record carried over from before the table has no game.
constexpr int table_size = 10;
struct HonourEntry {
    int level = 1, score = 0;
    int kills = -1;     // -1: not known
    long ticks = -1;    // the game's length in ticks of play; -1: not known
    std::string date = "-", name, game;  // game: empty for none
    // Set when the table is proven: empty when the game replays to this entry, else why not (French).
    std::string unproven = "pas encore vérifiée";
    bool proven() const { return unproven.empty(); }
};
struct HonourTable {
    std::vector<HonourEntry> levels[level_count];
    // The proofs made this run, by entry line: a table read again replays only what is new.
    std::map<std::string, std::string> proofs;
};
// The table's lines and what they are read back to: lines that cannot be read are skipped, the
// rest sorted by score (an equal score after the one that made it first), ten a level kept.
std::string table_text(const HonourTable& table);
HonourTable read_table_text(const std::string& text);
// The game an entry names, read as every player file is read; empty, else why it cannot be (French).
std::string load_table_game(const std::string& record_path, const HonourEntry& entry, ReplayFile& file);
// Where a score would enter its level's list (after the equal ones), or -1 past the tenth.
int table_place(const std::vector<HonourEntry>& level, int score);
// The table beside the record; where none was ever written, each level's record file becomes
// that level's first entry, with `name` and no game.
HonourTable load_table(const std::string& record_path, const std::string& name);
// Enters a game that has ended (`replay` its file, empty when it was not kept) under the record's
// lock: its replay written first, then the table, and the game that fell out removed. `before` is
// the table the game entered, read under the lock. False when it is not among the ten.
bool enter_table(const std::string& record_path, HonourEntry entry, const std::string& replay, HonourTable& before);
// Proves each entry of `level` whose proof is not known yet by replaying its game, through the
// same playing back as --verifier, on `game`'s pictures and screen.
void prove_level(HonourTable& table, int level, const std::string& record_path, const Game& game);
// The record to beat at `level`: the best proven score, or the score of an entry carried over with no
// game up to `record_file` (the level's record file, what was trusted before the table).
int table_record(const HonourTable& table, int level, int record_file);
// The game's table proven at `level` (what is not proven yet) and that level's record to beat
// raised to it: before a level's table, record or demo is shown.
void prove_shown_level(Game& game, int level);
// The table read again, the proofs already made kept, and `level` proven (prove_shown_level); the
// other levels' entries not proven yet stay unproven until shown.
void read_honour(Game& game, int level);
// --scores: every level's table and each entry's proof on standard output; 0, or 1 when the data
// file cannot be had.
int print_scores(const std::string& data_file);
// The length of a game as the table shows it: "3:05".
std::string minutes_text(long ticks);
