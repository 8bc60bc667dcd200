// The pixel-exact collision test: hand-made scenes for its rules, and a large
// random comparison proving the fast test answers exactly as the getpixel scan.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "actors/actors.h"
#include "support.h"

namespace {

// Three frames sharing one picture, so an actor's frame never matters unless
// the test says so.
struct OnePictureStrip {
    BITMAP* bitmaps[3];
    explicit OnePictureStrip(BITMAP* picture) : bitmaps{picture, picture, picture} {}
    ~OnePictureStrip() { destroy_bitmap(bitmaps[0]); }
    OnePictureStrip(const OnePictureStrip&) = delete;
    OnePictureStrip& operator=(const OnePictureStrip&) = delete;
    BITMAP** frames() { return bitmaps; }
};

int visible() { return makecol(200, 180, 40); }

// A fully transparent w x h frame with the given pixels visible.
BITMAP* picture_with(int w, int h, std::initializer_list<std::pair<int, int>> lit, int depth = 16) {
    BITMAP* b = create_bitmap_ex(depth, w, h);
    clear_to_color(b, bitmap_mask_color(b));
    for (auto [x, y] : lit) putpixel(b, x, y, makecol_depth(depth, 200, 180, 40));
    return b;
}

BITMAP* opaque(int w, int h, int depth = 16) {
    BITMAP* b = create_bitmap_ex(depth, w, h);
    clear_to_color(b, makecol_depth(depth, 200, 180, 40));
    return b;
}

Actor at(double x, double y, BITMAP** frames) {
    Actor actor(0, 0, frames, 0);
    actor.x = x;
    actor.y = y;
    return actor;
}

class Collision : public ::testing::Test {
protected:
    void SetUp() override { start_headless_allegro(); }
};

using CollisionBoxes = Collision;

TEST_F(CollisionBoxes, BoxesThatOnlyTouchDoNotCollide) {
    OnePictureStrip square(opaque(10, 10));
    const Actor a = at(0, 0, square.frames());
    EXPECT_FALSE(a.collides_with(at(10, 0, square.frames())));
    EXPECT_FALSE(at(10, 0, square.frames()).collides_with(a));
    EXPECT_FALSE(a.collides_with(at(0, 10, square.frames())));
    EXPECT_FALSE(a.collides_with(at(10, 10, square.frames())));
    EXPECT_FALSE(a.collides_with(at(-10, -10, square.frames())));
}

TEST_F(CollisionBoxes, HalfAPixelOfOverlapIsAHitOnlyFromTheNearSide) {
    OnePictureStrip square(opaque(10, 10));
    const Actor a = at(0, 0, square.frames());
    EXPECT_TRUE(a.collides_with(at(9.5, 0, square.frames())));
    EXPECT_TRUE(a.collides_with(at(0, 9.5, square.frames())));
    EXPECT_TRUE(a.collides_with(at(-9, 0, square.frames())));
    // The overlap's bounds are truncated, then the frame columns again: called on
    // the actor at 9.5, the overlap starts at column 9 - 9.5, truncated to 0, and
    // ends at 10 - 9.5, truncated to 0 too, so no column is left.
    EXPECT_FALSE(at(9.5, 0, square.frames()).collides_with(a));
    // Half a pixel on the negative side: the right bound 0.5 truncates to 0.
    EXPECT_FALSE(a.collides_with(at(-9.5, 0, square.frames())));
    EXPECT_FALSE(at(-9.5, 0, square.frames()).collides_with(a));
}

TEST_F(CollisionBoxes, BoxesApartNeverCollide) {
    OnePictureStrip square(opaque(10, 10));
    const Actor a = at(100, 100, square.frames());
    for (auto [x, y] : {std::pair{50.0, 100.0}, {120.0, 100.0}, {100.0, 80.0}, {100.0, 110.5}, {89.9, 100.0}})
        EXPECT_FALSE(a.collides_with(at(x, y, square.frames()))) << x << "," << y;
}

using CollisionPixels = Collision;

TEST_F(CollisionPixels, OverlapOnlyWhereOneFrameIsTransparentIsAMiss) {
    OnePictureStrip full(opaque(10, 10));
    BITMAP* right_half = opaque(10, 10);
    rectfill(right_half, 0, 0, 4, 9, bitmap_mask_color(right_half));
    OnePictureStrip half(right_half);

    const Actor a = at(0, 0, full.frames());
    EXPECT_FALSE(a.collides_with(at(5, 0, half.frames())));
    EXPECT_FALSE(at(5, 0, half.frames()).collides_with(a));
    EXPECT_TRUE(a.collides_with(at(4, 0, half.frames())));  // B's column 5 now faces A's column 9
    EXPECT_TRUE(at(4, 0, half.frames()).collides_with(a));
}

TEST_F(CollisionPixels, ASingleSharedVisiblePixelIsAHit) {
    OnePictureStrip shot(picture_with(10, 20, {{4, 0}}));
    OnePictureStrip invader(picture_with(64, 64, {{30, 50}}));
    const Actor target = at(300, 200, invader.frames());
    EXPECT_TRUE(at(326, 250, shot.frames()).collides_with(target));
    EXPECT_FALSE(at(327, 250, shot.frames()).collides_with(target));
    EXPECT_FALSE(at(325, 250, shot.frames()).collides_with(target));
    EXPECT_FALSE(at(326, 251, shot.frames()).collides_with(target));
    EXPECT_FALSE(at(326, 249, shot.frames()).collides_with(target));
    // The overlap is cut to whole pixels from both sides, so half a pixel off still
    // puts the two pixels face to face.
    EXPECT_TRUE(at(326.5, 250.5, shot.frames()).collides_with(target));
}

TEST_F(CollisionPixels, EqualSizesGiveTheSameAnswerBothWays) {
    BITMAP* left_half = opaque(10, 10);
    rectfill(left_half, 5, 0, 9, 9, bitmap_mask_color(left_half));
    OnePictureStrip halves(left_half);
    for (auto [x, y, hit] : {std::tuple{5, 0, false}, {4, 0, true}, {5, 3, false}, {4, -3, true},
                             {-5, 0, false}, {-6, 2, false}, {-4, 0, true}, {0, 9, true}}) {
        const Actor a = at(100, 100, halves.frames());
        const Actor b = at(100 + x, 100 + y, halves.frames());
        EXPECT_EQ(a.collides_with(b), hit) << x << "," << y;
        EXPECT_EQ(b.collides_with(a), hit) << x << "," << y;
    }
}

TEST_F(CollisionPixels, ASmallFrameInsideABigOneHitsOnlyItsVisiblePart) {
    BITMAP* body = opaque(64, 64);
    circlefill(body, 32, 32, 31, bitmap_mask_color(body));  // a hollow ring: visible corners only
    OnePictureStrip invader(body);
    OnePictureStrip shot(opaque(10, 20));
    const Actor target = at(300, 200, invader.frames());

    const Actor in_the_hole = at(327, 222, shot.frames());
    EXPECT_FALSE(in_the_hole.collides_with(target));
    EXPECT_FALSE(target.collides_with(in_the_hole));
    const Actor in_a_corner = at(300, 200, shot.frames());
    EXPECT_TRUE(in_a_corner.collides_with(target));
    EXPECT_TRUE(target.collides_with(in_a_corner));
}

TEST_F(CollisionPixels, OnlyTheCurrentFramesTakePart) {
    BITMAP* frames[3] = {picture_with(10, 10, {}), opaque(10, 10), picture_with(10, 10, {})};
    OnePictureStrip square(opaque(10, 10));
    Actor blinking = at(0, 0, frames);
    const Actor other = at(5, 5, square.frames());
    EXPECT_FALSE(blinking.collides_with(other));
    EXPECT_FALSE(other.collides_with(blinking));
    for (int i = 0; i < 3; i++) blinking.animate();
    EXPECT_TRUE(blinking.collides_with(other));
    EXPECT_TRUE(other.collides_with(blinking));
    for (int i = 0; i < 3; i++) blinking.animate();
    EXPECT_FALSE(blinking.collides_with(other));
    for (BITMAP* b : frames) destroy_bitmap(b);
}

TEST_F(CollisionPixels, TheTestChangesNothing) {
    OnePictureStrip square(opaque(10, 10));
    Actor a = at(1.25, 2.5, square.frames());
    a.animate();
    const Actor b = at(5.75, 6.125, square.frames());
    const bool first = a.collides_with(b);
    EXPECT_EQ(a.collides_with(b), first);
    EXPECT_TRUE(first);
    EXPECT_EQ(a.x, 1.25);
    EXPECT_EQ(a.y, 2.5);
    EXPECT_EQ(a.frame, 0);
    EXPECT_EQ(a.anim_tick, 1);
    EXPECT_EQ(b.x, 5.75);
    EXPECT_EQ(b.y, 6.125);
    EXPECT_EQ(getpixel(square.frames()[0], 5, 5), visible());
}

TEST_F(CollisionPixels, APixelJustPastAFrameCountsAsVisibleAsGetpixelReadsIt) {
    // Rounding in 54 - 19.000000000000004 (35.0, not 34.99...) makes the scan one
    // row longer, which takes it past the bottom of the transparent frame, where
    // getpixel gives -1.
    OnePictureStrip bar(opaque(3, 40));
    OnePictureStrip clear(picture_with(10, 10, {}));
    const Actor a = at(-4.5, 19.000000000000004, bar.frames());
    const Actor b = at(-9.5, 44.999999999, clear.frames());
    EXPECT_TRUE(collides_by_getpixel(a, b));
    EXPECT_TRUE(a.collides_with(b));
    EXPECT_FALSE(at(-4.5, 19.0, bar.frames()).collides_with(b));
}

TEST_F(CollisionPixels, FramesOfAnotherDepthAreStillReadPixelByPixel) {
    // 32-bit frames: their mask colour spans two 16-bit halves, neither of which
    // is the 16-bit mask, so reading them as 16-bit rows would see visible pixels.
    OnePictureStrip full(opaque(10, 10, 32));
    BITMAP* right_half = opaque(10, 10, 32);
    rectfill(right_half, 0, 0, 4, 9, bitmap_mask_color(right_half));
    OnePictureStrip half(right_half);
    OnePictureStrip full16(opaque(10, 10));

    EXPECT_FALSE(at(0, 0, full.frames()).collides_with(at(5, 0, half.frames())));
    EXPECT_TRUE(at(0, 0, full.frames()).collides_with(at(4, 0, half.frames())));
    EXPECT_FALSE(at(0, 0, full16.frames()).collides_with(at(5, 0, half.frames())));
    EXPECT_TRUE(at(0, 0, full16.frames()).collides_with(at(4, 0, half.frames())));
}

TEST_F(CollisionPixels, ReferenceScanFollowsTheSameRules) {
    OnePictureStrip square(opaque(10, 10));
    OnePictureStrip shot(picture_with(10, 20, {{4, 0}}));
    OnePictureStrip invader(picture_with(64, 64, {{30, 50}}));
    EXPECT_FALSE(collides_by_getpixel(at(0, 0, square.frames()), at(10, 0, square.frames())));
    EXPECT_TRUE(collides_by_getpixel(at(0, 0, square.frames()), at(9.5, 0, square.frames())));
    EXPECT_TRUE(collides_by_getpixel(at(326, 250, shot.frames()), at(300, 200, invader.frames())));
    EXPECT_FALSE(collides_by_getpixel(at(327, 250, shot.frames()), at(300, 200, invader.frames())));
}

// Random scenes: frames of many sizes and patterns (sub-bitmaps among them, whose
// rows do not follow one another in memory), positions with fractions, negative
// coordinates, edges that touch, frames partly off each other.
class CollisionAgreement : public Collision {
protected:
    std::mt19937 rng{20240611};
    std::vector<BITMAP*> owned;
    std::vector<BITMAP*> pictures;  // each used as a whole strip

