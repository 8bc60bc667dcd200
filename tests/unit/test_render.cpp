// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of play drawn into the buffer, checked on real pixels: the stars, the actors in
// their order, the armour gauge and the frame rate. (The window test reads the HUD texts.)
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <tuple>

#include "game/game.h"
#include "support.h"

namespace {

// First the HUD alone: the gauge's colours column by column at several hulls, and the frame rate
// over spans of ticks. Then nested squares from (400, 300): the ring of each kind left visible
// shows the order. Stars land on their truncated positions in a cleared frame, greys above 255
// drawn white.
TEST(Render, TheGaugeTheFrameRateAndEachFrameDrawnClearedBackToFrontFromTheStarsToTheHud) {
    start_headless_allegro();
    const int shot = makecol(255, 0, 0), bonus = makecol(0, 255, 0), invader = makecol(0, 0, 255),
              ship = makecol(255, 255, 0), explosion = makecol(255, 128, 0), white = makecol(255, 255, 255);
    TestStrip shot_strip(50, 50, shot), bonus_strip(40, 40, bonus), invader_strip(30, 30, invader),
        ship_strip(20, 20, ship), explosion_strip(10, 10, explosion);
    std::atomic<int> clock{0};
    Game game{800, 600, 2, 3};
    PlayerShip& player = game.player.emplace(368, 552, ship_strip.frames(), 0.5);
    game.ticks = &clock;
    const Star stars[] = {{445.0, 345.0, 200} /* under a shot */, {-0.5, 100.7, 294} /* column 0, not -1 */,
                          {700.0, 300.0, 10}, {300.999, 400.2, 256}, {799.9, 0.5, 200}, {700.0, 300.0, 10}};
    for (int i = 0; i < 6; i++) game.star_field[i / 3][i % 3] = stars[i];
    for (int hull : {0, 1, 40, 100}) {
        player.hull = hull;
        game.draw_frame();
        for (int y = 19; y <= 33; y++)
            for (int x = 149, i = x - 152; x <= 253; x++, i++) {
                const bool outside = x < 150 || x > 252 || y < 20 || y > 32;
                const bool outline = x == 150 || x == 252 || y == 20 || y == 32;
                const int expected = outside ? 0 : outline ? makecol(64, 64, 64) : x == 151 ? makecol(255, 155, 192)
                                                 : i < hull ? makecol(255 - i, 156 + i, 192) : 0;
                ASSERT_EQ(getpixel(game.buffer, x, y), expected) << "column " << x << ", row " << y << ", hull " << hull;
            }
    }
    // The score and kills lines, each its own number: their texts in black over them leave nothing.
    player.score = 5, player.kills = 7;
    game.draw_frame();
    textprintf_ex(game.buffer, font, 282, 10, 0, -1, _("SCORE : %i"), 5);
    textprintf_ex(game.buffer, font, 282, 20, 0, -1, _("TUES : %i"), 7);
    for (int at = 0; at < 18 * 140; at++) ASSERT_EQ(getpixel(game.buffer, 282 + at % 140, 10 + at / 140), 0) << at;
    for (auto [start, now, frames, expected] :
         {std::array{0, 250, 30, 60}, {0, 200, 7, 17}, {700, 700, 12, 0}, {800, 700, 12, 0}, {1000, 1170, 10, 29}}) {
        game.fps_start_tick = start;
        clock = now;
        game.fps_frames = frames;
        EXPECT_EQ(game.frames_per_second(), expected) << frames << " frames from " << start << " to " << now;
    }
    clear_to_color(game.buffer, makecol(90, 90, 90));
    game.shots = {Shot(10, 100, 0, 0, shot_strip.frames(), 0.6), Shot(400, 300, 0, 0, shot_strip.frames(), 0.6)};
    game.bonuses = {Bonus(400, 300, 1, bonus_strip.frames(), 0.25)};
    auto placed = [](Invader actor, double x, double y) { actor.x = x; actor.y = y; return actor; };
    const Invader any(0, 800, invader_strip.frames(), 0.4);
    game.invaders = {placed(any, 400, 300), placed(any, 130, 10)};  // the second under the gauge
    player = PlayerShip(400, 300, ship_strip.frames(), 0.5);
    game.explosions = {Explosion(405, 305, explosion_strip.frames())};
    game.draw_frame();
    for (auto [x, y, colour] : {std::tuple{402, 302, explosion}, {412, 312, ship}, {422, 322, invader},
                                {432, 332, bonus}, {445, 345, shot}, {20, 110, shot}, {149, 25, invader},
                                {150, 25, makecol(64, 64, 64)}, {151, 25, makecol(255, 155, 192)},
                                {799, 0, makecol(200, 200, 200)}, {0, 100, white}, {300, 400, white},
                                {301, 400, 0}, {300, 401, 0}})
        EXPECT_EQ(getpixel(game.buffer, x, y), colour) << x << "," << y;
}

// The present step, on a small picture of random colours (the mask colour among them): every
// screen pixel of the picture's place is its source pixel as Allegro's own converting blit
// shows it on a screen of that depth, and every other pixel stays black.
TEST(Present, ShowsEachPixelAsTheScreenShowsItAtEveryScaleWithBlackBorders) {
    start_headless_allegro();
    const int w = 40, h = 30;
    BITMAP* picture = create_bitmap_ex(16, w, h);
    std::srand(5);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) putpixel(picture, x, y, y == 0 && x == 0 ? 0xF81F : std::rand() & 0xFFFF);
    for (int depth : {32, 16}) {
        BITMAP* as_shown = create_bitmap_ex(depth, w, h);
        blit(picture, as_shown, 0, 0, 0, 0, w, h);
        // The screen's size, the scale asked and fill; where the picture shows and its size there.
        for (auto [screen_w, screen_h, scale, fill, left, top, shown_w, shown_h] : {
                 std::array{40, 30, 1, 0, 0, 0, 40, 30}, {80, 60, 2, 0, 0, 0, 80, 60}, {120, 90, 3, 0, 0, 0, 120, 90},
                 {102, 75, 2, 0, 11, 7, 80, 60},  // centred on black
                 {96, 54, 1, 1, 12, 0, 72, 54},   // fill: the largest 4:3 size, 1.8 times
                 {200, 62, 9, 0, 60, 1, 80, 60}}) {  // at most what fits
            BITMAP* screen_like = create_bitmap_ex(depth, screen_w, screen_h);
            clear_bitmap(screen_like);
            View view(w, h);
            view.match(depth);
            view.place(screen_w, screen_h, scale, fill);
            view.present(picture, screen_like);
            int wrong = 0;
            for (int y = 0; y < screen_h; y++)
                for (int x = 0; x < screen_w; x++) {
                    const bool inside = x >= left && x < left + shown_w && y >= top && y < top + shown_h;
                    wrong += getpixel(screen_like, x, y) !=
                             (inside ? getpixel(as_shown, (x - left) * w / shown_w, (y - top) * h / shown_h) : 0);
                }
            EXPECT_EQ(wrong, 0) << depth << " bits, " << screen_w << "x" << screen_h;
            destroy_bitmap(screen_like);
        }
        destroy_bitmap(as_shown);
    }
    destroy_bitmap(picture);
}

}  // namespace
