// Tunes in the data file: Allegro's MIDI player reads their events trusting every byte,
// so the check walks them first. Tunes the generator makes and well-formed ones pass;
// a tune with any one fault the player would misread is turned away, and damaged tunes
// are either turned away or read cleanly by a model of the player.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

#include <unistd.h>

#include "datafile_writer.h"
#include "data/data_file.h"
#include "support.h"

namespace {

using Track = std::vector<uint8_t>;

struct TempFile {
    std::string path = ::testing::TempDir() + "zudaduviz-tune-test-" + std::to_string(getpid()) + ".dat";
    ~TempFile() { remove(path.c_str()); }
} temp_file;

std::string check_tune(const TestObject& tune) {
    write_bytes(temp_file.path, datafile_bytes({tune, bitmap_object(2, 2, 1, 2, 3)}));
    return check_data_file(temp_file.path.c_str());
}

const Track& lead = varied_track;

// A Standard MIDI file, as the generator writes it, in Allegro's form.
TestObject tune_from_midi_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in), {}};
    auto number = [&](size_t at, int n) { uint32_t v = 0; while (n-- > 0) v = v << 8 | b.at(at++); return v; };
    std::vector<Track> tracks;
    for (size_t at = 14; at + 8 <= b.size(); at += 8 + number(at + 4, 4))
        tracks.emplace_back(b.begin() + at + 8, b.begin() + at + 8 + number(at + 4, 4));
    return tune_object(int(number(12, 2)), tracks);
}

TEST(TuneEvents, TheGeneratorsTunesAndWellFormedTunesPass) {
    for (const char* name : {"/00.mid", "/66.mid"})
        EXPECT_EQ(check_tune(tune_from_midi_file(std::string(DATA_SOURCE_DIR) + name)), "") << name;
    EXPECT_EQ(check_data_file(DATA_FILE), "");
    EXPECT_EQ(check_tune(varied_tune_object()), "");
    EXPECT_EQ(check_tune(tune_object(0x7FFF, {drum_track})), "");  // the most divisions the player reads as beats
    EXPECT_EQ(check_tune(tune_object(1, {ended_track({0x00, 0xFF, 0x51, 0x03, 0x00, 0x03, 0xE8})})), "");  // 1000 µs a beat
}

// `lead` with `count` bytes from `at` replaced by `bytes`.
Track lead_with(size_t at, size_t count, Track bytes) {
    Track track = lead;
    track.erase(track.begin() + at, track.begin() + at + count);
    track.insert(track.begin() + at, bytes.begin(), bytes.end());
    return track;
}