    void TearDown() override {
        for (auto it = owned.rbegin(); it != owned.rend(); ++it) destroy_bitmap(*it);
    }

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    double chance() { return std::uniform_real_distribution<double>(0.0, 1.0)(rng); }

    BITMAP* keep(BITMAP* b) {
        owned.push_back(b);
        return b;
    }

    // Paints one of several patterns over a transparent frame.
    void paint(BITMAP* b, int pattern) {
        const int mask = bitmap_mask_color(b);
        const int colour = makecol_depth(bitmap_color_depth(b), 10 + uniform(0, 240), uniform(0, 255), 100);
        clear_to_color(b, mask);
        switch (pattern) {
            case 0: clear_to_color(b, colour); break;
            case 1: break;  // nothing visible
            case 2: case 3: case 4: {
                const double density = pattern == 2 ? 0.03 : pattern == 3 ? 0.5 : 0.95;
                for (int y = 0; y < b->h; y++)
                    for (int x = 0; x < b->w; x++)
                        if (chance() < density) putpixel(b, x, y, colour);
                break;
            }
            case 5: ellipsefill(b, b->w / 2, b->h / 2, b->w / 2, b->h / 2, colour); break;
            case 6: putpixel(b, uniform(0, b->w - 1), uniform(0, b->h - 1), colour); break;
            case 7: rect(b, 0, 0, b->w - 1, b->h - 1, colour); break;
            default:
                for (int y = 0; y < b->h; y++)
                    for (int x = 0; x < b->w; x++)
                        if ((x + y) % 2) putpixel(b, x, y, colour);
        }
        // Colours next to the mask must still count as visible.
        if (pattern == 3) putpixel(b, 0, 0, mask ^ 1);
    }

