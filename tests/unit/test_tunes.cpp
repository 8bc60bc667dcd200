// The two tunes as the build writes them (00.mid in game, 66.mid in the title
// menu), read back byte by byte: Allegro loops a MIDI file cleanly only when its
// chunk lengths are exact, every track ends at the loop point and no note is left
// sounding, and DIGMID plays only the instruments our freepats-based patch set has.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct TuneEvent {
    long tick;
    std::uint8_t status;  // 0xFF for meta events
    std::uint8_t meta_type;
    Bytes data;
};

struct TuneTrack {
    std::vector<TuneEvent> events;
    long end_tick = -1;  // tick of the end-of-track event, -1 if missing
    std::size_t chunk_length = 0;
};

// A Standard MIDI file as read here. error is empty when the bytes are well formed:
// header, chunk lengths that end exactly on each track's end-of-track event, no
// byte after the last chunk.
struct TuneFile {
    int format = -1;
    int division = 0;
    std::vector<TuneTrack> tracks;
    std::string error;
};

class Reader {
public:
    const Bytes& bytes;
    std::size_t pos;
    std::size_t end;
    Reader(const Bytes& bytes, std::size_t pos, std::size_t end) : bytes(bytes), pos(pos), end(end) {}
    bool has(std::size_t n) const { return pos + n <= end; }
    std::uint32_t big_endian(int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) v = (v << 8) | bytes[pos++];
        return v;
    }
    bool variable_length(long& out) {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            if (!has(1)) return false;
            std::uint8_t b = bytes[pos++];
            out = (out << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) return true;
        }
        return false;
    }
};

