// The actor classes: construction, animation, drawing, the moves, and copying
// by value as the game's lists do.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "actors/actors.h"
#include "support.h"

namespace {

// A strip whose three frames have different colours, so a drawing tells which
// frame was used, each with a transparent left column.
struct ColouredStrip {
    BITMAP* bitmaps[3];
    int colours[3];
    ColouredStrip(int w, int h) {
        colours[0] = makecol(255, 0, 0);
        colours[1] = makecol(0, 255, 0);
        colours[2] = makecol(0, 0, 255);
        for (int i = 0; i < 3; i++) {
            bitmaps[i] = make_filled(w, h, colours[i]);
            vline(bitmaps[i], 0, 0, h - 1, bitmap_mask_color(bitmaps[i]));
        }
    }
    ~ColouredStrip() {
        for (BITMAP* b : bitmaps) destroy_bitmap(b);
    }
    ColouredStrip(const ColouredStrip&) = delete;
    ColouredStrip& operator=(const ColouredStrip&) = delete;
    BITMAP** frames() { return bitmaps; }
};

class Actors : public ::testing::Test {
protected:
    BITMAP* dest = nullptr;
    void SetUp() override {
        start_headless_allegro();
        dest = make_filled(100, 80, 0);
    }
    void TearDown() override { destroy_bitmap(dest); }