TEST(TuneEvents, ATuneWithAnyFaultThePlayerWouldMisreadIsTurnedAway) {
    const size_t note_on = 19, program = 16;  // where they stand in `lead`
    ASSERT_EQ(lead[note_on], 0x90);
    ASSERT_EQ(lead[program], 0xC0);
    const size_t end = lead.size() - 3;  // the end-of-track event
    const struct {
        const char* what;
        TestObject tune;
        const char* message;
    } faults[] = {
        {"divisions 0", tune_object(0, {lead}), "divisions de morceau illisibles"},
        {"SMPTE divisions", tune_object(0x8000 | 25 << 8 | 40, {lead}), "divisions de morceau illisibles"},
        {"a five-byte delay", tune_object(96, {lead_with(0, 1, {0x81, 0x80, 0x80, 0x80, 0x00})}), "délai illisible"},
        {"a delay running past the track", tune_object(96, {lead_with(end - 1, 4, {0x81})}), "délai illisible"},
        {"no status at the start", tune_object(96, {lead_with(1, 1, {})}), "événement sans statut"},
        {"note 128", tune_object(96, {lead_with(note_on + 1, 1, {0x80})}), "octet de données invalide"},
        {"velocity 200", tune_object(96, {lead_with(note_on + 2, 1, {200})}), "octet de données invalide"},
        {"program 128", tune_object(96, {lead_with(program + 1, 1, {0x80})}), "octet de données invalide"},
        {"velocity 200 by running status", tune_object(96, {lead, drum_track, ended_track({0x00, 0x99, 0x24, 0x64, 0x60, 0x26, 200})}),
         "octet de données invalide"},
        {"a note cut by the track's end", tune_object(96, {{0x00, 0x90, 0x3C}}), "octet de données invalide"},
        {"a meta type of 128", tune_object(96, {lead_with(9, 1, {0x80})}), "méta-événement illisible"},
        {"a meta length past the track", tune_object(96, {lead_with(10, 1, {0x7F})}), "méta-événement illisible"},
        {"a meta length of five bytes", tune_object(96, {lead_with(10, 1, {0x80, 0x80, 0x80, 0x80, 0x04})}),
         "méta-événement illisible"},
        {"a sysex length past the track", tune_object(96, {lead_with(43, 1, {0x7F})}), "système exclusif illisible"},
        {"an F7 length past the track", tune_object(96, {lead_with(49, 1, {0x40})}), "système exclusif illisible"},
        {"song position", tune_object(96, {lead_with(42, 5, {0xF2, 0x00, 0x00})}), "message système inattendu"},
        {"timing clock", tune_object(96, {lead_with(42, 5, {0xF8})}), "message système inattendu"},
        {"a tempo of two bytes", tune_object(96, {lead_with(3, 4, {0x02, 0x07, 0xA1})}), "tempo illisible"},
        {"tempo 0", tune_object(96, {lead_with(4, 3, {0, 0, 0})}), "tempo illisible"},
        {"a tempo the player ignores", tune_object(96, {lead_with(4, 3, {0x00, 0x03, 0xE7})}), "tempo illisible"},
        {"no end of track", tune_object(96, {lead_with(end - 1, 4, {})}), "piste de morceau sans fin"},
        {"a byte after the end of track", tune_object(96, {lead_with(end + 3, 0, {0x00})}), "fin de piste mal placée"},
        {"an end of track of length 1", tune_object(96, {lead_with(end + 2, 1, {0x01, 0x00})}),
         "fin de piste mal placée"},
        {"no time at all", tune_object(96, {{0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00}}), "morceau sans durée"},
        {"no events at all", tune_object(96, {}), "morceau sans durée"},
    };
    for (const auto& fault : faults) {
        const std::string verdict = check_tune(fault.tune);
        EXPECT_NE(verdict.find("Le fichier 'zudaduviz.dat' est endommagé : "), std::string::npos) << fault.what;
        EXPECT_NE(verdict.find(fault.message), std::string::npos) << fault.what << ": " << verdict;
    }
}

