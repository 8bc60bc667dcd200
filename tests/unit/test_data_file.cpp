// SPDX-License-Identifier: GPL-3.0-or-later
// The data file and its tunes: good files pass, each damaged file and each damaged tune is
// turned away with its message before Allegro's loader can crash on it, the generator's tunes
// loop cleanly on freepats, and the file is looked for where the player's install puts it.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "compose.h"
#include "datafile_writer.h"
#include "data/data_file.h"
#include "frame/game.h"
#include "support.h"

namespace {

using Objects = std::vector<TestObject>;

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
    DATAFILE* data = load_datafile(temp_file.path.c_str());
    if (!data) return "not loaded";
    std::string verdict = check_data_objects(data, 800, 600);
    unload_datafile(data);
    return verdict;
}

Bytes game_set_with(std::function<void(Objects&)> spoil) {
    Objects objects = game_objects(false);
    spoil(objects);
    return datafile_bytes(objects);
}

TestObject with_bytes(TestObject object, size_t at, Bytes bytes) {
    std::copy(bytes.begin(), bytes.end(), object.contents.begin() + at);
    return object;
}

// The shipped file and the game sets pass the whole check; the varied tunes and sounds pass the
// check of the file's structure.
TEST(DataFile, GoodFilesPass) {
    EXPECT_EQ(check_as_the_game_does(file_bytes(DATA_FILE)), "");
    EXPECT_EQ(check_as_the_game_does(datafile_bytes(game_objects(false))), "");
    EXPECT_EQ(check_as_the_game_does(datafile_bytes(game_objects(false, false))), "");  // no sounds: no effects
    for (const Objects& objects : {Objects{varied_tune_object()}, {tune_object(0x7FFF, {drum_track})},
                                   {tune_object(1, {ended_track({0x00, 0xFF, 0x51, 0x03, 0x00, 0x03, 0xE8})})},
                                   {sample_object(8, 11025, 7), sample_object(16, 11025, 7),
                                    sample_object(-8, 11025, 7), sample_object(-16, 11025, 7)}}) {
        write_bytes(temp_file.path, datafile_bytes(objects));
        EXPECT_EQ(check_data_file(temp_file.path.c_str()), "");
    }
}

TEST(DataFile, EachDamagedFileIsTurnedAwayWithItsMessage) {
    const Bytes good = datafile_bytes({bitmap_object(2, 2, 1, 2, 3)});
    auto changed = [&](size_t at, Bytes bytes) { Bytes b = good; std::copy(bytes.begin(), bytes.end(), b.begin() + at); return b; };
    Bytes end_property = good;  // a property of the end marker's type, which Allegro's loader drops and leaks
    const Bytes property = {'p', 'r', 'o', 'p', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1, 'x'};
    end_property.insert(end_property.begin() + 12, property.begin(), property.end());
    const TestObject sound = sample_object(16, 22050, 10);
    TestObject short_sound = sound, long_sound = sound;
    short_sound.contents.pop_back();
    long_sound.contents.push_back(0);
    const struct {
        const char* what;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"empty", {}, data_file_failed},
        {"compressed", changed(3, {'!'}), "fichier compressé"},
        {"not a data file", changed(4, {'X'}), "ce n'est pas un fichier de données"},
        {"a negative full size", changed(good.size() - 22, {0xFF}), "objet compressé"},
        {"an end marker's property", end_property, "propriété incohérente"},
        {"a font", datafile_bytes({TestObject{"FONT", {0, 0}}}), "type d'objet inconnu"},
        {"a picture 0 wide", datafile_bytes({bitmap_object(0, 5, 1, 2, 3)}), "image vide"},
        {"a picture 0 high", datafile_bytes({bitmap_object(5, 0, 1, 2, 3)}), "image vide"},
        {"a sound a byte short", datafile_bytes({short_sound}), "taille de son incohérente"},
        {"a sound a byte over", datafile_bytes({long_sound}), "taille de son incohérente"},
        {"12-bit sound", datafile_bytes({with_bytes(sound, 1, {12})}), "format de son inconnu"},
        {"stereo by its header", datafile_bytes({with_bytes(sound, 0, {0xFF, 0xF0})}), "taille de son incohérente"},
        {"2^31 + 10 values", datafile_bytes({with_bytes(sound, 4, {0x80})}), "taille de son incohérente"},
        {"too few objects", game_set_with([](Objects& o) { o.resize(85); }), "objets au lieu de"},
        {"some of the sounds", game_set_with([](Objects& o) { o.pop_back(); }), "objets au lieu de"},
        {"a picture for a sound", game_set_with([](Objects& o) { o[90] = bitmap_object(20, 20, 1, 2, 3); }), "devrait être un son"},
        {"a sound for a picture", game_set_with([](Objects& o) { o[50] = sample_object(16, 22050, 50); }), "devrait être une image"},
        {"a sound at 0 Hz", game_set_with([](Objects& o) { o[97] = sample_object(16, 0, 50); }), "n'a pas de fréquence"},
        {"a picture for a tune", game_set_with([](Objects& o) { o[0] = bitmap_object(20, 20, 1, 2, 3); }), "morceau MIDI"},
        {"a tune for a picture", game_set_with([](Objects& o) { o[40] = midi_object(); }), "devrait être une image"},
        {"quit picture too narrow", game_set_with([](Objects& o) { o[72] = bitmap_object(260, 151, 9, 9, 9); }), "confirmation"},
        {"quit picture too low", game_set_with([](Objects& o) { o[72] = bitmap_object(301, 110, 9, 9, 9); }), "confirmation"},
        {"unequal ship strip", game_set_with([](Objects& o) { o[68] = bitmap_object(21, 20, 9, 9, 9); }), "pas la même taille"},
        {"unequal explosion strip", game_set_with([](Objects& o) { o[52] = bitmap_object(20, 19, 9, 9, 9); }), "pas la même taille"},
        {"invader too tall", game_set_with([](Objects& o) { for (int i : {13, 14, 15}) o[i] = bitmap_object(20, 101, 9, 9, 9); }), "trop grand"},
        {"invader too wide", game_set_with([](Objects& o) { for (int i : {10, 11, 12}) o[i] = bitmap_object(401, 20, 9, 9, 9); }), "trop grand"},
        {"bonus too wide", game_set_with([](Objects& o) { for (int i : {1, 2, 3}) o[i] = bitmap_object(401, 20, 9, 9, 9); }), "le bonus"},
        {"ship as wide as the screen", game_set_with([](Objects& o) { for (int i : {67, 68, 69}) o[i] = bitmap_object(800, 20, 9, 9, 9); }), "le vaisseau"},
    };
    for (const auto& c : cases) {
        const std::string verdict = check_as_the_game_does(c.bytes);
        EXPECT_NE(verdict.find(c.message), std::string::npos) << c.what << ": " << verdict;
    }
    // A missing file, a folder and a FIFO (without a wait) get the message of an empty file.
    const std::string fifo = temp_file.path + ".fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& path : {::testing::TempDir() + "no-such.dat", ::testing::TempDir(), fifo})
        EXPECT_EQ(check_data_file(path.c_str()), data_file_failed);
    remove(fifo.c_str());
    // A huge file is turned away from its size alone (a good file followed by zeros: read, it
    // would pass).
    write_bytes(temp_file.path, datafile_bytes({bitmap_object(2, 2, 1, 2, 3)}));
    ASSERT_EQ(truncate(temp_file.path.c_str(), (off_t(256) << 20) + 1), 0);
    EXPECT_NE(check_data_file(temp_file.path.c_str()).find("fichier trop gros"), std::string::npos);
}

