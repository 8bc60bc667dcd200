// The two tunes as the build writes them (00.mid in game, 66.mid in the title menu),
// read back byte by byte: Allegro loops a MIDI file cleanly only when its chunk lengths
// are exact, every track ends at the loop point and no note is left sounding, and DIGMID
// plays only the instruments our freepats-based patch set has.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support.h"

namespace {

using Bytes = std::vector<unsigned char>;

// What the checks need from a Standard MIDI file. It throws unless the file is well formed:
// header, every track ending with its end-of-track event exactly at its chunk's end, no byte
// after the last chunk.
struct TuneFile {
    long division = 0;
    std::vector<long> end_ticks;
    double seconds = 0;             // to the end of the first track
    std::set<std::string> hanging;  // notes never released, as "channel:key"
    std::set<int> programs, drum_keys, channels;
};

TuneFile parse_tune(const Bytes& b) {
    TuneFile t;
    std::size_t p = 0;
    auto number = [&](int n) { long v = 0; while (n-- > 0) v = v << 8 | b.at(p++); return v; };
    auto variable = [&] { long v = 0; do v = v << 7 | (b.at(p) & 0x7F); while (b.at(p++) & 0x80); return v; };
    auto tag = [&](const char* name) { return (p += 4) <= b.size() && std::equal(name, name + 4, b.begin() + p - 4); };
    if (!tag("MThd") || number(4) != 6) throw std::runtime_error("no MThd header of 6 bytes");
    long tracks = (number(2), number(2));  // past the format
    t.division = number(2);
    for (long k = 0; k < tracks; ++k) {
        if (!tag("MTrk")) throw std::runtime_error("no MTrk chunk " + std::to_string(k));
        std::size_t end = number(4) + p;
        long tick = 0, tempo = 500000;  // microseconds a quarter
        int running = 0, ended = 0;
        std::set<std::string> sounding;
        while (p < end && !ended) {
            long delta = variable();
            tick += delta;
            if (k == 0) t.seconds += 1e-6 * delta * tempo / t.division;
            int s = b.at(p) & 0x80 ? b.at(p++) : running, kind = s & 0xF0, channel = s & 0x0F;
            if (s == 0xFF) {
                std::size_t type = b.at(p++), next = variable() + p;
                if (type == 0x51) tempo = k == 0 ? number(3) : throw std::runtime_error("tempo off the first track");
                ended = type == 0x2F;
                p = next;
                continue;
            }
            running = s;
            int key = b.at(p++), velocity = kind == 0xC0 || kind == 0xD0 ? 0 : b.at(p++);  // key: or program
            std::string note = std::to_string(channel + 1) + ":" + std::to_string(key);
            if (kind == 0xC0 && channel != 9) t.programs.insert(key);
            bool on = kind == 0x90 && velocity > 0;
            if (on) t.channels.insert(channel);
            if (on && channel == 9) t.drum_keys.insert(key);
            if (on) sounding.insert(note); else if (kind == 0x80 || kind == 0x90) sounding.erase(note);
        }
        if (!ended || p != end) throw std::runtime_error("track " + std::to_string(k) + " ends off its chunk's end");
        t.hanging.insert(sounding.begin(), sounding.end());
        t.end_ticks.push_back(tick);
    }
    if (p != b.size()) throw std::runtime_error("bytes after the last track");
    return t;
}

// What Debian's freepats has: programs (0-based General MIDI numbers) and drum keys.
const std::set<int> freepats_programs = {
    0,  1,  2,  4,  5,  6,  7,  8,  9,  13, 14, 15, 16, 19, 21, 23, 24, 25,  26,  27,  28,  29,  30,  32,
    33, 34, 35, 36, 37, 38, 40, 42, 44, 45, 46, 47, 48, 53, 56, 57, 58, 59,  60,  61,  64,  65,  66,  67,
    68, 69, 70, 71, 72, 73, 74, 75, 76, 79, 80, 84, 88, 94, 95, 98, 101, 102, 104, 114, 115, 120, 122, 125};
bool freepats_has_drum(int key) { return (key >= 25 && key <= 27) || (key >= 31 && key <= 82) || key == 84; }

class Tune : public ::testing::TestWithParam<std::pair<const char*, bool>> {};  // file, with drums

TEST_P(Tune, LoopsCleanlyAfterFortyToSixtySecondsOnFreepatsInstrumentsAndAllegroLoadsIt) {
    std::string path = std::string(DATA_SOURCE_DIR) + "/" + GetParam().first;
    std::ifstream in(path, std::ios::binary);
    TuneFile t = parse_tune(Bytes(std::istreambuf_iterator<char>(in), {}));
    ASSERT_GE(t.end_ticks.size(), 2u);
    for (long end : t.end_ticks) EXPECT_EQ(end, t.end_ticks.back()) << "a track ends before the loop point";
    EXPECT_EQ(t.hanging, std::set<std::string>());
    EXPECT_TRUE(t.seconds >= 40 && t.seconds <= 60) << t.seconds << " s";
    for (int program : t.programs) EXPECT_TRUE(freepats_programs.count(program)) << "program " << program;
    for (int key : t.drum_keys) EXPECT_TRUE(freepats_has_drum(key)) << "drum key " << key;
    EXPECT_EQ(t.channels.count(9) == 1, GetParam().second) << "drums";
    EXPECT_GE(t.channels.size() - t.channels.count(9), 3u) << "melody, harmony and bass";

    start_headless_allegro();
    MIDI* midi = load_midi(path.c_str());
    ASSERT_NE(midi, nullptr);
    EXPECT_EQ(midi->divisions, t.division);
    for (std::size_t k = 0; k < t.end_ticks.size(); ++k) EXPECT_NE(midi->track[k].data, nullptr) << "track " << k;
    destroy_midi(midi);
}

INSTANTIATE_TEST_SUITE_P(GameAndMenu, Tune,
                         ::testing::Values(std::make_pair("00.mid", true), std::make_pair("66.mid", false)));

// The checks catch what they look for, on one-track files made by hand.
TEST(TuneChecks, CatchWrongChunkLengthsAndHangingNotesAndFollowTempoChanges) {
    auto parse = [](Bytes track, int length_error) {
        Bytes f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0,
                   static_cast<unsigned char>(track.size() + length_error)};
        f.insert(f.end(), track.begin(), track.end());
        return parse_tune(f);
    };
    // A note for half a second at 120 a minute (ended by velocity 0), then two one-second quarters.
    const Bytes good = {0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x90, 0x3C, 0x00, 0x00, 0xFF, 0x51, 0x03, 0x0F,
                        0x42, 0x40, 0x87, 0x40, 0xFF, 0x2F, 0x00};
    EXPECT_DOUBLE_EQ(parse(good, 0).seconds, 2.5);
    EXPECT_TRUE(parse(good, 0).hanging.empty());
    EXPECT_ANY_THROW(parse(good, -3));
    EXPECT_ANY_THROW(parse(good, 1));
    EXPECT_EQ(parse({0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0xFF, 0x2F, 0x00}, 0).hanging.size(), 1u);
}

}  // namespace