// What Allegro 4.4's player and its instrument scan would misread in a loaded tune, found
// by reading it their way (no bounds, the running status kept across meta events, every
// status byte but F0, F7 and FF taken as a running status) while checking each byte they
// touch: empty when they read it cleanly.
std::string player_misreads(const MIDI* tune) {
    if (tune->divisions == 0) return "divides by 0";
    bool waits = false;
    for (const auto& track : tune->track) {
        if (!track.data) continue;
        long p = 0;
        auto byte = [&](long at) -> int {
            if (at < 0 || at >= track.len) throw std::out_of_range("reads outside its track");
            return track.data[at];
        };
        auto number = [&] {
            unsigned long value = byte(p) & 0x7F;
            while (byte(p) & 0x80) value = value << 7 | (byte(++p) & 0x7F);
            p++;
            return value;
        };
        auto delay = [&] {
            const unsigned long value = number();
            if (value >= 1ul << 28) throw std::out_of_range("a delay longer than any MIDI number");
            waits = waits || value > 0;
        };
        try {
            uint8_t running_status = 0;
            bool ended = false;
            for (delay(); !ended;) {
                int event = byte(p++), first, second;
                if (event & 0x80) {
                    if (event != 0xF0 && event != 0xF7 && event != 0xFF) running_status = event;
                    first = byte(p), second = byte(p + 1);
                } else {
                    first = event, second = byte(p), event = running_status, p--;
                }
                if (event < 0x80) return "plays a byte with no status";
                if (event < 0xF0 && (first > 127 || ((event & 0xE0) != 0xC0 && second > 127)))
                    return "indexes a 128-entry table with " + std::to_string(std::max(first, second));
                if (event < 0xF0) p += (event & 0xE0) == 0xC0 ? 1 : 2;
                if (event == 0xF2) p += 2;
                if (event == 0xF3) p += 1;
                if (event == 0xF0 || event == 0xF7) p += long(number());
                if (event == 0xFF) {
                    const int type = byte(p++);
                    const long length = long(number());
                    if (type == 0x51) byte(p + 2);  // the tempo's three bytes, whatever the length
                    ended = type == 0x2F;
                    if (!ended) p += length;
                }
                if (p > track.len) throw std::out_of_range("reads outside its track");
                if (!ended) delay();
            }
            // The instrument scan reads on to the track's end, past the end of track.
            if (p != track.len) return "scans bytes after the end of track";
        } catch (const std::out_of_range& e) {
            return e.what();
        }
    }
    return waits ? "" : "restarts forever";
}

TEST(TuneEvents, ThePlayerReadsTheGoodTunesCleanlyAndMisreadsTheBrokenOnes) {
    start_headless_allegro();
    auto misreads = [](const TestObject& tune) {
        write_bytes(temp_file.path, datafile_bytes({tune}));
        DATAFILE* data = load_datafile(temp_file.path.c_str());
        std::string verdict = player_misreads(static_cast<MIDI*>(data[0].dat));
        unload_datafile(data);
        return verdict;
    };
    EXPECT_EQ(misreads(varied_tune_object()), "");
    EXPECT_EQ(misreads(tune_from_midi_file(std::string(DATA_SOURCE_DIR) + "/00.mid")), "");
    EXPECT_NE(misreads(tune_object(96, {lead_with(20, 1, {0x80})})), "");  // note 128
    EXPECT_NE(misreads(tune_object(96, {lead_with(lead.size() - 4, 4, {})})), "");  // no end of track
    EXPECT_NE(misreads(tune_object(96, {{0x00, 0xFF, 0x2F, 0x00}})), "");  // no time at all
}

// Damage inside the tune's bytes only: every damaged tune is either turned away, or
// loads and the player reads it cleanly.
TEST(TuneEvents, DamagedTunesAreTurnedAwayOrReadCleanly) {
    start_headless_allegro();
    const std::vector<uint8_t> bytes = datafile_bytes({varied_tune_object()});
    const size_t tune_size = varied_tune_object().contents.size(), tune_start = bytes.size() - tune_size;
    std::mt19937 random(2024);
    int accepted = 0, rejected = 0;
    for (int trial = 0; trial < 2000; trial++) {
        std::vector<uint8_t> damaged = bytes;
        for (int c = 1 + int(random() % 8); c > 0; c--) damaged[tune_start + random() % tune_size] = uint8_t(random());
        write_bytes(temp_file.path, damaged);
        if (!check_data_file(temp_file.path.c_str()).empty()) {
            rejected++;
            continue;
        }
        accepted++;
        DATAFILE* data = load_datafile(temp_file.path.c_str());
        ASSERT_NE(data, nullptr) << "trial " << trial;
        EXPECT_EQ(player_misreads(static_cast<MIDI*>(data[0].dat)), "") << "trial " << trial;
        unload_datafile(data);
    }
    EXPECT_GT(accepted, 20);  // a changed note or delay is still a tune
    EXPECT_GT(rejected, 1000);
    printf("  2000 damaged tunes: %d turned away, %d accepted and read cleanly\n", rejected, accepted);
}

}  // namespace