    void make_pictures(int depth, bool with_sub_bitmaps) {
        const std::pair<int, int> sizes[] = {{1, 1}, {2, 3}, {10, 10}, {10, 20}, {7, 13}, {33, 17},
                                             {64, 64}, {60, 50}, {3, 40}, {40, 16}, {96, 96}};
        for (auto [w, h] : sizes) {
            for (int pattern = 0; pattern < 9; pattern++) {
                BITMAP* b = keep(create_bitmap_ex(depth, w, h));
                paint(b, pattern);
                pictures.push_back(b);
            }
            if (with_sub_bitmaps) {
                // Surrounded by opaque pixels, which must never be read.
                BITMAP* parent = keep(create_bitmap_ex(depth, w + 7, h + 5));
                clear_to_color(parent, makecol_depth(depth, 255, 255, 255));
                BITMAP* sub = keep(create_sub_bitmap(parent, 3, 2, w, h));
                paint(sub, 3);
                pictures.push_back(sub);
            }
        }
    }

    // A fraction of a pixel, often one of the awkward ones.
    double fraction() {
        switch (uniform(0, 5)) {
            case 0: return 0.0;
            case 1: return 0.5;
            case 2: return 0.999999;
            case 3: return 1e-9;
            default: return chance();
        }
    }

    // Places b near a so that their boxes overlap, touch or nearly touch.
    void place(Actor& a, Actor& b) {
        const BITMAP* fa = a.frames[0];
        const BITMAP* fb = b.frames[0];
        a.x = uniform(-120, 120) + (uniform(0, 1) ? fraction() : -fraction());
        a.y = uniform(-120, 120) + (uniform(0, 1) ? fraction() : -fraction());
        b.x = a.x + uniform(-fb->w - 2, fa->w + 2) + fraction();
        b.y = a.y + uniform(-fb->h - 2, fa->h + 2) + fraction();
        switch (uniform(0, 9)) {  // edges exactly meeting
            case 0: b.x = a.x + fa->w; break;
            case 1: b.x = a.x - fb->w; break;
            case 2: b.y = a.y + fa->h; break;
            case 3: b.y = a.y - fb->h; break;
            default: break;
        }
    }

