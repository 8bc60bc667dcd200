// SPDX-License-Identifier: GPL-3.0-or-later
// The data file and its tunes: good files pass, each damaged file and each damaged tune is
// turned away with its message before Allegro's loader can crash on it, the built file's tunes
// loop cleanly on freepats, and the file is looked for where the player's install puts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "midi_writer.h"
#include "datafile_writer.h"
#include "data/data_file.h"
#include "game/game.h"
#include "support.h"

namespace {

// One file per process, since the tests run in parallel processes sharing the temp folder.
struct TempFile {
    std::string path = ::testing::TempDir() + "zudaduviz-test-" + std::to_string(getpid()) + ".dat";
    ~TempFile() { remove(path.c_str()); }
} temp_file;

// Structure, then Allegro's loader, then the game's rules, as the game checks its file.
std::string check_as_the_game_does(const Bytes& bytes) {
    start_headless_allegro();
    write_bytes(temp_file.path, bytes);
    if (std::string broken = check_data_file(temp_file.path.c_str()); !broken.empty()) return broken;
    const std::unique_ptr<DATAFILE, void (*)(DATAFILE*)> data(load_datafile(temp_file.path.c_str()), unload_datafile);
    return data ? check_data_objects(data.get(), 800, 600) : "not loaded";
}

// `bytes` with `count` bytes from `at` replaced by `with`: how the damaged files here are made.
Bytes spliced(Bytes bytes, size_t at, size_t count, const Bytes& with) {
    bytes.erase(bytes.begin() + at, bytes.begin() + at + count);
    bytes.insert(bytes.begin() + at, with.begin(), with.end());
    return bytes;
}

// The shipped file and the game sets pass the whole check, and without the sounds the game
// has no effects (nothing past the file's end is read). A file of every kind of tune and sound
// passes the check of its structure; each truncation of it (random damage is the fuzzer's), the
// same file made huge, a foreign one just under the bound (its body never read), a missing file,
// a folder and a FIFO are turned away before Allegro's loader sees them.
TEST(DataFile, GoodFilesPassAndTheirTruncationsAreTurnedAway) {
    for (const Bytes& file : {file_bytes(DATA_FILE), game_file(98), game_file(86)}) EXPECT_EQ(check_as_the_game_does(file), "");
    Game game(800, 600, 5, 100);
    game.take_objects(load_datafile(temp_file.path.c_str()));  // the game now owns the file
    for (SAMPLE* sample : game.effect_samples) EXPECT_EQ(sample, nullptr);
    const Bytes good = datafile_bytes({varied_tune_object(), tune_object(0x7FFF, {drum_track}), bitmap_object(3, 2),
                                       tune_object(1, {ended_track({0x00, 0xFF, 0x51, 0x03, 0x00, 0x03, 0xE8})}),
                                       sample_object(8, 11025, 7), sample_object(16, 11025, 7),
                                       sample_object(-8, 11025, 7), sample_object(-16, 11025, 7)});
    for (size_t length = 0; length <= good.size(); length++) {
        write_bytes(temp_file.path, {good.begin(), good.begin() + length});
        EXPECT_EQ(check_data_file(temp_file.path.c_str()).empty(), length == good.size()) << length;
    }
    // Huge from its size alone: a good file followed by zeros, read, would pass.
    ASSERT_EQ(truncate(temp_file.path.c_str(), (off_t(256) << 20) + 1), 0);
    EXPECT_NE(check_data_file(temp_file.path.c_str()).find("fichier trop gros"), std::string::npos);
    // Just under the bound but foreign from its first byte: turned away before the rest is read.
    const auto bytes_read = [] {
        std::ifstream io("/proc/self/io");
        std::string name;
        long long count = 0;
        while (io >> name >> count && name != "rchar:") {}
        return count;
    };
    write_bytes(temp_file.path, {'N', 'O', 'P', 'E', 0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(truncate(temp_file.path.c_str(), off_t(256) << 20), 0);
    const long long read_before = bytes_read();
    EXPECT_NE(check_data_file(temp_file.path.c_str()).find("pas un fichier de données"), std::string::npos);
    EXPECT_LT(bytes_read() - read_before, 1 << 20);
    const std::string fifo = temp_file.path + ".fifo";  // checked without a wait
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& path : {::testing::TempDir() + "no-such.dat", ::testing::TempDir(), fifo})
        EXPECT_EQ(check_data_file(path.c_str()), data_file_failed);
    remove(fifo.c_str());
}

// Each damaged file, each damaged tune and each file unfit for the game is turned away with
// its message before Allegro's loader can crash on it.
TEST(DataFile, EachDamagedFileIsTurnedAwayWithItsMessage) {
    const Bytes good = datafile_bytes({bitmap_object(2, 2)}), samp = sample_object(16, 22050, 10).contents;
    auto sound = [&](size_t at, size_t count, Bytes with) { return datafile_bytes({{"SAMP", spliced(samp, at, count, with)}}); };
    auto lead = [](size_t at, size_t count, Bytes with, int divisions = 96) {
        return datafile_bytes({tune_object(divisions, {spliced(varied_track, at, count, with)})});
    };
    const size_t note_on = 19, end = varied_track.size() - 3;  // where they stand in the varied track
    const struct { const char* what; Bytes bytes; const char* message; } cases[] = {
        {"empty", {}, data_file_failed},
        {"compressed", spliced(good, 3, 1, {'!'}), "fichier compressé"},
        {"not a data file", spliced(good, 4, 1, {'X'}), "ce n'est pas un fichier de données"},
        {"a negative full size", spliced(good, good.size() - 22, 1, {0xFF}), "objet compressé"},
        // A property of the end marker's type, which Allegro's loader drops and leaks.
        {"an end marker's property", spliced(good, 12, 0, {'p', 'r', 'o', 'p', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1, 'x'}),
         "propriété incohérente"},
        {"a font", datafile_bytes({{"FONT", {0, 0}}}), "type d'objet inconnu"},
        {"a picture 0 wide", datafile_bytes({bitmap_object(0, 5)}), "image vide"},
        {"a picture a byte short", datafile_bytes({{"BMP ", spliced(bitmap_object(2, 2).contents, 6, 1, {})}}), "taille d'image incohérente"},
        {"a sound a byte short", sound(samp.size() - 1, 1, {}), "taille de son incohérente"},
        {"12-bit sound", sound(1, 1, {12}), "format de son inconnu"},
        {"stereo by its header", sound(0, 2, {0xFF, 0xF0}), "taille de son incohérente"},
        {"2^31 + 10 values", sound(4, 1, {0x80}), "taille de son incohérente"},
        {"too few objects", game_file(85), "objets au lieu de"},
        {"some of the sounds", game_file(97), "objets au lieu de"},
        {"a picture for a sound", game_file(98, {90}, bitmap_object(20, 20)), "convient pas : l'objet 90 devrait être un son"},
        {"a sound for a picture", game_file(98, {50}, sample_object(16, 22050, 50)), "devrait être une image"},
        {"a sound at 0 Hz", game_file(98, {97}, sample_object(16, 0, 50)), "n'a pas de fréquence"},
        {"a picture for a tune", game_file(98, {0}, bitmap_object(20, 20)), "morceau MIDI"},
        {"quit picture too narrow", game_file(98, {72}, bitmap_object(260, 151)), "confirmation"},
        {"quit picture too low", game_file(98, {72}, bitmap_object(301, 110)), "confirmation"},
        {"unequal explosion strip", game_file(98, {52}, bitmap_object(20, 19)), "pas la même taille"},
        {"invader too tall", game_file(98, {13, 14, 15}, bitmap_object(20, 101)), "trop grand"},
        {"invader too wide", game_file(98, {10, 11, 12}, bitmap_object(401, 20)), "trop grand"},
        {"bonus too wide", game_file(98, {1, 2, 3}, bitmap_object(401, 20)), "le bonus"},
        {"ship as wide as the screen", game_file(98, {67, 68, 69}, bitmap_object(800, 20)), "le vaisseau"},
        {"divisions 0", lead(0, 0, {}, 0), "endommagé : divisions de morceau illisibles"},
        {"SMPTE divisions", lead(0, 0, {}, 0x8000 | 25 << 8 | 40), "divisions de morceau illisibles"},
        {"a five-byte delay", lead(0, 1, {0x81, 0x80, 0x80, 0x80, 0x00}), "délai illisible"},
        {"a delay running past the track", lead(end - 1, 4, {0x81}), "délai illisible"},
        {"no status at the start", lead(1, 1, {}), "événement sans statut"},
        {"note 128", lead(note_on + 1, 1, {0x80}), "octet de données invalide"},
        {"velocity 200", lead(note_on + 2, 1, {200}), "octet de données invalide"},
        {"a note cut by the track's end", lead(note_on + 2, varied_track.size() - note_on - 2, {}), "octet de données invalide"},
        {"a meta type of 128", lead(9, 1, {0x80}), "méta-événement illisible"},
        {"a meta length past the track", lead(10, 1, {0x7F}), "méta-événement illisible"},
        {"a sysex length past the track", lead(43, 1, {0x7F}), "système exclusif illisible"},
        {"timing clock", lead(42, 5, {0xF8}), "message système inattendu"},
        {"a tempo of two bytes", lead(3, 4, {0x02, 0x07, 0xA1}), "tempo illisible"},
        {"a tempo the player ignores", lead(4, 3, {0x00, 0x03, 0xE7}), "tempo illisible"},
        {"no end of track", lead(end - 1, 4, {}), "piste de morceau sans fin"},
        {"a byte after the end of track", lead(end + 3, 0, {0x00}), "fin de piste mal placée"},
        {"an end of track of length 1", lead(end + 2, 1, {0x01, 0x00}), "fin de piste mal placée"},
        {"no time at all", datafile_bytes({tune_object(96, {{0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00}})}), "sans durée"},
    };
    for (const auto& c : cases) {
        const std::string verdict = check_as_the_game_does(c.bytes);
        EXPECT_NE(verdict.find(c.message), std::string::npos) << c.what << ": " << verdict;
    }
}

// The events of one track of a loaded tune, as the player reads them: delays summed into
// ticks, a running status written out, meta and system-exclusive events taken whole by their
// length, so each event's bytes are as the generator wrote them.
std::vector<MidiEvent> read_track(const unsigned char* bytes, int length) {
    std::vector<MidiEvent> events;
    long tick = 0;
    int at = 0, running = 0;
    auto number = [&] {  // a variable-length number
        long n = 0;
        do n = n << 7 | (bytes[at] & 0x7F); while (bytes[at++] & 0x80 && at < length);
        return n;
    };
    while (at < length) {
        tick += number();
        const int status = bytes[at] & 0x80 ? bytes[at++] : running, start = at;
        if (status == 0xFF) at++;  // the meta type, before the length
        if (status >= 0xF0) at += number();
        else running = status, at += (status & 0xE0) == 0xC0 ? 1 : 2;
        events.push_back({tick, 0, Bytes{uint8_t(status)}});
        events.back().bytes.insert(events.back().bytes.end(), bytes + start, bytes + std::min(at, length));
    }
    return events;
}

// The tunes as the game loads them from the data file, walked event by event: each track ends
// with its end-of-track event at the loop point, 40 to 60 seconds in; every note struck is
// released later, on its channel and key, before the loop point, and not struck again while it
// sounds; only the programs and drum keys of the patch set they are played on (freepats' own
// list) are used.
TEST(DataFile, TheTunesLoopAfterFortyToSixtySecondsEveryNoteReleasedOnFreepats) {
    std::ifstream config("/etc/timidity/freepats.cfg");  // without it the game plays no music
    std::set<int> programs, drums, *section = nullptr;
    for (std::string first; config >> first; config.ignore(1 << 20, '\n'))  // the first word of each line
        if (first == "bank" || first == "drumset") section = first == "bank" ? &programs : &drums;
        else if (section && std::isdigit(static_cast<unsigned char>(first[0]))) section->insert(std::stoi(first));
    start_headless_allegro();
    Game game(800, 600, 1, 1);
    game.take_objects(load_datafile(DATA_FILE));  // the game unloads it
    for (const MIDI* tune : {game.game_music, game.menu_music}) {
        ASSERT_NE(tune, nullptr);
        std::map<long, long> tempo = {{0, 500000}};  // microseconds a quarter from each tick on, to the loop point
        std::set<long> ends;                         // each track's end-of-track tick
        for (const auto& track : tune->track) {
            if (track.len == 0) continue;
            const std::vector<MidiEvent> events = read_track(track.data, track.len);
            EXPECT_EQ(events.back().bytes, (Bytes{0xFF, 0x2F, 0x00})) << "a track without its end";
            ends.insert(events.back().tick);
            std::map<int, long> sounding;  // channel << 8 | key: the tick it was struck
            for (const MidiEvent& e : events) {
                const int kind = e.bytes[0] & 0xF0, channel = e.bytes[0] & 0x0F, key = e.bytes[1], note = channel << 8 | key;
                if (kind == 0x90 && e.bytes[2] > 0) {
                    EXPECT_TRUE(sounding.emplace(note, e.tick).second) << "key " << key << " struck again at " << e.tick;
                } else if (kind == 0x80 || kind == 0x90) {  // a note-on of velocity 0 releases too
                    EXPECT_TRUE(sounding.count(note) && sounding[note] < e.tick) << "key " << key << " released at " << e.tick;
                    sounding.erase(note);
                }
                if (e.bytes[0] == 0xFF && key == 0x51) tempo[e.tick] = e.bytes[3] << 16 | e.bytes[4] << 8 | e.bytes[5];
                EXPECT_TRUE(kind != 0xC0 || channel == 9 || programs.empty() || programs.count(key)) << "no program " << key;
                EXPECT_TRUE(kind != 0x90 || channel != 9 || drums.empty() || drums.count(key)) << "no drum key " << key;
            }
            EXPECT_TRUE(sounding.empty()) << sounding.size() << " notes left sounding at the loop point";
        }
        ASSERT_EQ(ends.size(), 1u) << "tracks ending apart";
        tempo.emplace(*ends.begin(), 0);
        double seconds = 0;
        for (auto at = tempo.begin(); std::next(at) != tempo.end(); ++at)
            seconds += 1e-6 * at->second * (std::next(at)->first - at->first) / tune->divisions;
        EXPECT_TRUE(seconds >= 40 && seconds <= 60) << seconds << " s";
    }
}

// The working directory first, then beside the executable, then the data folder of an
// install into any prefix, then the folder the build names; each place once, and the
// message lists every place tried.
TEST(DataFile, IsLookedForInTheWorkingDirectoryThenBesideTheExecutableThenTheDataFolders) {
    const std::vector<std::string> all = {"/home/player/zudaduviz.dat", "/opt/zz/bin/zudaduviz.dat",
                                          "/opt/zz/share/zudaduviz/zudaduviz.dat", "/usr/share/zudaduviz/zudaduviz.dat"};
    for (size_t holder = 0; holder <= all.size(); holder++) {
        auto usable = [&](const std::string& path) { return holder < all.size() && path == all[holder]; };
        const FoundFile found = find_data_file("zudaduviz.dat", {"/home/player", "/opt/zz/bin", "/usr/share/zudaduviz"}, usable);
        EXPECT_EQ(found.path, holder < all.size() ? all[holder] : "");
        EXPECT_EQ(found.tried, std::vector<std::string>(all.begin(), all.begin() + std::min(holder + 1, all.size())));
    }
    auto nowhere = [](const std::string&) { return false; };
    using Paths = std::vector<std::string>;
    // Installed into /usr and started from its bin folder: two places, not four.
    EXPECT_EQ(find_data_file("zudaduviz.dat", {"/usr/bin", "/usr/bin", "/usr/share/zudaduviz"}, nowhere).tried,
              (Paths{"/usr/bin/zudaduviz.dat", "/usr/share/zudaduviz/zudaduviz.dat"}));
    // The patch set is not looked for in the working directory; an executable in /bin.
    EXPECT_EQ(find_data_file("patches.dat", {"", "/bin", "/x"}, nowhere).tried,
              (Paths{"/bin/patches.dat", "/share/zudaduviz/patches.dat", "/x/patches.dat"}));
    EXPECT_EQ(data_file_missing({"/a/zudaduviz.dat", "/b/zudaduviz.dat"}),
              "Error loading 'zudaduviz.dat'\nCherché dans :\n  /a/zudaduviz.dat\n  /b/zudaduviz.dat\n");
}

}  // namespace