int data_bytes_of(std::uint8_t status) {
    int kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

std::string read_track(Reader r, TuneTrack& track) {
    long tick = 0;
    std::uint8_t running = 0;
    while (r.pos < r.end) {
        if (track.end_tick >= 0) return "bytes after the end-of-track event";
        long delta;
        if (!r.variable_length(delta)) return "bad delta time";
        tick += delta;
        if (!r.has(1)) return "event cut by the chunk length";
        std::uint8_t status = r.bytes[r.pos];
        if (status == 0xFF) {
            ++r.pos;
            if (!r.has(1)) return "meta event cut by the chunk length";
            std::uint8_t type = r.bytes[r.pos++];
            long length;
            if (!r.variable_length(length) || !r.has(static_cast<std::size_t>(length)))
                return "meta event cut by the chunk length";
            Bytes data(r.bytes.begin() + static_cast<long>(r.pos), r.bytes.begin() + static_cast<long>(r.pos) + length);
            r.pos += static_cast<std::size_t>(length);
            track.events.push_back({tick, 0xFF, type, data});
            if (type == 0x2F) track.end_tick = tick;
        } else if (status == 0xF0 || status == 0xF7) {
            ++r.pos;
            long length;
            if (!r.variable_length(length) || !r.has(static_cast<std::size_t>(length))) return "sysex cut by the chunk length";
            r.pos += static_cast<std::size_t>(length);
        } else {
            if (status & 0x80) {
                running = status;
                ++r.pos;
            } else if (running == 0) {
                return "data byte without a status";
            }
            int n = data_bytes_of(running);
            if (!r.has(static_cast<std::size_t>(n))) return "channel event cut by the chunk length";
            Bytes data(r.bytes.begin() + static_cast<long>(r.pos), r.bytes.begin() + static_cast<long>(r.pos) + n);
            r.pos += static_cast<std::size_t>(n);
            track.events.push_back({tick, running, 0, data});
        }
    }
    if (track.end_tick < 0) return "no end-of-track event before the chunk ends";
    return "";
}

TuneFile parse_tune(const Bytes& bytes) {
    TuneFile file;
    Reader r(bytes, 0, bytes.size());
    if (!r.has(14) || std::string(bytes.begin(), bytes.begin() + 4) != "MThd") {
        file.error = "no MThd header";
        return file;
    }
    r.pos = 4;
    if (r.big_endian(4) != 6) {
        file.error = "header length is not 6";
        return file;
    }
    file.format = static_cast<int>(r.big_endian(2));
    std::uint32_t track_count = r.big_endian(2);
    file.division = static_cast<int>(r.big_endian(2));
    for (std::uint32_t t = 0; t < track_count; ++t) {
        if (!r.has(8) || std::string(bytes.begin() + static_cast<long>(r.pos), bytes.begin() + static_cast<long>(r.pos) + 4) != "MTrk") {
            file.error = "track " + std::to_string(t) + ": no MTrk chunk";
            return file;
        }
        r.pos += 4;
        std::uint32_t length = r.big_endian(4);
        if (!r.has(length)) {
            file.error = "track " + std::to_string(t) + ": chunk runs past the end of the file";
            return file;
        }
        TuneTrack track;
        track.chunk_length = length;
        std::string error = read_track(Reader(bytes, r.pos, r.pos + length), track);
        if (!error.empty()) {
            file.error = "track " + std::to_string(t) + ": " + error;
            return file;
        }
        file.tracks.push_back(track);
        r.pos += length;
    }
    if (r.pos != bytes.size()) file.error = "bytes after the last track";
    return file;
}

// Every problem with the notes: a key struck again while it sounds, a note-off with
// no note sounding, a note still sounding at the end of its track.
std::vector<std::string> note_problems(const TuneFile& file) {
    std::vector<std::string> problems;
    for (std::size_t t = 0; t < file.tracks.size(); ++t) {
        std::map<std::pair<int, int>, long> sounding;  // (channel, key) -> start tick
        for (const TuneEvent& e : file.tracks[t].events) {
            int kind = e.status & 0xF0;
            if (e.status == 0xFF || (kind != 0x80 && kind != 0x90)) continue;
            std::pair<int, int> note{e.status & 0x0F, e.data[0]};
            std::string where = "track " + std::to_string(t) + " channel " + std::to_string(note.first + 1) + " key " +
                                std::to_string(note.second) + " at tick " + std::to_string(e.tick);
            bool on = kind == 0x90 && e.data[1] != 0;
            if (on) {
                if (sounding.count(note)) problems.push_back(where + ": struck while still sounding");
                sounding[note] = e.tick;
            } else if (sounding.erase(note) == 0) {
                problems.push_back(where + ": released but not sounding");
            }
        }
        for (const auto& [note, start] : sounding)
            problems.push_back("track " + std::to_string(t) + " channel " + std::to_string(note.first + 1) + " key " +
                               std::to_string(note.second) + " from tick " + std::to_string(start) +
                               ": still sounding at the end");
    }
    return problems;
}

// Seconds from the start to tick, through every tempo change of every track
// (120 beats a minute until the first one).
double seconds_at(const TuneFile& file, long tick) {
    std::map<long, long> tempo_at;  // tick -> microseconds per quarter
    tempo_at[0] = 500000;
    for (const TuneTrack& track : file.tracks)
        for (const TuneEvent& e : track.events)
            if (e.status == 0xFF && e.meta_type == 0x51 && e.data.size() == 3)
                tempo_at[e.tick] = (e.data[0] << 16) | (e.data[1] << 8) | e.data[2];
    double micros = 0;
    for (auto it = tempo_at.begin(); it != tempo_at.end() && it->first < tick; ++it) {
        auto next = std::next(it);
        long until = next == tempo_at.end() || next->first > tick ? tick : next->first;
        micros += static_cast<double>(until - it->first) * it->second / file.division;
    }
    return micros / 1e6;
}

long loop_tick(const TuneFile& file) {
    long end = 0;
    for (const TuneTrack& track : file.tracks) end = std::max(end, track.end_tick);
    return end;
}

// Programs (0-based General MIDI numbers) and drum keys that Debian's freepats has.
const std::set<int> freepats_programs = {
    0,  1,  2,  4,  5,  6,  7,  8,  9,  13, 14, 15, 16, 19, 21, 23, 24, 25,  26,  27,  28,  29,  30,  32,
    33, 34, 35, 36, 37, 38, 40, 42, 44, 45, 46, 47, 48, 53, 56, 57, 58, 59,  60,  61,  64,  65,  66,  67,
    68, 69, 70, 71, 72, 73, 74, 75, 76, 79, 80, 84, 88, 94, 95, 98, 101, 102, 104, 114, 115, 120, 122, 125};
std::set<int> freepats_drum_keys() {
    std::set<int> keys = {25, 26, 27, 84};
    for (int k = 31; k <= 82; ++k) keys.insert(k);
    return keys;
}
constexpr int drum_channel = 9;

Bytes read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct TuneCase {
    const char* file_name;
    bool with_drums;
};
void PrintTo(const TuneCase& c, std::ostream* os) { *os << c.file_name; }

class Tune : public ::testing::TestWithParam<TuneCase> {
protected:
    std::string path() const { return std::string(DATA_SOURCE_DIR) + "/" + GetParam().file_name; }
    Bytes bytes;
    TuneFile file;
    void SetUp() override {
        bytes = read_file(path());
        ASSERT_FALSE(bytes.empty()) << "cannot read " << path();
        file = parse_tune(bytes);
    }
};

TEST_P(Tune, IsAWellFormedFileWhoseTracksAllEndAtTheLoopPoint) {
    ASSERT_EQ(file.error, "");
    EXPECT_TRUE(file.format == 0 || file.format == 1);
    EXPECT_GT(file.division, 0) << "ticks per quarter note, not SMPTE time";
    EXPECT_LT(file.division, 0x8000);
    ASSERT_GE(file.tracks.size(), 2u);
    long end = loop_tick(file);
    for (std::size_t t = 0; t < file.tracks.size(); ++t)
        EXPECT_EQ(file.tracks[t].end_tick, end) << "track " << t << " ends before the others";
}

TEST_P(Tune, ReleasesEveryNoteBeforeItLoops) {
    ASSERT_EQ(file.error, "");
    std::vector<std::string> problems = note_problems(file);
    EXPECT_TRUE(problems.empty()) << problems.size() << " problems, first: " << (problems.empty() ? "" : problems.front());
}

TEST_P(Tune, PlaysFortyToSixtySecondsBeforeItLoops) {
    ASSERT_EQ(file.error, "");
    double seconds = seconds_at(file, loop_tick(file));
    EXPECT_GE(seconds, 40.0);
    EXPECT_LE(seconds, 60.0);
}

TEST_P(Tune, UsesOnlyInstrumentsThePatchSetHas) {
    ASSERT_EQ(file.error, "");
    const std::set<int> drum_keys = freepats_drum_keys();
    std::set<int> channels_with_program;
    std::set<int> channels_with_notes;
    for (const TuneTrack& track : file.tracks) {
        for (const TuneEvent& e : track.events) {
            int kind = e.status & 0xF0;
            int channel = e.status & 0x0F;
            if (e.status == 0xFF) continue;
            if (kind == 0xC0) {
                if (channel != drum_channel) {
                    EXPECT_TRUE(freepats_programs.count(e.data[0])) << "program " << int(e.data[0]);
                }
                channels_with_program.insert(channel);
            }
            if (kind == 0x90 && e.data[1] != 0) {
                channels_with_notes.insert(channel);
                if (channel == drum_channel) {
                    EXPECT_TRUE(drum_keys.count(e.data[0])) << "drum key " << int(e.data[0]);
                } else {
                    // A channel left on the default program would play whatever that maps to.
                    EXPECT_TRUE(channels_with_program.count(channel))
                        << "channel " << channel + 1 << " plays before choosing its instrument";
                }
            }
        }
    }
    EXPECT_EQ(channels_with_notes.count(drum_channel) == 1, GetParam().with_drums);
    // Melody, harmony and bass at least.
    EXPECT_GE(channels_with_notes.size() - channels_with_notes.count(drum_channel), 3u);
}

TEST_P(Tune, IsReadByAllegroTrackForTrack) {
    ASSERT_EQ(file.error, "");
    start_headless_allegro();
    MIDI* midi = load_midi(path().c_str());
    ASSERT_NE(midi, nullptr);
    EXPECT_EQ(midi->divisions, file.division);
    for (std::size_t t = 0; t < MIDI_TRACKS; ++t) {
        if (t >= file.tracks.size()) {
            EXPECT_EQ(midi->track[t].data, nullptr) << "track " << t;
            continue;
        }
        ASSERT_NE(midi->track[t].data, nullptr) << "track " << t;
        ASSERT_EQ(static_cast<std::size_t>(midi->track[t].len), file.tracks[t].chunk_length) << "track " << t;
        // The player loops once every track has reached its end-of-track event.
        const unsigned char* last = midi->track[t].data + midi->track[t].len - 3;
        EXPECT_TRUE(last[0] == 0xFF && last[1] == 0x2F && last[2] == 0x00) << "track " << t;
    }
    destroy_midi(midi);
}

INSTANTIATE_TEST_SUITE_P(Tunes, Tune,
                         ::testing::Values(TuneCase{"00.mid", true}, TuneCase{"66.mid", false}),
                         [](const ::testing::TestParamInfo<TuneCase>& info) {
                             return std::string(info.param.with_drums ? "Game" : "Menu");
                         });

TEST(Tunes, TheGameTuneIsFasterThanTheMenuTune) {
    TuneFile game = parse_tune(read_file(std::string(DATA_SOURCE_DIR) + "/00.mid"));
    TuneFile menu = parse_tune(read_file(std::string(DATA_SOURCE_DIR) + "/66.mid"));
    ASSERT_EQ(game.error, "");
    ASSERT_EQ(menu.error, "");
    // Quarter notes a second at the start of each tune.
    double game_beats = 1.0 / seconds_at(game, game.division);
    double menu_beats = 1.0 / seconds_at(menu, menu.division);
    EXPECT_GT(game_beats, menu_beats * 1.5);
}

// The checks above on small hand-made files, to be sure they catch what they look for.
Bytes tiny_file(const std::vector<Bytes>& track_bodies, int length_correction = 0) {
    Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, static_cast<std::uint8_t>(track_bodies.size()), 0x01, 0xE0};
    for (const Bytes& body : track_bodies) {
        std::uint32_t length = static_cast<std::uint32_t>(static_cast<int>(body.size()) + length_correction);
        file.insert(file.end(), {'M', 'T', 'r', 'k', static_cast<std::uint8_t>(length >> 24),
                                 static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 8),
                                 static_cast<std::uint8_t>(length)});
        file.insert(file.end(), body.begin(), body.end());
    }
    return file;
}