// `varied_track` with `count` bytes from `at` replaced by `bytes`.
TestObject lead_with(size_t at, size_t count, Bytes bytes, int divisions = 96) {
    Bytes track = varied_track;
    track.erase(track.begin() + at, track.begin() + at + count);
    track.insert(track.begin() + at, bytes.begin(), bytes.end());
    return tune_object(divisions, {track});
}

TEST(DataFile, EachDamagedTuneIsTurnedAwayWithItsMessage) {
    const size_t note_on = 19, program = 16, end = varied_track.size() - 3;  // where they stand in the track
    ASSERT_EQ(std::pair(varied_track[note_on], varied_track[program]), std::pair(uint8_t(0x90), uint8_t(0xC0)));
    const struct {
        const char* what;
        TestObject tune;
        const char* message;
    } cases[] = {
        {"divisions 0", lead_with(0, 0, {}, 0), "divisions de morceau illisibles"},
        {"SMPTE divisions", lead_with(0, 0, {}, 0x8000 | 25 << 8 | 40), "divisions de morceau illisibles"},
        {"a five-byte delay", lead_with(0, 1, {0x81, 0x80, 0x80, 0x80, 0x00}), "délai illisible"},
        {"a delay running past the track", lead_with(end - 1, 4, {0x81}), "délai illisible"},
        {"no status at the start", lead_with(1, 1, {}), "événement sans statut"},
        {"note 128", lead_with(note_on + 1, 1, {0x80}), "octet de données invalide"},
        {"velocity 200", lead_with(note_on + 2, 1, {200}), "octet de données invalide"},
        {"program 128", lead_with(program + 1, 1, {0x80}), "octet de données invalide"},
        {"velocity 200 by running status", tune_object(96, {ended_track({0x00, 0x99, 0x24, 0x64, 0x60, 0x26, 200})}),
         "octet de données invalide"},
        {"a note cut by the track's end", tune_object(96, {{0x00, 0x90, 0x3C}}), "octet de données invalide"},
        {"a meta type of 128", lead_with(9, 1, {0x80}), "méta-événement illisible"},
        {"a meta length past the track", lead_with(10, 1, {0x7F}), "méta-événement illisible"},
        {"a meta length of five bytes", lead_with(10, 1, {0x80, 0x80, 0x80, 0x80, 0x04}), "méta-événement illisible"},
        {"a sysex length past the track", lead_with(43, 1, {0x7F}), "système exclusif illisible"},
        {"an F7 length past the track", lead_with(49, 1, {0x40}), "système exclusif illisible"},
        {"song position", lead_with(42, 5, {0xF2, 0x00, 0x00}), "message système inattendu"},
        {"timing clock", lead_with(42, 5, {0xF8}), "message système inattendu"},
        {"a tempo of two bytes", lead_with(3, 4, {0x02, 0x07, 0xA1}), "tempo illisible"},
        {"tempo 0", lead_with(4, 3, {0, 0, 0}), "tempo illisible"},
        {"a tempo the player ignores", lead_with(4, 3, {0x00, 0x03, 0xE7}), "tempo illisible"},
        {"no end of track", lead_with(end - 1, 4, {}), "piste de morceau sans fin"},
        {"a byte after the end of track", lead_with(end + 3, 0, {0x00}), "fin de piste mal placée"},
        {"an end of track of length 1", lead_with(end + 2, 1, {0x01, 0x00}), "fin de piste mal placée"},
        {"no time at all", tune_object(96, {{0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00}}), "morceau sans durée"},
        {"no events at all", tune_object(96, {}), "morceau sans durée"},
    };
    for (const auto& c : cases) {
        write_bytes(temp_file.path, datafile_bytes({c.tune, bitmap_object(2, 2, 1, 2, 3)}));
        const std::string verdict = check_data_file(temp_file.path.c_str());
        EXPECT_EQ(verdict.rfind("Le fichier 'zudaduviz.dat' est endommagé : ", 0), 0u) << c.what;
        EXPECT_NE(verdict.find(c.message), std::string::npos) << c.what << ": " << verdict;
    }
}

