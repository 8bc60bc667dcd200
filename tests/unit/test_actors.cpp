// The actor classes: animation, drawing, an invader's column and the explosion's
// centring. The moves are timed by the gameplay tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "actors/actors.h"
#include "support.h"

namespace {

class Actors : public ::testing::Test {
protected:
    BITMAP* dest = nullptr;
    void SetUp() override { start_headless_allegro(); dest = make_filled(100, 80, 0); }
    void TearDown() override { destroy_bitmap(dest); }

    // Place and colour of the first lit pixel of dest (rows first), and how many are lit.
    std::tuple<int, int, int, int> lit() {
        int first_x = -1, first_y = -1, colour = 0, count = 0;
        for (int y = 0; y < dest->h; y++)
            for (int x = 0; x < dest->w; x++)
                if (getpixel(dest, x, y) != 0 && count++ == 0) first_x = x, first_y = y, colour = getpixel(dest, x, y);
        return {first_x, first_y, colour, count};
    }
};

TEST_F(Actors, EachFrameShowsForThreeUpdatesAndTheStripRepeatsEveryNine) {
    TestStrip strip(6, 4, 1);
    Actor actor(0, 0, strip.frames(), 0);
    const int frames[] = {0, 0, 1, 1, 1, 2, 2, 2, 0, 0, 0, 1};
    for (int step = 0; step < 12; step++) {
        actor.animate();
        EXPECT_EQ(std::pair(actor.frame, actor.anim_tick), std::pair(frames[step], (step + 1) % 9)) << step + 1;
    }
}

TEST_F(Actors, DrawsTheCurrentFrameWithoutItsMaskAtThePositionTruncatedTowardZero) {
    // Each frame its own colour, with a transparent left column.
    const int colours[3] = {makecol(255, 0, 0), makecol(0, 255, 0), makecol(0, 0, 255)};
    BITMAP* frames[3];
    for (int i = 0; i < 3; i++) {
        frames[i] = make_filled(6, 4, colours[i]);
        vline(frames[i], 0, 0, 3, bitmap_mask_color(frames[i]));
    }
    // Where the frame's column 1 lands; at -0.7 the frame starts on column 0, not -1.
    struct Case { double x, y; int updates, column, row, frame; } cases[] = {
        {20, 30, 0, 21, 30, 0}, {20, 30, 3, 21, 30, 1},      {20, 30, 6, 21, 30, 2},  {-0.7, 10, 0, 1, 10, 0},
        {-1.5, 10, 0, 0, 10, 0}, {30.99, 20.6, 0, 31, 20, 0}, {30, -0.9, 0, 31, 0, 0}};
    for (const Case& c : cases) {
        Actor actor(0, 0, frames, 0);
        actor.x = c.x;
        actor.y = c.y;
        for (int i = 0; i < c.updates; i++) actor.animate();
        clear_bitmap(dest);
        actor.draw(dest);
        EXPECT_EQ(lit(), std::make_tuple(c.column, c.row, colours[c.frame], 5 * 4)) << c.x << "," << c.y;
    }
    for (BITMAP* b : frames) destroy_bitmap(b);
}

TEST_F(Actors, InvaderStartsAboveTheScreenWithTheSizeOfItsFirstFrame) {
    BITMAP* frames[3] = {make_filled(40, 30, 1), make_filled(10, 10, 1), make_filled(10, 10, 1)};
    const Invader invader(7, 123, frames, 0.4);
    EXPECT_EQ(std::tuple(invader.x, invader.y, invader.width, invader.height, invader.hull),
              std::tuple(123.0, -100.0, 40, 30, 100));
    for (BITMAP* b : frames) destroy_bitmap(b);
}

TEST_F(Actors, ExplosionIsCentredOnItsCurrentFrameWithHalvesRoundedDown) {
    BITMAP* frames[2] = {make_filled(10, 10, makecol(255, 200, 0)), make_filled(31, 20, makecol(255, 0, 0))};
    Explosion explosion(50, 40, frames);
    explosion.frame = 1;
    explosion.draw(dest);
    EXPECT_EQ(lit(), std::make_tuple(35, 30, makecol(255, 0, 0), 31 * 20));  // 50 - 31 / 2, 40 - 20 / 2
    for (BITMAP* b : frames) destroy_bitmap(b);
}

}  // namespace
