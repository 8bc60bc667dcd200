// The pictures of the data file: the game loads exactly what was drawn, transparent
// parts stay transparent and nothing else becomes so, the quit dialog shows its
// areas exactly where they act, the pointers point from their top-left pixel, and
// two builds give the same bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "frame/game.h"
#include "support.h"

namespace fs = std::filesystem;

namespace {

bool is_tune(int index) { return index == data_index::game_music || index == data_index::menu_music; }

std::string two_digits(int index) {
    char name[8];
    std::snprintf(name, sizeof name, "%02d", index);
    return name;
}

// A generated picture as written, before the data file: 24-bit, no conversion.
BITMAP* load_source_picture(int index) {
    int saved = get_color_conversion();
    set_color_conversion(COLORCONV_NONE);
    std::string path = std::string(DATA_SOURCE_DIR) + "/" + two_digits(index) + ".pcx";
    BITMAP* b = load_pcx(path.c_str(), nullptr);
    set_color_conversion(saved);
    return b;
}

bool is_source_mask(int pixel) { return getr24(pixel) == 255 && getg24(pixel) == 0 && getb24(pixel) == 255; }

std::vector<char> read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int run(const std::string& command) { return std::system(command.c_str()); }

class Pictures : public ::testing::Test {
protected:
    static DATAFILE* data;
    static void SetUpTestSuite() {
        start_headless_allegro();
        data = load_datafile(DATA_FILE);
    }
    static void TearDownTestSuite() {
        if (data) unload_datafile(data);
        data = nullptr;
    }
    void SetUp() override {
        start_headless_allegro();
        ASSERT_NE(data, nullptr) << "cannot load " << DATA_FILE;
    }
    static BITMAP* picture(int index) { return static_cast<BITMAP*>(data[index].dat); }
};
DATAFILE* Pictures::data = nullptr;

TEST_F(Pictures, LoadHeadlessAs16BitBitmapsAroundTheTwoTunes) {
    int count = 0;
    while (data[count].type != DAT_END) count++;
    ASSERT_EQ(count, data_index::object_count);
    for (int index = 0; index < count; index++) {
        SCOPED_TRACE(index);
        if (is_tune(index)) {
            EXPECT_EQ(data[index].type, DAT_MIDI);
        } else {
            ASSERT_EQ(data[index].type, DAT_BITMAP);
            EXPECT_EQ(bitmap_color_depth(picture(index)), 16);
        }
    }
}

// The mask survives the trip through the data file, no visible pixel turns into it,
// and every visible pixel keeps the 16-bit colour it was drawn with.
TEST_F(Pictures, TheGameSeesExactlyThePixelsThatWereDrawn) {
    for (int index = 1; index < data_index::object_count; index++) {
        if (is_tune(index)) continue;
        SCOPED_TRACE(index);
        BITMAP* drawn = load_source_picture(index);
        ASSERT_NE(drawn, nullptr);
        ASSERT_EQ(bitmap_color_depth(drawn), 24);
        BITMAP* loaded = picture(index);
        ASSERT_EQ(loaded->w, drawn->w);
        ASSERT_EQ(loaded->h, drawn->h);
        const int mask = bitmap_mask_color(loaded);
        int wrong_mask = 0, wrong_visible = 0, wrong_colour = 0, visible = 0;
        for (int y = 0; y < drawn->h; y++)
            for (int x = 0; x < drawn->w; x++) {
                int source = getpixel(drawn, x, y), shown = getpixel(loaded, x, y);
                if (is_source_mask(source)) {
                    wrong_mask += shown != mask;
                    continue;
                }
                visible++;
                if (shown == mask) {
                    wrong_visible++;
                    continue;
                }
                bool same = getr16(shown) >> 3 == getr24(source) >> 3 && getg16(shown) >> 2 == getg24(source) >> 2 &&
                            getb16(shown) >> 3 == getb24(source) >> 3;
                wrong_colour += !same;
            }
        EXPECT_EQ(wrong_mask, 0) << "transparent pixels that show";
        EXPECT_EQ(wrong_visible, 0) << "visible pixels that became transparent";
        EXPECT_EQ(wrong_colour, 0) << "visible pixels whose colour changed";
        EXPECT_GT(visible, 0) << "a picture with nothing to see";
        destroy_bitmap(drawn);
    }
}

// Each area of the quit dialog is opaque and framed by a rim of one colour that lies
// exactly on the area's edge: the pixels just outside it are never that colour.
TEST_F(Pictures, TheQuitDialogShowsItsAreasExactlyWhereTheyAct) {
    BITMAP* dialog = picture(data_index::quit_image);
    ASSERT_EQ(dialog->w, 301);
    ASSERT_EQ(dialog->h, 151);
    const int mask = bitmap_mask_color(dialog);
    for (PictureArea area : {quit_confirm_area, quit_cancel_area, quit_close_area}) {
        SCOPED_TRACE(::testing::Message() << "area " << area.left << "," << area.top);
        const int rim = getpixel(dialog, area.left, area.top);
        int holes = 0, broken_rim = 0, rim_outside = 0;
        for (int y = area.top; y <= area.bottom; y++)
            for (int x = area.left; x <= area.right; x++) {
                holes += getpixel(dialog, x, y) == mask;
                bool on_edge = x == area.left || x == area.right || y == area.top || y == area.bottom;
                if (on_edge) broken_rim += getpixel(dialog, x, y) != rim;
            }
        for (int x = area.left; x <= area.right; x++) {
            rim_outside += getpixel(dialog, x, area.top - 1) == rim;
            rim_outside += getpixel(dialog, x, area.bottom + 1) == rim;
        }
        for (int y = area.top; y <= area.bottom; y++) {
            rim_outside += getpixel(dialog, area.left - 1, y) == rim;
            rim_outside += getpixel(dialog, area.right + 1, y) == rim;
        }
        EXPECT_EQ(holes, 0);
        EXPECT_EQ(broken_rim, 0);
        EXPECT_EQ(rim_outside, 0);
        EXPECT_NE(getpixel(dialog, (area.left + area.right) / 2, (area.top + area.bottom) / 2), rim) << "an area with no face";
    }
}

TEST_F(Pictures, TheQuitDialogIsTransparentOnlyAtItsRoundedCorners) {
    BITMAP* dialog = picture(data_index::quit_image);
    const int mask = bitmap_mask_color(dialog), corner = 6;
    int stray = 0, corners = 0;
    for (int y = 0; y < dialog->h; y++)
        for (int x = 0; x < dialog->w; x++) {
            if (getpixel(dialog, x, y) != mask) continue;
            bool in_corner = (x < corner || x >= dialog->w - corner) && (y < corner || y >= dialog->h - corner);
            (in_corner ? corners : stray)++;
        }
    EXPECT_EQ(stray, 0);
    EXPECT_GT(corners, 0);
}

// The hot spot is the top-left pixel, and a dark outline keeps the arrow visible
// on black and on the dialog alike.
TEST_F(Pictures, PointersHaveTheirTipAtTheTopLeftAndADarkOutline) {
    for (int index : {data_index::quit_pointer, data_index::mouse_pointer}) {
        SCOPED_TRACE(index);
        BITMAP* arrow = picture(index);
        const int mask = bitmap_mask_color(arrow);
        EXPECT_NE(getpixel(arrow, 0, 0), mask);
        for (int x = 1; x < arrow->w; x++) EXPECT_EQ(getpixel(arrow, x, 0), mask);
        auto brightness = [](int c) { return getr16(c) + getg16(c) + getb16(c); };
        int bright = 0, light_edges = 0;
        for (int y = 0; y < arrow->h; y++)
            for (int x = 0; x < arrow->w; x++) {
                int c = getpixel(arrow, x, y);
                if (c == mask) continue;
                bool edge = x == 0 || y == 0 || x == arrow->w - 1 || y == arrow->h - 1 || getpixel(arrow, x - 1, y) == mask ||
                            getpixel(arrow, x + 1, y) == mask || getpixel(arrow, x, y - 1) == mask ||
                            getpixel(arrow, x, y + 1) == mask;
                if (edge) light_edges += brightness(c) > 3 * 64;
                else bright += brightness(c) > 3 * 160;
            }
        EXPECT_EQ(light_edges, 0);
        EXPECT_GT(bright, 20);
    }
}

// Two runs of the generator give the same bytes, and so does their assembly, which
// is byte for byte the data file of this build.
TEST(PictureBuild, IsReproducible) {
    fs::path root = fs::path(::testing::TempDir()) / ("pictures_" + std::to_string(getpid()));
    fs::remove_all(root);
    std::vector<fs::path> dirs = {root / "first", root / "second"};
    for (const fs::path& dir : dirs) {
        fs::create_directories(dir);
        ASSERT_EQ(run(std::string("'") + MAKE_PICTURES + "' '" + dir.string() + "'"), 0);
    }
    int pictures = 0;
    for (int index = 0; index < data_index::object_count; index++) {
        if (is_tune(index)) continue;
        SCOPED_TRACE(index);
        std::string name = two_digits(index) + ".pcx";
        std::vector<char> first = read_bytes(dirs[0] / name);
        ASSERT_FALSE(first.empty());
        EXPECT_TRUE(first == read_bytes(dirs[1] / name)) << name << " differs between two runs";
        pictures++;
    }
    EXPECT_EQ(pictures, 84);

    for (const fs::path& dir : dirs) {
        for (const char* tune : {"00.mid", "66.mid"}) fs::copy_file(fs::path(DATA_SOURCE_DIR) / tune, dir / tune);
        ASSERT_EQ(run(std::string("sh '") + ASSEMBLE_DATA + "' '" + dir.string() + "' '" + (dir / "out.dat").string() + "'"), 0);
    }
    std::vector<char> assembled = read_bytes(dirs[0] / "out.dat");
    EXPECT_TRUE(assembled == read_bytes(dirs[1] / "out.dat")) << "two assemblies differ";
    EXPECT_TRUE(assembled == read_bytes(DATA_FILE)) << "the data file of this build differs from a fresh assembly";
    fs::remove_all(root);
}

}  // namespace