    std::string describe(const Actor& a, const Actor& b) {
        std::ostringstream s;
        s.precision(17);
        s << "A " << a.frames[0]->w << "x" << a.frames[0]->h << " at (" << a.x << ", " << a.y << "), B "
          << b.frames[0]->w << "x" << b.frames[0]->h << " at (" << b.x << ", " << b.y << ")";
        return s.str();
    }

    // Compares the two tests on many random pairs, both ways round.
    void compare(int pairs, int& hits, int& misses) {
        hits = misses = 0;
        int disagreements = 0;
        std::string first;
        for (int i = 0; i < pairs; i++) {
            BITMAP* pa = pictures[uniform(0, static_cast<int>(pictures.size()) - 1)];
            BITMAP* pb = pictures[uniform(0, static_cast<int>(pictures.size()) - 1)];
            BITMAP* strip_a[3] = {pa, pa, pa};
            BITMAP* strip_b[3] = {pb, pb, pb};
            Actor a(0, 0, strip_a, 0);
            Actor b(0, 0, strip_b, 0);
            place(a, b);
            for (int way = 0; way < 2; way++) {
                const Actor& first_actor = way ? b : a;
                const Actor& second_actor = way ? a : b;
                const bool expected = collides_by_getpixel(first_actor, second_actor);
                if (first_actor.collides_with(second_actor) != expected) {
                    if (disagreements++ == 0) first = describe(first_actor, second_actor);
                }
                (expected ? hits : misses)++;
            }
        }
        EXPECT_EQ(disagreements, 0) << "first: " << first;
    }
};

TEST_F(CollisionAgreement, FastTestAnswersExactlyAsTheGetpixelScan) {
    make_pictures(16, true);
    int hits, misses;
    compare(150000, hits, misses);
    // The scenes must give plenty of both answers, or the comparison proves little.
    EXPECT_GT(hits, 60000);
    EXPECT_GT(misses, 60000);
}

TEST_F(CollisionAgreement, FramesOfAnotherDepthAgreeToo) {
    make_pictures(32, false);
    int hits, misses;
    compare(5000, hits, misses);
    EXPECT_GT(hits, 1000);
    EXPECT_GT(misses, 1000);
}

}  // namespace
