// The data file: every field gets its object, the shipped file obeys every rule,
// and broken files are turned away before Allegro's loader can crash on them.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "datafile_writer.h"
#include "data/data_file.h"
#include "frame/game.h"
#include "support.h"

namespace {

// One file per process, since the tests run in parallel processes that share the
// temp folder; removed when the process ends.
struct TempFile {
    std::string path = ::testing::TempDir() + "zudaduviz-test-" + std::to_string(getpid()) + ".dat";
    ~TempFile() { remove(path.c_str()); }
} temp_file;

std::string write_file(const std::vector<uint8_t>& bytes) {
    write_bytes(temp_file.path, bytes);
    return temp_file.path;
}

// Checks a file of these objects as the game does: structure, then load, then rules.
std::string check_as_the_game_does(const std::vector<TestObject>& objects) {
    std::string path = write_file(datafile_bytes(objects));
    if (std::string broken = check_data_file(path.c_str()); !broken.empty()) return broken;
    DATAFILE* data = load_datafile(path.c_str());
    if (!data) return "not loaded";
    std::string verdict = check_data_objects(data, 800, 600);
    unload_datafile(data);
    return verdict;
}

TEST(DataFile, EveryFieldGetsTheObjectAtItsIndex) {
    start_headless_allegro();
    DATAFILE* loaded = load_datafile(write_file(datafile_bytes(game_objects(true))).c_str());
    ASSERT_NE(loaded, nullptr);
    Game game(800, 600, 5, 100);
    game.take_objects(loaded);  // the game now owns the file and unloads it

    auto index_of = [](BITMAP* b) { return b->w - 1; };  // each picture is 1 + index wide
    EXPECT_EQ(game.game_music, loaded[0].dat);
    EXPECT_EQ(game.menu_music, loaded[66].dat);
    for (int f = 0; f < 3; f++) {
        EXPECT_EQ(index_of(game.bonus_frames[f]), 1 + f);
        EXPECT_EQ(index_of(game.invader_frames[0][f]), 7 + f);
        EXPECT_EQ(index_of(game.invader_frames[10][f]), 10 + f);
        for (int look = 1; look <= 9; look++) EXPECT_EQ(index_of(game.invader_frames[look][f]), 10 + 3 * look + f);
        EXPECT_EQ(index_of(game.player_frames[f]), 67 + f);
        for (int weapon = 0; weapon < 3; weapon++) EXPECT_EQ(index_of(game.shot_frames[weapon][f]), 74 + 3 * weapon + f);
        EXPECT_EQ(index_of(game.invader_shot_frames[f]), 83 + f);
    }
    const int explosion_index[25] = {40, 41, 52, 58, 59, 60, 61, 62, 63, 64, 42, 43, 44,
                                     45, 46, 47, 48, 49, 50, 51, 53, 54, 55, 56, 57};
    for (int frame = 0; frame < 25; frame++) EXPECT_EQ(index_of(game.explosion_frames[frame]), explosion_index[frame]);
    BITMAP* singles[] = {game.play_button_normal, game.play_button_hover, game.play_button_pressed,
                         game.game_over_image, game.quit_pointer, game.mouse_pointer, game.title_image};
    const int single_index[] = {4, 5, 6, 65, 70, 71, 73};
    for (int i = 0; i < 7; i++) EXPECT_EQ(index_of(singles[i]), single_index[i]);
    EXPECT_EQ(game.quit_image, loaded[72].dat);
    for (int e = 0; e < effect_count; e++) EXPECT_EQ(game.effect_samples[e]->len - 1, 86u + e);  // in the order of Effect

    // A file that stops before the sounds leaves their fields empty; nothing past its end is read.
    unload_datafile(game.data);
    game.take_objects(load_datafile(write_file(datafile_bytes(game_objects(true, false))).c_str()));
    EXPECT_EQ(game.title_image->w, 74);
    for (SAMPLE* sample : game.effect_samples) EXPECT_EQ(sample, nullptr);
}

TEST(DataFile, TheShippedFileAndAWellFormedOneObeyEveryRule) {
    start_headless_allegro();
    ASSERT_EQ(check_data_file(DATA_FILE), "");
    DATAFILE* data = load_datafile(DATA_FILE);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(check_data_objects(data, 800, 600), "");
    unload_datafile(data);
    EXPECT_EQ(check_as_the_game_does(game_objects(false)), "");
    EXPECT_EQ(check_as_the_game_does(game_objects(false, false)), "");  // no sounds: no effects
}

void strip(std::vector<TestObject>& objects, int first, int w, int h) {
    for (int i = first; i < first + 3; i++) objects[i] = bitmap_object(w, h, 9, 9, 9);
}

TEST(DataFile, ObjectsTheGameCannotUseAreRejectedWithAMessage) {
    start_headless_allegro();
    const std::vector<std::pair<const char*, void (*)(std::vector<TestObject>&)>> spoilers = {
        {"too few objects", [](std::vector<TestObject>& o) { o.resize(85); }},
        {"some of the sounds", [](std::vector<TestObject>& o) { o.pop_back(); }},
        {"a picture for a sound", [](std::vector<TestObject>& o) { o[90] = bitmap_object(20, 20, 1, 2, 3); }},
        {"a sound for a picture", [](std::vector<TestObject>& o) { o[50] = sample_object(16, 22050, 50); }},
        {"a sound at 0 Hz", [](std::vector<TestObject>& o) { o[97] = sample_object(16, 0, 50); }},
        {"a picture for a tune", [](std::vector<TestObject>& o) { o[0] = bitmap_object(20, 20, 1, 2, 3); }},
        {"a tune for a picture", [](std::vector<TestObject>& o) { o[40] = midi_object(); }},
        {"quit picture too narrow", [](std::vector<TestObject>& o) { o[72] = bitmap_object(260, 151, 9, 9, 9); }},
        {"quit picture too low", [](std::vector<TestObject>& o) { o[72] = bitmap_object(301, 110, 9, 9, 9); }},
        {"unequal ship strip", [](std::vector<TestObject>& o) { o[68] = bitmap_object(21, 20, 9, 9, 9); }},
        {"unequal explosion strip", [](std::vector<TestObject>& o) { o[52] = bitmap_object(20, 19, 9, 9, 9); }},
        {"invader too tall", [](std::vector<TestObject>& o) { strip(o, 13, 20, 101); }},
        {"invader as wide as the screen", [](std::vector<TestObject>& o) { strip(o, 10, 800, 20); }},
        {"bonus as wide as the screen", [](std::vector<TestObject>& o) { strip(o, 1, 799, 20); }},
    };
    for (const auto& [what, spoil] : spoilers) {
        std::vector<TestObject> objects = game_objects(false);
        spoil(objects);
        const std::string verdict = check_as_the_game_does(objects);
        EXPECT_NE(verdict.find("Le fichier 'zudaduviz.dat' ne convient pas : "), std::string::npos) << what;
    }
}

TEST(DataFile, MissingOrForeignFilesAreRejected) {
    // A missing file, a folder in its place and an empty file all get the one message.
    EXPECT_EQ(check_data_file((::testing::TempDir() + "no-such.dat").c_str()), "Error loading 'zudaduviz.dat'\n");
    EXPECT_EQ(check_data_file(::testing::TempDir().c_str()), "Error loading 'zudaduviz.dat'\n");
    EXPECT_EQ(check_data_file(write_file({}).c_str()), "Error loading 'zudaduviz.dat'\n");
    // A FIFO is turned away without a wait; a huge file at once, from its size alone (a good
    // file followed by zeros: read, it would pass).
    const std::string fifo = temp_file.path + ".fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(check_data_file(fifo.c_str()), "Error loading 'zudaduviz.dat'\n");
    remove(fifo.c_str());
    write_file(datafile_bytes({bitmap_object(2, 2, 1, 2, 3)}));
    ASSERT_EQ(truncate(temp_file.path.c_str(), (off_t(256) << 20) + 1), 0);
    EXPECT_NE(check_data_file(temp_file.path.c_str()).find("fichier trop gros"), std::string::npos);
    std::vector<uint8_t> good = datafile_bytes({bitmap_object(2, 2, 1, 2, 3)});
    EXPECT_EQ(check_data_file(write_file(good).c_str()), "");
    std::vector<uint8_t> packed = good, foreign = good, compressed_object = good;
    packed[3] = '!';                                             // a compressed file
    foreign[4] = 'X';                                            // not a data file
    compressed_object[compressed_object.size() - 18 - 4] = 0xFF;  // a negative full size
    // A property of the end marker's type, which Allegro's loader drops and leaks.
    std::vector<uint8_t> end_property = good;
    const uint8_t property[] = {'p', 'r', 'o', 'p', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1, 'x'};
    end_property.insert(end_property.begin() + 12, std::begin(property), std::end(property));
    for (const auto& bytes : {packed, foreign, compressed_object, end_property, datafile_bytes({TestObject{"FONT", {0, 0}}}),
                              datafile_bytes({bitmap_object(0, 5, 1, 2, 3)})})
        EXPECT_NE(check_data_file(write_file(bytes).c_str()), "");
}

// Allegro reads a sound's values by its header alone (8 or 16 bits, negative for stereo):
// the header must match the bytes there are.
TEST(DataFile, SoundsWhoseHeaderDisagreesWithTheirBytesAreRejected) {
    for (int bits : {8, 16, -8, -16})
        EXPECT_EQ(check_data_file(write_file(datafile_bytes({sample_object(bits, 11025, 7)})).c_str()), "") << bits;
    // 16-bit mono, 10 values, then: a byte short, a byte over, 12 bits, stereo, 2^31 + 10 values.
    for (auto spoil : {+[](TestObject& s) { s.contents.pop_back(); }, +[](TestObject& s) { s.contents.push_back(0); },
                       +[](TestObject& s) { s.contents[1] = 12; }, +[](TestObject& s) { s.contents[0] = 0xFF, s.contents[1] = 0xF0; },
                       +[](TestObject& s) { s.contents[4] = 0x80; }}) {
        TestObject sound = sample_object(16, 22050, 10);
        spoil(sound);
        EXPECT_NE(check_data_file(write_file(datafile_bytes({sound})).c_str()), "");
    }
}

// Every truncation is turned away; after damaged bytes anywhere, either the check
// turns the file away or Allegro's loader reads it without harm (a crash here
// fails the whole test program).
TEST(DataFile, TruncatedAndDamagedFilesNeverReachTheLoaderInAHarmfulShape) {
    start_headless_allegro();
    std::vector<uint8_t> bytes = datafile_bytes(
        {midi_object(), bitmap_object(3, 2, 10, 20, 30), sample_object(16, 22050, 5), bitmap_object(4, 1, 255, 0, 255)});
    for (size_t length = 0; length < bytes.size(); length++)
        EXPECT_NE(check_data_file(write_file({bytes.begin(), bytes.begin() + length}).c_str()), "") << length;

    std::mt19937 random(12345);
    int accepted = 0, rejected = 0;
    for (int trial = 0; trial < 2000; trial++) {
        std::vector<uint8_t> damaged = bytes;
        for (int c = 1 + int(random() % 4); c > 0; c--) damaged[random() % damaged.size()] = uint8_t(random());
        std::string path = write_file(damaged);
        if (!check_data_file(path.c_str()).empty()) {
            rejected++;
        } else if (DATAFILE* data = load_datafile(path.c_str())) {
            accepted++;
            unload_datafile(data);
        }
    }
    EXPECT_GT(rejected, 0);
    EXPECT_GT(accepted, 0);  // damage inside pixels and names is harmless and let through
}

// Where the file is looked for: the working directory first, as always, then beside
// the executable, then the data folder of an install into any prefix, then the folder
// the build names; each place once, and the message lists every place tried.
TEST(DataFileSearch, LooksInTheWorkingDirectoryThenBesideTheExecutableThenTheDataFolders) {
    const DataPlaces places{"/home/player", "/opt/zz/bin", "/usr/share/zudaduviz"};
    const std::vector<std::string> all = {"/home/player/zudaduviz.dat", "/opt/zz/bin/zudaduviz.dat",
                                          "/opt/zz/share/zudaduviz/zudaduviz.dat",
                                          "/usr/share/zudaduviz/zudaduviz.dat"};
    for (size_t holder = 0; holder <= all.size(); holder++) {
        auto usable = [&](const std::string& path) { return holder < all.size() && path == all[holder]; };
        const FoundFile found = find_data_file("zudaduviz.dat", places, usable);
        EXPECT_EQ(found.path, holder < all.size() ? all[holder] : "");
        EXPECT_EQ(found.tried, std::vector<std::string>(all.begin(), all.begin() + std::min(holder + 1, all.size())));
    }
    auto nowhere = [](const std::string&) { return false; };
    // Installed into /usr and started from its bin folder: two places, not four.
    EXPECT_EQ(find_data_file("zudaduviz.dat", {"/usr/bin", "/usr/bin", "/usr/share/zudaduviz"}, nowhere).tried,
              (std::vector<std::string>{"/usr/bin/zudaduviz.dat", "/usr/share/zudaduviz/zudaduviz.dat"}));
    // The patch set is not looked for in the working directory; an executable in /bin.
    EXPECT_EQ(find_data_file("patches.dat", {"", "/bin", "/x"}, nowhere).tried,
              (std::vector<std::string>{"/bin/patches.dat", "/share/zudaduviz/patches.dat", "/x/patches.dat"}));
    EXPECT_EQ(data_file_missing({"/a/zudaduviz.dat", "/b/zudaduviz.dat"}),
              "Error loading 'zudaduviz.dat'\nCherché dans :\n  /a/zudaduviz.dat\n  /b/zudaduviz.dat\n");
}

}  // namespace