// Every truncation is turned away before Allegro's loader sees it (random damage is the fuzzer's).
TEST(DataFile, EveryTruncationIsTurnedAway) {
    const Bytes bytes = datafile_bytes({varied_tune_object(), bitmap_object(3, 2, 10, 20, 30),
                                        sample_object(16, 22050, 5), bitmap_object(4, 1, 255, 0, 255)});
    for (size_t length = 0; length < bytes.size(); length++) {
        write_bytes(temp_file.path, {bytes.begin(), bytes.begin() + length});
        EXPECT_NE(check_data_file(temp_file.path.c_str()), "") << length;
    }
}

// The generator's tunes loop after 40 to 60 seconds, every note released by the loop point, with
// only the programs and drum keys of the patch set they are played on (freepats' own list).
TEST(DataFile, TheGeneratorsTunesLoopAfterFortyToSixtySecondsOnFreepats) {
    std::ifstream config("/etc/timidity/freepats.cfg");
    if (!config) GTEST_SKIP() << "no freepats";
    std::set<int> programs, drums, *section = nullptr;
    for (std::string line; std::getline(config, line);) {
        std::string first;
        std::istringstream(line) >> first;
        if (first == "bank" || first == "drumset") section = first == "bank" ? &programs : &drums;
        else if (section && !first.empty() && std::isdigit(static_cast<unsigned char>(first[0]))) section->insert(std::stoi(first));
    }
    for (const Tune& tune : {compose_game_tune(), compose_menu_tune()}) {
        std::map<long, long> tempo = {{0, 500000}};  // microseconds a quarter from each tick on
        for (const MidiTrack& track : tune.tracks)
            for (const MidiEvent& e : track.events) {
                const int kind = e.bytes[0] & 0xF0, channel = e.bytes[0] & 0x0F, key = e.bytes[1];
                EXPECT_LE(e.tick, tune.end_tick) << "a note left sounding at the loop point";
                if (e.bytes[0] == 0xFF && key == 0x51) tempo[e.tick] = e.bytes[3] << 16 | e.bytes[4] << 8 | e.bytes[5];
                EXPECT_TRUE(kind != 0xC0 || channel == 9 || programs.count(key)) << "freepats has no program " << key;
                EXPECT_TRUE(kind != 0x90 || channel != 9 || drums.count(key)) << "freepats has no drum key " << key;
            }
        double seconds = 0;
        for (auto at = tempo.begin(); at != tempo.end(); ++at) {
            const long until = std::next(at) == tempo.end() ? tune.end_tick : std::next(at)->first;
            seconds += 1e-6 * at->second * (until - at->first) / tune.ticks_per_quarter;
        }
        EXPECT_TRUE(seconds >= 40 && seconds <= 60) << seconds << " s";
    }
}

// A file that stops before the sounds leaves their fields empty; nothing past its end is read.
TEST(DataFile, WithoutTheSoundsTheGameHasNoEffects) {
    start_headless_allegro();
    write_bytes(temp_file.path, datafile_bytes(game_objects(true, false)));
    Game game(800, 600, 5, 100);
    game.take_objects(load_datafile(temp_file.path.c_str()));  // the game now owns the file
    EXPECT_EQ(game.title_image->w, 74);
    for (SAMPLE* sample : game.effect_samples) EXPECT_EQ(sample, nullptr);
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