    // The left-most and top-most lit pixel of dest, or (-1, -1).
    void first_lit(int& x, int& y) {
        for (y = 0; y < dest->h; y++)
            for (x = 0; x < dest->w; x++)
                if (getpixel(dest, x, y) != 0) return;
        x = y = -1;
    }
};

using ActorAnimation = Actors;

TEST_F(ActorAnimation, NewActorShowsFrameZeroAtItsPosition) {
    ColouredStrip strip(6, 4);
    Actor actor(-3, 7, strip.frames(), 0.25);
    EXPECT_EQ(actor.x, -3.0);
    EXPECT_EQ(actor.y, 7.0);
    EXPECT_EQ(actor.frame, 0);
    EXPECT_EQ(actor.anim_tick, 0);
    EXPECT_EQ(actor.speed, 0.25);
    EXPECT_EQ(actor.frames, strip.frames());
}

TEST_F(ActorAnimation, EachFrameShowsForThreeUpdatesAndTheStripRepeatsEveryNine) {
    ColouredStrip strip(6, 4);
    Actor actor(0, 0, strip.frames(), 0);
    const int ticks[] = {1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 3};
    const int frames[] = {0, 0, 1, 1, 1, 2, 2, 2, 0, 0, 0, 1};
    for (int step = 0; step < 12; step++) {
        actor.animate();
        EXPECT_EQ(actor.anim_tick, ticks[step]) << "after " << step + 1 << " steps";
        EXPECT_EQ(actor.frame, frames[step]) << "after " << step + 1 << " steps";
    }
}

using ActorDrawing = Actors;

TEST_F(ActorDrawing, DrawsTheCurrentFrameWithItsTopLeftCornerAtThePosition) {
    ColouredStrip strip(6, 4);
    Actor actor(20, 30, strip.frames(), 0);
    actor.draw(dest);
    int x, y;
    first_lit(x, y);
    EXPECT_EQ(x, 21);  // column 20 is the frame's transparent column
    EXPECT_EQ(y, 30);
    EXPECT_EQ(getpixel(dest, 21, 30), strip.colours[0]);
    EXPECT_EQ(getpixel(dest, 25, 33), strip.colours[0]);
    EXPECT_EQ(getpixel(dest, 20, 30), 0);  // mask colour left out
    EXPECT_EQ(getpixel(dest, 26, 30), 0);
    EXPECT_EQ(getpixel(dest, 21, 34), 0);

    for (int i = 0; i < 3; i++) actor.animate();
    clear_bitmap(dest);
    actor.draw(dest);
    EXPECT_EQ(getpixel(dest, 21, 30), strip.colours[1]);
}

TEST_F(ActorDrawing, PositionsAreTruncatedTowardZero) {
    ColouredStrip strip(6, 4);
    struct Case {
        double x, y;
        int column, row;  // where the frame's first visible pixel (its column 1) lands
    } cases[] = {
        {-0.7, 10.0, 1, 10},   // -0.7 becomes 0, not -1
        {-1.5, 10.0, 0, 10},   // -1.5 becomes -1: the frame's column 1 lands on 0
        {30.99, 20.6, 31, 20},
        {30.0, -0.9, 31, 0},
    };
    for (const Case& c : cases) {
        Actor actor(0, 0, strip.frames(), 0);
        actor.x = c.x;
        actor.y = c.y;
        clear_bitmap(dest);
        actor.draw(dest);
        int x, y;
        first_lit(x, y);
        EXPECT_EQ(x, c.column) << c.x << "," << c.y;
        EXPECT_EQ(y, c.row) << c.x << "," << c.y;
    }
}

TEST_F(ActorDrawing, ACopySharesTheStripAndMovesOnItsOwn) {
    ColouredStrip strip(6, 4);
    Actor original(10, 10, strip.frames(), 0.5);
    for (int i = 0; i < 4; i++) original.animate();
    Actor copy = original;
    EXPECT_EQ(copy.frames, original.frames);

    original.draw(dest);
    BITMAP* first = make_filled(100, 80, 0);
    blit(dest, first, 0, 0, 0, 0, 100, 80);
    clear_bitmap(dest);
    copy.draw(dest);
    for (int y = 0; y < 80; y++)
        for (int x = 0; x < 100; x++) ASSERT_EQ(getpixel(dest, x, y), getpixel(first, x, y)) << x << "," << y;
    destroy_bitmap(first);

    copy.x += 5;
    copy.animate();
    copy.animate();
    EXPECT_EQ(original.x, 10.0);
    EXPECT_EQ(original.anim_tick, 4);
    EXPECT_EQ(original.frame, 1);
    EXPECT_EQ(copy.frame, 2);
}

using ShipMoves = Actors;

TEST_F(ShipMoves, NewShipIsFullyArmedAndReadyToFire) {
    TestStrip strip(64, 48, makecol(200, 200, 200));
    PlayerShip ship(368, 552, strip.frames(), 0.5);
    EXPECT_EQ(ship.x, 368.0);
    EXPECT_EQ(ship.y, 552.0);
    EXPECT_EQ(ship.armour, 100);
    EXPECT_EQ(ship.hull, 100);
    EXPECT_EQ(ship.score, 0);
    EXPECT_EQ(ship.kills, 0);
    EXPECT_EQ(ship.weapon, 0);
    EXPECT_EQ(ship.ammo[0], 10);
    EXPECT_EQ(ship.ammo[1], 0);
    EXPECT_EQ(ship.ammo[2], 0);
    EXPECT_EQ(ship.fire_delay, 0);
    EXPECT_EQ(ship.frame, 0);
    EXPECT_EQ(ship.anim_tick, 0);
}

TEST_F(ShipMoves, MovesScaleWithElapsedTicksThroughTheCraftTable) {
    TestStrip strip(64, 48, makecol(200, 200, 200));
    PlayerShip ship(100, 552, strip.frames(), 0.5);
    Craft& craft = ship;
    craft.move_left(0);
    craft.move_right(0);
    EXPECT_EQ(ship.x, 100.0);
    craft.move_right(4);
    EXPECT_EQ(ship.x, 102.0);
    craft.move_left(3);
    EXPECT_EQ(ship.x, 100.5);
    EXPECT_EQ(ship.y, 552.0);  // only sideways

    ship.speed = 0.1;
    craft.move_left(7);
    EXPECT_EQ(ship.x, 100.5 - 7 * 0.1);  // the product is formed in double
}

using InvaderConstruction = Actors;

TEST_F(InvaderConstruction, ColumnComesFromOneRandAndTheInvaderStartsAboveTheScreen) {
    TestStrip strip(40, 30, makecol(0, 200, 0));
    std::srand(1234);
    const int first = std::rand();
    const int second = std::rand();
    std::srand(1234);
    Invader invader(7, 800, strip.frames(), 0.4);
    EXPECT_EQ(std::rand(), second);  // exactly one rand() was drawn
    EXPECT_EQ(invader.x, static_cast<double>(first % 760));
    EXPECT_EQ(invader.y, -100.0);
    EXPECT_EQ(invader.hull, 100);
    EXPECT_EQ(invader.fire_delay, 0);
    EXPECT_EQ(invader.width, 40);
    EXPECT_EQ(invader.height, 30);
    EXPECT_EQ(invader.kind, 7);
    EXPECT_EQ(invader.frame, 0);
    EXPECT_EQ(invader.anim_tick, 0);
    EXPECT_EQ(invader.speed, 0.4);
    EXPECT_EQ(invader.frames, strip.frames());
}

TEST_F(InvaderConstruction, EveryColumnKeepsTheWholeFrameOnScreen) {
    TestStrip strip(40, 30, makecol(0, 200, 0));
    std::srand(99);
    int lowest = 800, highest = -1;
    for (int i = 0; i < 20000; i++) {
        Invader invader(0, 800, strip.frames(), 0.4);
        const int column = static_cast<int>(invader.x);
        ASSERT_EQ(invader.x, column);
        lowest = std::min(lowest, column);
        highest = std::max(highest, column);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 759);
}

TEST_F(InvaderConstruction, SizeIsTakenFromTheFirstFrame) {
    BITMAP* bitmaps[3] = {make_filled(50, 20, 1), make_filled(10, 10, 1), make_filled(10, 10, 1)};
    Invader invader(3, 800, bitmaps, 0.4);
    EXPECT_EQ(invader.width, 50);
    EXPECT_EQ(invader.height, 20);
    for (BITMAP* b : bitmaps) destroy_bitmap(b);
}

TEST_F(InvaderConstruction, MovesLikeTheShipThroughTheCraftTable) {
    TestStrip strip(40, 30, makecol(0, 200, 0));
    Invader invader(0, 800, strip.frames(), 0.3);
    invader.x = 200;
    Craft& craft = invader;
    craft.move_right(10);
    EXPECT_EQ(invader.x, 200 + 10 * 0.3);
    craft.move_left(7);
    EXPECT_EQ(invader.x, 200 + 10 * 0.3 - 7 * 0.3);  // formed in double
    EXPECT_EQ(invader.y, -100.0);
}

TEST_F(InvaderConstruction, ErasingAnEarlierInvaderLeavesTheLaterOnesIntact) {
    TestStrip strip(40, 30, makecol(0, 200, 0));
    std::vector<Invader> invaders;
    invaders.push_back(Invader(1, 800, strip.frames(), 0.4));
    Invader second(2, 800, strip.frames(), 0.8);
    second.x = 123.25;
    second.y = 45.5;
    second.fire_delay = 37;
    second.hull = 50;
    for (int i = 0; i < 5; i++) second.animate();
    invaders.push_back(second);
    invaders.erase(invaders.begin());

    const Invader& moved = invaders[0];
    EXPECT_EQ(moved.x, 123.25);
    EXPECT_EQ(moved.y, 45.5);
    EXPECT_EQ(moved.fire_delay, 37);
    EXPECT_EQ(moved.hull, 50);
    EXPECT_EQ(moved.anim_tick, 5);
    EXPECT_EQ(moved.frame, 1);
    EXPECT_EQ(moved.kind, 2);
    EXPECT_EQ(moved.speed, 0.8);
    EXPECT_EQ(moved.width, 40);
    EXPECT_EQ(moved.height, 30);
    EXPECT_EQ(moved.frames, strip.frames());
    Craft& craft = invaders[0];  // the copy still moves through its own table
    craft.move_right(10);
    EXPECT_EQ(moved.x, 123.25 + 8.0);
}

using ShotsAndEffects = Actors;

TEST_F(ShotsAndEffects, ShotKeepsWeaponAndDirection) {
    TestStrip strip(10, 20, makecol(255, 255, 255));
    Shot shot(12, 34, weapons::choc, 0, strip.frames(), 0.6);
    EXPECT_EQ(shot.x, 12.0);
    EXPECT_EQ(shot.y, 34.0);
    EXPECT_EQ(shot.weapon, weapons::choc);
    EXPECT_EQ(shot.direction, 0);
    EXPECT_EQ(shot.speed, 0.6);
    EXPECT_EQ(shot.frame, 0);
}

TEST_F(ShotsAndEffects, ShotsGoUpOrDownByElapsedTimesSpeed) {
    TestStrip strip(10, 20, makecol(255, 255, 255));
    Shot up(100, 300, weapons::missiles, 0, strip.frames(), 0.6);
    up.advance(10);
    EXPECT_EQ(up.y, 300 - 10 * 0.6);
    EXPECT_EQ(up.x, 100.0);
    Shot down(100, 300, weapons::invader, 1, strip.frames(), 0.6);
    down.advance(10);
    EXPECT_EQ(down.y, 300 + 10 * 0.6);
    EXPECT_EQ(down.x, 100.0);
    down.advance(0);
    EXPECT_EQ(down.y, 300 + 10 * 0.6);
}

TEST_F(ShotsAndEffects, BonusTakesItsSizeFromTheFirstFrameAndDrawsIt) {
    ColouredStrip strip(24, 16);
    Bonus bonus(30, 40, 2, strip.frames(), 0.25);
    EXPECT_EQ(bonus.width, 24);
    EXPECT_EQ(bonus.height, 16);
    EXPECT_EQ(bonus.kind, 2);
    EXPECT_EQ(bonus.speed, 0.25);
    EXPECT_EQ(bonus.x, 30.0);
    EXPECT_EQ(bonus.y, 40.0);
    bonus.draw(dest);
    EXPECT_EQ(getpixel(dest, 31, 40), strip.colours[0]);
    EXPECT_EQ(getpixel(dest, 53, 55), strip.colours[0]);
    EXPECT_EQ(getpixel(dest, 54, 55), 0);
}

TEST_F(ShotsAndEffects, ExplosionIsDrawnCentredWithHalvesRoundedDown) {
    BITMAP* bitmaps[25];
    for (int i = 0; i < 25; i++) bitmaps[i] = make_filled(31, 20, makecol(255, 200, 0));
    Explosion explosion(50, 40, bitmaps);
    EXPECT_EQ(explosion.frame, 0);
    EXPECT_EQ(explosion.x, 50);
    EXPECT_EQ(explosion.y, 40);
    EXPECT_EQ(explosion.frames, bitmaps);
    explosion.frame = 24;  // any frame of the strip
    explosion.draw(dest);
    int x, y;
    first_lit(x, y);
    EXPECT_EQ(x, 35);  // 50 - 31 / 2
    EXPECT_EQ(y, 30);  // 40 - 20 / 2
    EXPECT_NE(getpixel(dest, 65, 49), 0);  // last column and row
    EXPECT_EQ(getpixel(dest, 66, 49), 0);
    EXPECT_EQ(getpixel(dest, 65, 50), 0);
    for (BITMAP* b : bitmaps) destroy_bitmap(b);
}

TEST_F(ShotsAndEffects, ExplosionUsesTheSizeOfItsCurrentFrame) {
    BITMAP* bitmaps[25];
    for (int i = 0; i < 25; i++) bitmaps[i] = make_filled(10, 10, makecol(255, 200, 0));
    destroy_bitmap(bitmaps[3]);
    bitmaps[3] = make_filled(31, 20, makecol(255, 0, 0));
    Explosion explosion(50, 40, bitmaps);
    explosion.frame = 3;
    explosion.draw(dest);
    int x, y;
    first_lit(x, y);
    EXPECT_EQ(x, 35);
    EXPECT_EQ(y, 30);
    EXPECT_EQ(getpixel(dest, 35, 30), makecol(255, 0, 0));
    for (BITMAP* b : bitmaps) destroy_bitmap(b);
}

TEST_F(ShotsAndEffects, ExplosionAtTheCornerIsClippedNotPushedIntoView) {
    BITMAP* bitmaps[25];
    for (int i = 0; i < 25; i++) bitmaps[i] = make_filled(5, 5, makecol(255, 200, 0));
    Explosion explosion(1, 1, bitmaps);
    explosion.draw(dest);  // top-left at (-1, -1)
    EXPECT_NE(getpixel(dest, 0, 0), 0);
    EXPECT_NE(getpixel(dest, 3, 3), 0);
    EXPECT_EQ(getpixel(dest, 4, 3), 0);
    EXPECT_EQ(getpixel(dest, 3, 4), 0);
    for (BITMAP* b : bitmaps) destroy_bitmap(b);
}

}  // namespace
