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
#include <vector>

#include "support.h"

namespace {

using Bytes = std::vector<unsigned char>;

// What Debian's freepats has: programs (0-based General MIDI numbers) and drum keys.
const std::set<int> freepats_programs = {
    0,  1,  2,  4,  5,  6,  7,  8,  9,  13, 14, 15, 16, 19, 21, 23, 24, 25, 26, 27, 28, 29, 30, 32, 33, 34, 35,
    36, 37, 38, 40, 42, 44, 45, 46, 47, 48, 53, 56, 57, 58, 59, 60, 61, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73,
    74, 75, 76, 79, 80, 84, 88, 94, 95, 98, 101, 102, 104, 114, 115, 120, 122, 125};
bool freepats_has_drum(int key) { return (key >= 25 && key <= 27) || (key >= 31 && key <= 82) || key == 84; }

// The seconds a Standard MIDI file plays before it loops, along its first track. It throws,
// saying why, unless the file loops cleanly on freepats: a header, every track ending with its
// end-of-track event exactly at its chunk's end and at the same tick as the first, no byte
// after the last chunk, no note left sounding, only programs and drum keys freepats has.
double loop_seconds(const Bytes& b) {
    double seconds = 0;
    std::size_t p = 0;
    auto number = [&](int n) { long v = 0; while (n-- > 0) v = v << 8 | b.at(p++); return v; };
    auto variable = [&] { long v = 0; do v = v << 7 | (b.at(p) & 0x7F); while (b.at(p++) & 0x80); return v; };
    auto tag = [&](const char* name) { return (p += 4) <= b.size() && std::equal(name, name + 4, b.begin() + p - 4); };
    auto fail = [](const std::string& why, long n) -> long { throw std::runtime_error(why + " " + std::to_string(n)); };
    if (!tag("MThd") || number(4) != 6) fail("no MThd header of length", 6);
    long tracks = (number(2), number(2)), loop_tick = 0;  // past the format
    const long division = number(2);
    for (long k = 0; k < tracks; ++k) {
        if (!tag("MTrk")) fail("no MTrk chunk", k);
        std::size_t end = number(4) + p;
        long tick = 0, tempo = 500000;  // microseconds a quarter
        bool ended = false;
        std::set<std::string> sounding;  // as "channel:key"
        while (p < end && !ended) {
            long delta = variable();
            tick += delta;
            if (k == 0) seconds += 1e-6 * delta * tempo / division;
            int s = b.at(p++), kind = s & 0xF0, channel = s & 0x0F;  // our writer uses no running status
            if (s == 0xFF) {
                std::size_t type = b.at(p++), next = variable() + p;
                if (type == 0x51) tempo = k == 0 ? number(3) : fail("tempo on track", k);
                ended = type == 0x2F;
                p = next;
                continue;
            }
            int key = b.at(p++), velocity = kind == 0xC0 || kind == 0xD0 ? 0 : b.at(p++);  // key: or program
            std::string note = std::to_string(channel + 1) + ":" + std::to_string(key);
            if (kind == 0xC0 && channel != 9 && !freepats_programs.count(key)) fail("freepats has no program", key);
            bool on = kind == 0x90 && velocity > 0;
            if (on && channel == 9 && !freepats_has_drum(key)) fail("freepats has no drum key", key);
            if (on) sounding.insert(note); else if (kind == 0x80 || kind == 0x90) sounding.erase(note);
        }
        if (!ended || p != end) fail("end-of-track off the chunk's end on track", k);
        if (!sounding.empty()) fail("note " + *sounding.begin() + " left sounding on track", k);
        if (k > 0 && tick != loop_tick) fail("end-of-track off the loop point on track", k);
        loop_tick = tick;
    }
    if (p != b.size()) fail("bytes after the last track:", b.size() - p);
    return seconds;
}

class Tune : public ::testing::TestWithParam<const char*> {};

TEST_P(Tune, LoopsCleanlyAfterFortyToSixtySecondsOnFreepatsInstrumentsAndAllegroLoadsIt) {
    const std::string path = std::string(DATA_SOURCE_DIR) + "/" + GetParam();
    const double seconds = loop_seconds(Bytes(std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {}));
    EXPECT_TRUE(seconds >= 40 && seconds <= 60) << seconds << " s";
    start_headless_allegro();
    MIDI* midi = load_midi(path.c_str());
    ASSERT_NE(midi, nullptr);
    destroy_midi(midi);
}

INSTANTIATE_TEST_SUITE_P(GameAndMenu, Tune, ::testing::Values("00.mid", "66.mid"));

// The checks catch what they look for, on one-track files made by hand.
TEST(TuneChecks, CatchWrongChunkLengthsHangingNotesAndMissingProgramsAndFollowTempoChanges) {
    auto seconds = [](Bytes track, int length_error = 0) {
        Bytes f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0,
                   static_cast<unsigned char>(track.size() + length_error)};
        f.insert(f.end(), track.begin(), track.end());
        return loop_seconds(f);
    };
    // A note for half a second at 120 a minute (ended by velocity 0), then two one-second quarters.
    const Bytes good = {0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x90, 0x3C, 0x00, 0x00, 0xFF, 0x51, 0x03, 0x0F,
                        0x42, 0x40, 0x87, 0x40, 0xFF, 0x2F, 0x00};
    EXPECT_DOUBLE_EQ(seconds(good), 2.5);
    for (int length_error : {-3, 1}) EXPECT_ANY_THROW(seconds(good, length_error));
    EXPECT_ANY_THROW(seconds({0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0xFF, 0x2F, 0x00}));  // never released
    EXPECT_ANY_THROW(seconds({0x00, 0xC0, 0x03, 0x00, 0xFF, 0x2F, 0x00}));              // program 3
}

}  // namespace
