// SPDX-License-Identifier: GPL-3.0-or-later
// The actor classes: animation and drawing, and the explosion's centring. The moves are
// timed by the gameplay tests.
#include <gtest/gtest.h>

#include <tuple>

#include "actors/actors.h"
#include "support.h"

namespace {

// Place and colour of the first lit pixel of dest (rows first), and how many are lit.
std::tuple<int, int, int, int> lit(BITMAP* dest) {
    int first_x = -1, first_y = -1, colour = 0, count = 0;
    for (int y = 0; y < dest->h; y++)
        for (int x = 0; x < dest->w; x++)
            if (getpixel(dest, x, y) != 0 && count++ == 0) first_x = x, first_y = y, colour = getpixel(dest, x, y);
    return {first_x, first_y, colour, count};
}

// Each frame shows for three updates and the strip repeats every nine; the frame is drawn
// without its mask (here its left column) at the position truncated toward zero.
TEST(Actors, DrawsTheCurrentFrameOfItsStripWithoutItsMaskAtTheTruncatedPosition) {
    start_headless_allegro();
    BITMAP* dest = make_filled(100, 80, 0);
    const int colours[3] = {makecol(255, 0, 0), makecol(0, 255, 0), makecol(0, 0, 255)};
    BITMAP* frames[3];
    for (int i = 0; i < 3; i++) {
        frames[i] = make_filled(6, 4, colours[i]);
        vline(frames[i], 0, 0, 3, bitmap_mask_color(frames[i]));
    }
    // Where the frame's column 1 lands; at -0.7 the frame starts on column 0, not -1.
    struct Case { double x, y; int updates, column, row, frame; } cases[] = {
        {20, 30, 2, 21, 30, 0},  {20, 30, 3, 21, 30, 1},      {20, 30, 8, 21, 30, 2},  {20, 30, 9, 21, 30, 0},
        {-0.7, 10, 0, 1, 10, 0}, {-1.5, 10, 0, 0, 10, 0}, {30.99, 20.6, 0, 31, 20, 0}, {30, -0.9, 0, 31, 0, 0}};
    for (const Case& c : cases) {
        Actor actor(0, 0, frames, 0);
        actor.x = c.x;
        actor.y = c.y;
        for (int i = 0; i < c.updates; i++) actor.animate();
        clear_bitmap(dest);
        actor.draw(dest);
        EXPECT_EQ(lit(dest), std::make_tuple(c.column, c.row, colours[c.frame], 5 * 4)) << c.x << " after " << c.updates;
    }
    destroy_bitmap(frames[1]);
    frames[1] = make_filled(31, 20, makecol(255, 0, 0));
    Explosion explosion(50, 40, frames);
    explosion.frame = 1;
    clear_bitmap(dest);
    explosion.draw(dest);
    EXPECT_EQ(lit(dest), std::make_tuple(35, 30, makecol(255, 0, 0), 31 * 20));  // 50 - 31 / 2, 40 - 20 / 2
    for (BITMAP* b : {frames[0], frames[1], frames[2], dest}) destroy_bitmap(b);
}

}  // namespace
