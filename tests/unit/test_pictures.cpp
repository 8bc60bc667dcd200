// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures and sounds of the data file: the game gets exactly what was drawn and
// synthesised (the window test hears which tune plays where), the quit dialog shows its
// areas where they act, and a fresh build gives the same bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "data/data_file.h"
#include "effects.h"
#include "game/game.h"
#include "pictures.h"
#include "support.h"

// Every field of the game, filled from the file through the layout, holds exactly what its
// role draws or plays: a look, frame, button state or sound stored at another index than the
// game reads it from shows up here. Pictures load in 16-bit, mask stays mask, nothing
// visible becomes mask or changes colour; the pictures that hold words in the language spoken.
// The quit dialog's areas are opaque, rimmed by one colour on their very edge and by none just
// outside, in each language; its only transparent pixels are in its rounded corners.
TEST(Pictures, EachGameFieldHoldsWhatItsRoleDrawsOrPlaysAndTheQuitDialogItsAreasWhereTheyAct) {
    start_headless_allegro();
    DATAFILE* const data = load_datafile(DATA_FILE);
    ASSERT_NE(data, nullptr) << "cannot load " << DATA_FILE;
    Game game(800, 600, 1, 1);
    game.take_objects(data);  // the game unloads it
    // Failures name a field by its place in this list.
    std::vector<std::pair<BITMAP*, std::function<Canvas()>>> fields = {
        {game.game_over_image, [] { return game_over_picture(); }}, {game.quit_pointer, quit_pointer_picture},
        {game.mouse_pointer, menu_pointer_picture}, {game.quit_image, [] { return quit_dialog_picture(); }},
        {game.title_image, title_picture}};
    BITMAP* const play_button[] = {game.play_button_normal, game.play_button_hover, game.play_button_pressed};
    for (int f = 0; f < 25; f++) fields.emplace_back(game.explosion_frames[f], [f] { return explosion_picture(f); });
    for (int f = 0; f < 3; f++) {
        fields.emplace_back(game.bonus_frames[f], [f] { return bonus_picture(f); });
        fields.emplace_back(game.player_frames[f], [f] { return ship_picture(f); });
        fields.emplace_back(game.invader_shot_frames[f], [f] { return shot_picture(3, f); });
        fields.emplace_back(play_button[f], [f] { return play_button_picture(f); });
        for (int w = 0; w < 3; w++) fields.emplace_back(game.shot_frames[w][f], [w, f] { return shot_picture(w, f); });
        for (int look = 0; look < 11; look++)
            fields.emplace_back(game.invader_frames[look][f], [look, f] { return invader_picture(look, f); });
    }
    ASSERT_EQ(speak(1, {LOCALE_DIR}), 1);
    game.take_objects(data);
    fields.insert(fields.end(), {{game.game_over_image, [] { return game_over_picture(1); }},
                                 {game.quit_image, [] { return quit_dialog_picture(1); }}});
    BITMAP* const english_button[] = {game.play_button_normal, game.play_button_hover, game.play_button_pressed};
    for (int f = 0; f < 3; f++) fields.emplace_back(english_button[f], [f] { return play_button_picture(f, 1); });
    BITMAP* const dialogs[] = {fields[3].first, game.quit_image};
    speak(french, {});
    ASSERT_EQ(fields.size(), size_t(data_layout::object_count - effect_count - 2));  // every picture, once
    for (size_t i = 0; i < fields.size(); i++) {
        BITMAP* shown = fields[i].first;
        const Quantised drawn = quantise(fields[i].second());
        ASSERT_TRUE(shown && bitmap_color_depth(shown) == 16 && drawn.w == shown->w && drawn.h == shown->h) << "field " << i;
        int wrong = 0;
        for (int y = 0; y < drawn.h; y++)
            for (int x = 0; x < drawn.w; x++) {
                const uint8_t* d = &drawn.rgb[(size_t(y) * drawn.w + x) * 3];
                const int s = getpixel(shown, x, y), mask = bitmap_mask_color(shown);
                wrong += drawn.opaque[size_t(y) * drawn.w + x] ? s == mask || s != makecol16(d[0], d[1], d[2]) : s != mask;
            }
        EXPECT_EQ(wrong, 0) << "field " << i;
    }
    // Quantising alone: magenta drawn stays off the mask colour, and half covered is visible.
    Canvas two(2, 1);
    two.at(0, 0) = rgb(255, 0, 255), two.at(1, 0) = Colour{0.25f, 0.25f, 0.25f, 0.5f};
    const Quantised q = quantise(two);
    EXPECT_EQ(std::tuple(q.opaque[0], q.opaque[1], q.rgb[1] > 0), std::tuple(1, 1, true));

    // Allegro keeps 16-bit samples unsigned: the WAV file's signed values, offset by half the range.
    for (int e = 0; e < effect_count; e++) {
        const Bytes wav = encode_wav(compose_effect(Effect(e)));
        const SAMPLE* shown = game.effect_samples[e];
        ASSERT_TRUE(shown && shown->bits == 16 && !shown->stereo && shown->freq == sample_rate &&
                    shown->len == (wav.size() - 44) / 2) << "effect " << e;
        const auto* values = static_cast<const uint16_t*>(shown->data);
        int wrong = 0;
        for (size_t i = 0; i < shown->len; i++) wrong += (values[i] ^ 0x8000) != (wav[44 + 2 * i] | wav[45 + 2 * i] << 8);
        EXPECT_EQ(wrong, 0) << "effect " << e;
    }
    EXPECT_EQ(data[data_layout::object_count].type, DAT_END);

    for (BITMAP* dialog : dialogs) {
        ASSERT_TRUE(dialog->w == 301 && dialog->h == 151);
        const int mask = bitmap_mask_color(dialog);
        int wrong = 0;
        for (int y = 0; y < dialog->h; y++)
            for (int x = 0; x < dialog->w; x++) {
                const int c = getpixel(dialog, x, y);
                wrong += c == mask && ((x >= 6 && x < dialog->w - 6) || (y >= 6 && y < dialog->h - 6));
                for (PictureArea a : {quit_confirm_area, quit_cancel_area, quit_close_area}) {
                    const bool in = x >= a.left && x <= a.right && y >= a.top && y <= a.bottom;
                    const bool edge = x == a.left || x == a.right || y == a.top || y == a.bottom;
                    const bool near = x >= a.left - 1 && x <= a.right + 1 && y >= a.top - 1 && y <= a.bottom + 1;
                    const int rim = getpixel(dialog, a.left, a.top);
                    wrong += in ? c == mask || (edge && c != rim) : near && c == rim;
                }
            }
        EXPECT_EQ(wrong, 0) << "quit dialog";
    }
}

// A fresh run of the generators and the assembly gives the data file of this build, byte
// for byte: nothing depends on the time, the paths or unseeded randomness.
TEST(DataFileBuild, IsReproducible) {
    const std::string dir = ::testing::TempDir() + "pictures_" + std::to_string(getpid());
    auto run = [&](const std::string& command) { return std::system(("cd '" + dir + "' && " + command).c_str()); };
    std::filesystem::remove_all(dir);
    ASSERT_TRUE(std::filesystem::create_directories(dir));
    ASSERT_EQ(run("'" MAKE_PICTURES "' . && '" MAKE_TUNES "' . && '" MAKE_SOUNDS "' ."), 0);
    ASSERT_EQ(run("sh '" ASSEMBLE_DATA "' . out.dat '" LIST_LAYOUT "'"), 0);
    EXPECT_EQ(run("cmp out.dat '" DATA_FILE "'"), 0) << "a fresh build differs from this one";
    std::filesystem::remove_all(dir);
}
