// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures, tunes and sounds of the data file: the game gets exactly what was drawn,
// composed and synthesised, the quit dialog shows its areas where they act, the pointers
// point from their top-left pixel, and a fresh build gives the same bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "compose.h"
#include "data/data_file.h"
#include "effects.h"
#include "display/display.h"
#include "frame/game.h"
#include "pictures.h"
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

// Every field of the game, filled from the file through the layout, holds exactly what its
// role draws or plays: a look, frame, button state or tune stored at another index than the
// game reads it from shows up here. Pictures load in 16-bit, mask stays mask, nothing
// visible becomes mask or changes colour.
TEST_F(Pictures, EachGameFieldHoldsWhatItsRoleDrawsOrPlays) {
    Game game(800, 600, 1, 1);
    game.take_objects(data);
    game.data = nullptr;  // the suite unloads it
    std::vector<std::tuple<std::string, BITMAP*, std::function<Canvas()>>> fields;
    auto add = [&](std::string what, BITMAP* shown, std::function<Canvas()> draw) { fields.emplace_back(what, shown, draw); };
    for (int f = 0; f < 3; f++) {
        const std::string frame = " frame " + std::to_string(f);
        add("bonus" + frame, game.bonus_frames[f], [f] { return bonus_picture(f); });
        add("player" + frame, game.player_frames[f], [f] { return ship_picture(f); });
        add("invader shot" + frame, game.invader_shot_frames[f], [f] { return shot_picture(3, f); });
        for (int w = 0; w < 3; w++)
            add("weapon " + std::to_string(w) + frame, game.shot_frames[w][f], [w, f] { return shot_picture(w, f); });
        for (int look = 0; look < 11; look++)
            add("look " + std::to_string(look) + frame, game.invader_frames[look][f], [look, f] { return invader_picture(look, f); });
    }
    for (int f = 0; f < 25; f++)
        add("explosion frame " + std::to_string(f), game.explosion_frames[f], [f] { return explosion_picture(f); });
    BITMAP* const play_button[] = {game.play_button_normal, game.play_button_hover, game.play_button_pressed};
    for (int state = 0; state < 3; state++)
        add("play button " + std::to_string(state), play_button[state], [state] { return play_button_picture(state); });
    add("game over", game.game_over_image, game_over_picture);
    add("quit pointer", game.quit_pointer, quit_pointer_picture);
    add("menu pointer", game.mouse_pointer, menu_pointer_picture);
    add("quit dialog", game.quit_image, quit_dialog_picture);
    add("title", game.title_image, title_picture);
    ASSERT_EQ(fields.size(), size_t(data_layout::required_object_count - 2));  // every picture, once

    for (auto& [what, shown, draw] : fields) {
        SCOPED_TRACE(what);
        const Quantised drawn = quantise(draw());
        ASSERT_TRUE(shown && bitmap_color_depth(shown) == 16 && drawn.w == shown->w && drawn.h == shown->h);
        int wrong = 0;
        for (int y = 0; y < drawn.h; y++)
            for (int x = 0; x < drawn.w; x++) {
                const uint8_t* d = &drawn.rgb[(size_t(y) * drawn.w + x) * 3];
                const int s = getpixel(shown, x, y), mask = bitmap_mask_color(shown);
                wrong += drawn.opaque[size_t(y) * drawn.w + x] ? s == mask || s != makecol16(d[0], d[1], d[2]) : s != mask;
            }
        EXPECT_EQ(wrong, 0);
    }

    for (auto [shown, tune] : {std::pair{game.game_music, compose_game_tune()}, {game.menu_music, compose_menu_tune()}}) {
        const std::string path = ::testing::TempDir() + "tune_" + std::to_string(getpid()) + ".mid";
        const Bytes bytes = encode_midi_file(tune.ticks_per_quarter, tune.tracks, tune.end_tick);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        MIDI* composed = load_midi(path.c_str());
        ASSERT_TRUE(shown && composed);
        EXPECT_EQ(shown->divisions, composed->divisions);
        for (int t = 0; t < MIDI_TRACKS; t++)
            EXPECT_TRUE(shown->track[t].len == composed->track[t].len &&
                        std::equal(shown->track[t].data, shown->track[t].data + shown->track[t].len, composed->track[t].data))
                << "track " << t;
        destroy_midi(composed);
        std::remove(path.c_str());
    }

    // Allegro keeps 16-bit samples unsigned: the WAV file's signed values, offset by half the range.
    for (int e = 0; e < effect_count; e++) {
        SCOPED_TRACE("effect " + std::to_string(e));
        const Bytes wav = encode_wav(compose_effect(Effect(e)));
        const SAMPLE* shown = game.effect_samples[e];
        ASSERT_TRUE(shown && shown->bits == 16 && !shown->stereo && shown->freq == sample_rate &&
                    shown->len == (wav.size() - 44) / 2);
        const auto* values = static_cast<const uint16_t*>(shown->data);
        int wrong = 0;
        for (size_t i = 0; i < shown->len; i++) wrong += (values[i] ^ 0x8000) != (wav[44 + 2 * i] | wav[45 + 2 * i] << 8);
        EXPECT_EQ(wrong, 0);
    }
    EXPECT_EQ(data[data_layout::object_count].type, DAT_END);
}

// Each area is opaque, rimmed by one colour on its very edge and by none just outside;
// the only transparent pixels of the dialog are in its rounded corners.
TEST_F(Pictures, TheQuitDialogShowsItsAreasExactlyWhereTheyAct) {
    BITMAP* dialog = picture(data_layout::index_of(data_layout::Role::quit_image));
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

// A fresh run of the generators and the assembly gives the data file of this build, byte
// for byte: nothing depends on the time, the paths or unseeded randomness.
TEST(DataFileBuild, IsReproducible) {
    const std::string dir = ::testing::TempDir() + "pictures_" + std::to_string(getpid());
    auto run = [&](const std::string& command) { return std::system(("cd '" + dir + "' && " + command).c_str()); };
    std::system(("rm -rf '" + dir + "'; mkdir -p '" + dir + "'").c_str());
    ASSERT_EQ(run("'" MAKE_PICTURES "' . && '" MAKE_TUNES "' . && '" MAKE_SOUNDS "' ."), 0);
    ASSERT_EQ(run("sh '" ASSEMBLE_DATA "' . out.dat '" LIST_LAYOUT "'"), 0);
    EXPECT_EQ(run("cmp out.dat '" DATA_FILE "'"), 0) << "a fresh build differs from this one";
    std::system(("rm -rf '" + dir + "'").c_str());
}