const Bytes one_note = {0x00, 0xC0, 0x49, 0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};

TEST(TuneChecks, AcceptAPlainOneNoteTune) {
    TuneFile file = parse_tune(tiny_file({one_note}));
    EXPECT_EQ(file.error, "");
    EXPECT_TRUE(note_problems(file).empty());
    EXPECT_EQ(loop_tick(file), 480);
    EXPECT_DOUBLE_EQ(seconds_at(file, 480), 0.5);
}

TEST(TuneChecks, RejectATrackLengthShortByTheEndOfTrackEvent) {
    EXPECT_NE(parse_tune(tiny_file({one_note}, -3)).error, "");
    EXPECT_NE(parse_tune(tiny_file({one_note}, +1)).error, "");
}

TEST(TuneChecks, FindHangingAndRestruckNotes) {
    const Bytes hanging = {0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(note_problems(parse_tune(tiny_file({hanging}))).size(), 1u);
    const Bytes restruck = {0x00, 0x90, 0x3C, 0x64, 0x60, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_FALSE(note_problems(parse_tune(tiny_file({restruck}))).empty());
    // A note-on of velocity 0 releases the note.
    const Bytes zero_velocity_off = {0x00, 0x90, 0x3C, 0x64, 0x60, 0x90, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_TRUE(note_problems(parse_tune(tiny_file({zero_velocity_off}))).empty());
}

TEST(TuneChecks, FollowTempoChanges) {
    // A quarter at 120 a minute, then a tempo of 1 s a quarter for two more quarters.
    const Bytes tempo = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,
                         0x87, 0x40, 0xFF, 0x2F, 0x00};
    TuneFile file = parse_tune(tiny_file({tempo}));
    ASSERT_EQ(file.error, "");
    EXPECT_DOUBLE_EQ(seconds_at(file, loop_tick(file)), 2.5);
}

}  // namespace
