// The pictures of the data file: the game sees exactly what was drawn, the quit dialog
// shows its areas where they act, the pointers point from their top-left pixel, and a
// fresh build gives the same bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "frame/game.h"
#include "support.h"

class Pictures : public ::testing::Test {
protected:
    static DATAFILE* data;
    static void SetUpTestSuite() { start_headless_allegro(), data = load_datafile(DATA_FILE); }
    static void TearDownTestSuite() { unload_datafile(data), data = nullptr; }
    void SetUp() override { ASSERT_NE(data, nullptr) << "cannot load " << DATA_FILE; }
    static BITMAP* picture(int index) { return static_cast<BITMAP*>(data[index].dat); }
};
DATAFILE* Pictures::data = nullptr;

// Loaded in 16-bit, mask stays mask, nothing visible becomes mask or changes colour.
TEST_F(Pictures, TheGameSeesExactlyThePixelsThatWereDrawn) {
    for (int index = 0; index < data_index::object_count; index++) {
        SCOPED_TRACE(index);
        const bool tune = index == data_index::game_music || index == data_index::menu_music;
        ASSERT_EQ(data[index].type, tune ? DAT_MIDI : DAT_BITMAP);
        if (tune) continue;
        std::string path = DATA_SOURCE_DIR + std::string(index < 10 ? "/0" : "/") + std::to_string(index) + ".pcx";
        set_color_depth(24);  // the drawn source, unconverted
        BITMAP *drawn = load_pcx(path.c_str(), nullptr), *shown = picture(index);
        set_color_depth(16);
        ASSERT_TRUE(drawn && bitmap_color_depth(shown) == 16 && drawn->w == shown->w && drawn->h == shown->h);
        int wrong = 0;
        for (int y = 0; y < drawn->h; y++)
            for (int x = 0; x < drawn->w; x++) {
                int d = getpixel(drawn, x, y), s = getpixel(shown, x, y), mask = bitmap_mask_color(shown);
                wrong += d == makecol24(255, 0, 255) ? s != mask
                                                     : s == mask || s != makecol16(getr24(d), getg24(d), getb24(d));
            }
        EXPECT_EQ(wrong, 0);
        destroy_bitmap(drawn);
    }
    EXPECT_EQ(data[data_index::object_count].type, DAT_END);
}

// Each area is opaque, rimmed by one colour on its very edge and by none just outside;
// the only transparent pixels of the dialog are in its rounded corners.
TEST_F(Pictures, TheQuitDialogShowsItsAreasExactlyWhereTheyAct) {
    BITMAP* dialog = picture(data_index::quit_image);
    ASSERT_TRUE(dialog->w == 301 && dialog->h == 151);
    const int mask = bitmap_mask_color(dialog);
    for (PictureArea a : {quit_confirm_area, quit_cancel_area, quit_close_area}) {
        const int rim = getpixel(dialog, a.left, a.top);
        int wrong = 0;
        for (int y = a.top - 1; y <= a.bottom + 1; y++)
            for (int x = a.left - 1; x <= a.right + 1; x++) {
                int c = getpixel(dialog, x, y);
                bool in = x >= a.left && x <= a.right && y >= a.top && y <= a.bottom;
                bool edge = x == a.left || x == a.right || y == a.top || y == a.bottom;
                wrong += in ? c == mask || (edge && c != rim) : c == rim;
            }
        EXPECT_EQ(wrong, 0) << "area at x " << a.left;
    }
    int stray = 0;
    for (int y = 0; y < dialog->h; y++)
        for (int x = 0; x < dialog->w; x++)
            stray += getpixel(dialog, x, y) == mask && ((x >= 6 && x < dialog->w - 6) || (y >= 6 && y < dialog->h - 6));
    EXPECT_EQ(stray, 0);
}

// The hot spot is the tip at the top-left pixel; a dark rim keeps the light arrow
// visible on black and on the dialog alike.
TEST_F(Pictures, PointersHaveTheirTipAtTheTopLeftAndADarkOutline) {
    for (BITMAP* arrow : {picture(data_index::quit_pointer), picture(data_index::mouse_pointer)}) {
        const int mask = bitmap_mask_color(arrow);
        auto clear = [&](int x, int y) { int c = getpixel(arrow, x, y); return c < 0 || c == mask; };
        int wrong = clear(0, 0), bright = 0;
        for (int y = 0; y < arrow->h; y++)
            for (int x = 0; x < arrow->w; x++) {
                int c = getpixel(arrow, x, y), light = getr16(c) + getg16(c) + getb16(c);
                if (y == 0 && x > 0) wrong += !clear(x, y);
                if (clear(x, y)) continue;
                bool edge = clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) || clear(x, y + 1);
                edge ? wrong += light > 3 * 64 : bright += light > 3 * 160;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(bright, 20);
    }
}

// A fresh run of the generator and the assembly gives the data file of this build, byte
// for byte: nothing depends on the time, the paths or unseeded randomness.
TEST(PictureBuild, IsReproducible) {
    const std::string dir = ::testing::TempDir() + "pictures_" + std::to_string(getpid()), src = DATA_SOURCE_DIR;
    auto run = [&](const std::string& command) { return std::system(("cd '" + dir + "' && " + command).c_str()); };
    std::system(("rm -rf '" + dir + "'; mkdir -p '" + dir + "'").c_str());
    // The tunes come from another generator: this build's are reused.
    ASSERT_EQ(run("'" MAKE_PICTURES "' . && cp '" + src + "/00.mid' '" + src + "/66.mid' ."), 0);
    ASSERT_EQ(run("sh '" ASSEMBLE_DATA "' . out.dat"), 0);
    EXPECT_EQ(run("cmp out.dat '" DATA_FILE "'"), 0) << "a fresh build differs from this one";
    std::system(("rm -rf '" + dir + "'").c_str());
}
