// The data file: every field gets its object, the shipped file obeys every rule,
// and broken files are turned away before Allegro's loader can crash on them.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "datafile_writer.h"
#include "frame/game.h"
#include "support.h"

namespace {

std::string temp_path(const std::string& name) { return ::testing::TempDir() + name; }

std::string write_file(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = temp_path(name);
    write_bytes(path, bytes);
    return path;
}

// Loads the objects as the game does (16-bit colour) and checks them.
const char* check_loaded(const std::vector<TestObject>& objects) {
    std::string path = write_file("objects.dat", datafile_bytes(objects));
    if (const char* broken = check_data_file(path.c_str())) return broken;
    DATAFILE* data = load_datafile(path.c_str());
    if (!data) return "not loaded";
    const char* verdict = check_data_objects(data, 800, 600);
    unload_datafile(data);
    return verdict;
}

class DataFile : public ::testing::Test {
protected:
    void SetUp() override { start_headless_allegro(); }
};

TEST_F(DataFile, EveryFieldGetsTheObjectAtItsIndex) {
    std::string path = write_file("indexed.dat", datafile_bytes(indexed_game_objects()));
    DATAFILE* loaded = load_datafile(path.c_str());
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
    // Stored 0, 1, 10-19, 2, 20-24, 3-9.
    const int explosion_index[25] = {40, 41, 52, 58, 59, 60, 61, 62, 63, 64, 42, 43, 44,
                                     45, 46, 47, 48, 49, 50, 51, 53, 54, 55, 56, 57};
    for (int frame = 0; frame < 25; frame++) EXPECT_EQ(index_of(game.explosion_frames[frame]), explosion_index[frame]);
    EXPECT_EQ(index_of(game.play_button_normal), 4);
    EXPECT_EQ(index_of(game.play_button_hover), 5);
    EXPECT_EQ(index_of(game.play_button_pressed), 6);
    EXPECT_EQ(index_of(game.game_over_image), 65);
    EXPECT_EQ(index_of(game.quit_pointer), 70);
    EXPECT_EQ(index_of(game.mouse_pointer), 71);
    EXPECT_EQ(game.quit_image->w, 301);
    EXPECT_EQ(index_of(game.title_image), 73);
}

TEST_F(DataFile, TheShippedFileObeysEveryRule) {
    ASSERT_EQ(check_data_file(DATA_FILE), nullptr);
    DATAFILE* data = load_datafile(DATA_FILE);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(check_data_objects(data, 800, 600), nullptr);
    BITMAP* dialog = static_cast<BITMAP*>(data[72].dat);
    for (PictureArea area : {quit_confirm_area, quit_cancel_area, quit_close_area}) {
        EXPECT_LT(area.right, dialog->w);
        EXPECT_LT(area.bottom, dialog->h);
    }
    unload_datafile(data);
}

TEST_F(DataFile, AWellFormedFileOfTheRightObjectsPasses) {
    EXPECT_EQ(check_loaded(valid_game_objects()), nullptr);
}

TEST_F(DataFile, ObjectsTheGameCannotUseAreRejectedWithAMessage) {
    struct Case {
        const char* what;
        void (*spoil)(std::vector<TestObject>&);
    };
    const Case cases[] = {
        {"too few objects", [](std::vector<TestObject>& o) { o.pop_back(); }},
        {"a picture where a tune belongs", [](std::vector<TestObject>& o) { o[0] = bitmap_object(20, 20, 1, 2, 3); }},
        {"a tune where a picture belongs", [](std::vector<TestObject>& o) { o[40] = midi_object(); }},
        {"a quit picture too narrow", [](std::vector<TestObject>& o) { o[72] = bitmap_object(260, 151, 9, 9, 9); }},
        {"a quit picture too low", [](std::vector<TestObject>& o) { o[72] = bitmap_object(301, 110, 9, 9, 9); }},
        {"a ship strip of unequal sizes", [](std::vector<TestObject>& o) { o[68] = bitmap_object(21, 20, 9, 9, 9); }},
        {"an explosion strip of unequal sizes", [](std::vector<TestObject>& o) { o[52] = bitmap_object(20, 19, 9, 9, 9); }},
        {"an invader taller than 100", [](std::vector<TestObject>& o) {
             for (int i = 13; i <= 15; i++) o[i] = bitmap_object(20, 101, 9, 9, 9);
         }},
        {"an invader as wide as the screen", [](std::vector<TestObject>& o) {
             for (int i = 10; i <= 12; i++) o[i] = bitmap_object(800, 20, 9, 9, 9);
         }},
        {"a bonus as wide as the screen", [](std::vector<TestObject>& o) {
             for (int i = 1; i <= 3; i++) o[i] = bitmap_object(799, 20, 9, 9, 9);
         }},
    };
    for (const Case& c : cases) {
        std::vector<TestObject> objects = valid_game_objects();
        c.spoil(objects);
        const char* verdict = check_loaded(objects);
        ASSERT_NE(verdict, nullptr) << c.what;
        EXPECT_NE(std::string(verdict).find("zudaduviz.dat"), std::string::npos) << c.what;
    }
}

TEST_F(DataFile, AMissingFileGivesTheLoadingMessage) {
    EXPECT_STREQ(check_data_file(temp_path("no-such-file.dat").c_str()), "Error loading 'zudaduviz.dat'\n");
}

TEST_F(DataFile, FilesThatAreNotPlainDataFilesAreRejected) {
    std::vector<uint8_t> good = datafile_bytes({bitmap_object(2, 2, 1, 2, 3)});
    std::vector<uint8_t> packed = good;
    packed[3] = '!';  // the magic of a compressed file
    std::vector<uint8_t> other = good;
    other[4] = 'X';
    std::vector<uint8_t> compressed_object = good;
    compressed_object[compressed_object.size() - 18 - 4] = 0xFF;  // a negative full size: compressed
    std::vector<uint8_t> unknown_kind = datafile_bytes({TestObject{"FONT", {0, 0}}});
    std::vector<uint8_t> empty_picture = datafile_bytes({bitmap_object(0, 5, 1, 2, 3)});

    EXPECT_EQ(check_data_file(write_file("good.dat", good).c_str()), nullptr);
    for (const auto& bytes : {packed, other, compressed_object, unknown_kind, empty_picture, std::vector<uint8_t>{}})
        EXPECT_NE(check_data_file(write_file("bad.dat", bytes).c_str()), nullptr);
}

TEST_F(DataFile, EveryTruncationIsRejected) {
    std::vector<uint8_t> bytes =
        datafile_bytes({midi_object(), bitmap_object(3, 2, 10, 20, 30), bitmap_object(1, 1, 255, 0, 255)});
    ASSERT_EQ(check_data_file(write_file("whole.dat", bytes).c_str()), nullptr);
    for (size_t length = 0; length < bytes.size(); length++) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + length);
        EXPECT_NE(check_data_file(write_file("cut.dat", cut).c_str()), nullptr) << "cut at " << length;
    }
}

// Damaged bytes anywhere: either the check turns the file away, or Allegro's
// loader reads it without harm (a crash here fails the whole test program).
TEST_F(DataFile, DamagedBytesNeverReachTheLoaderInAHarmfulShape) {
    std::vector<uint8_t> bytes =
        datafile_bytes({midi_object(), bitmap_object(3, 2, 10, 20, 30), bitmap_object(4, 1, 255, 0, 255)});
    std::mt19937 random(12345);
    int accepted = 0, rejected = 0;
    for (int trial = 0; trial < 3000; trial++) {
        std::vector<uint8_t> damaged = bytes;
        int changes = 1 + int(random() % 4);
        for (int c = 0; c < changes; c++) damaged[random() % damaged.size()] = uint8_t(random());
        std::string path = write_file("damaged.dat", damaged);
        if (check_data_file(path.c_str())) {
            rejected++;
            continue;
        }
        accepted++;
        DATAFILE* data = load_datafile(path.c_str());
        if (data) unload_datafile(data);
    }
    EXPECT_GT(rejected, 0);
    EXPECT_GT(accepted, 0);  // damage inside pixels and names is harmless and let through
}

}  // namespace
