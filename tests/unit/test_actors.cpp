// SPDX-License-Identifier: GPL-3.0-or-later
// The actor classes' drawing (the moves are timed by the gameplay tests, the explosion's
// centring by the frame's drawing); the pixel-exact collision test: hand-made scenes for its
// rules, and many random scenes on which the fast test must answer exactly as the getpixel scan.
#include <gtest/gtest.h>

#include <array>
#include <iomanip>
#include <random>
#include <tuple>
#include <vector>

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

Actor at(BITMAP** frames, double x, double y) { Actor a(0, 0, frames, 0); a.x = x; a.y = y; return a; }

// The frame is drawn without its mask (here its left column) at the position truncated toward
// zero: at -0.7 it starts on column 0, not -1. (How the frames follow one another: the stored
// replays and the frame update tests.)
TEST(Actors, DrawTheirFrameWithoutItsMaskAtThePositionTruncatedTowardZero) {
    start_headless_allegro();
    BITMAP *dest = make_filled(100, 80, 0), *look = make_filled(6, 4, makecol(255, 0, 0));
    vline(look, 0, 0, 3, bitmap_mask_color(look));
    // Where the frame's column 1 lands.
    for (auto [x, y, column, row] : {std::tuple{-0.7, 10.0, 1, 10}, {-1.5, 10, 0, 10}, {30.99, 20.6, 31, 20}, {30, -0.9, 31, 0}}) {
        clear_bitmap(dest);
        at(&look, x, y).draw(dest);
        EXPECT_EQ(lit(dest), std::make_tuple(column, row, makecol(255, 0, 0), 5 * 4)) << x << "," << y;
    }
    for (BITMAP* b : {look, dest}) destroy_bitmap(b);
}

// A transparent w x h frame with the rectangle (x1, y1)-(x2, y2) visible.
BITMAP* frame(int w, int h, int x1, int y1, int x2, int y2) {
    BITMAP* b = make_filled(w, h, MASK_COLOR_16);
    if (x1 <= x2) rectfill(b, x1, y1, x2, y2, makecol(200, 180, 40));
    return b;
}

// Hand-made scenes for the rules, both ways round, then strips of frames of many sizes, depths
// and densities (sub-bitmaps among them, whose rows need not follow one another in memory), at
// positions with fractions, negative coordinates, boxes overlapping, touching or nearly
// touching: there the fast test must answer exactly as the getpixel scan.
TEST(Collision, HandMadeScenesGiveTheirAnswersAndRandomOnesTheGetpixelScans) {
    start_headless_allegro();
    BITMAP *square = frame(10, 10, 0, 0, 9, 9), *right_half = frame(10, 10, 5, 0, 9, 9),
           *shot = frame(10, 20, 4, 0, 4, 0), *invader = frame(64, 64, 30, 50, 30, 50),  // one visible pixel each
           *bar = frame(3, 40, 0, 0, 2, 39), *clear = frame(10, 10, 0, 0, -1, -1);
    struct Scene { BITMAP** a; double ax, ay; BITMAP** b; double bx, by; bool a_hits_b, b_hits_a; } scenes[] = {
        // Boxes that only touch; from the actor at 9.5 the overlap's columns 9 - 9.5 and
        // 10 - 9.5 both truncate to 0.
        {&square, 0, 0, &square, 10, 0, false, false}, {&square, 0, 0, &square, 9.5, 0, true, false},
        // Overlap only under the mask, then one column more.
        {&square, 0, 0, &right_half, 5, 0, false, false}, {&square, 0, 0, &right_half, 4, 0, true, true},
        // One shared visible pixel, half a pixel off still facing it, then a neighbour.
        {&shot, 326.5, 250.5, &invader, 300, 200, true, true}, {&shot, 326, 251, &invader, 300, 200, false, false},
        // 54 - 19.000000000000004 rounds to 35.0, taking the scan one row past the
        // transparent frame, where getpixel reads -1: a visible pixel.
        {&bar, -4.5, 19.000000000000004, &clear, -9.5, 44.999999999, true, false},
        {&bar, -4.5, 19.0, &clear, -9.5, 44.999999999, false, false}};
    for (const Scene& s : scenes) {
        SCOPED_TRACE(testing::Message() << "scene " << &s - scenes);
        const Actor a = at(s.a, s.ax, s.ay), b = at(s.b, s.bx, s.by);
        EXPECT_EQ(std::tuple(a.collides_with(b), b.collides_with(a), collides_by_getpixel(a, b), collides_by_getpixel(b, a)),
                  std::tuple(s.a_hits_b, s.b_hits_a, s.a_hits_b, s.b_hits_a));
    }
    std::mt19937 rng(20240611);
    auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    // A fraction of a pixel, often one of the awkward ones.
    auto fraction = [&] { int k = uniform(0, 5); return k < 4 ? std::array{0.0, 0.5, 0.999999, 1e-9}[k] : uniform(0, 999) / 1e3; };

    std::vector<BITMAP*> owned = {square, right_half, shot, invader, bar, clear}, pictures;
    int sizes[][2] = {{1, 1}, {2, 3}, {10, 10}, {10, 20}, {7, 13}, {33, 17}, {64, 64}, {60, 50}, {3, 40}, {96, 96}};
    for (int depth : {16, 32})
        for (auto [w, h] : sizes)
            for (int kind = 0; kind < 6; kind++) {
                BITMAP* parent = create_bitmap_ex(depth, w + 7, h + 5);
                clear_to_color(parent, makecol_depth(depth, 255, 255, 255));  // around a sub-bitmap, never read
                BITMAP* b = kind == 5 ? create_sub_bitmap(parent, 3, 2, w, h) : create_bitmap_ex(depth, w, h);
                owned.insert(owned.end(), {parent, b});
                const int colour = makecol_depth(depth, uniform(10, 250), uniform(0, 255), 100);
                clear_to_color(b, bitmap_mask_color(b));
                for (int y = 0; y < h; y++)
                    for (int x = 0; x < w; x++)
                        if (uniform(0, 99) < std::array{0, 3, 50, 97, 100, 50}[kind]) putpixel(b, x, y, colour);
                if (kind == 2) putpixel(b, 0, 0, bitmap_mask_color(b) ^ 1);  // next to the mask, still visible
                pictures.push_back(b);
            }

    int hits = 0, misses = 0;
    const int last_strip = static_cast<int>(pictures.size()) - 3;
    for (int i = 0; i < 150000; i++) {
        // Three neighbouring pictures make a strip, any of them the current frame.
        Actor a(0, 0, &pictures[uniform(0, last_strip)], 0), b(0, 0, &pictures[uniform(0, last_strip)], 0);
        a.frame = uniform(0, 2), b.frame = uniform(0, 2);
        const BITMAP *fa = a.frames[a.frame], *fb = b.frames[b.frame];
        a.x = uniform(-120, 120) + (uniform(0, 1) ? fraction() : -fraction());
        a.y = uniform(-120, 120) + (uniform(0, 1) ? fraction() : -fraction());
        // Often edges exactly meeting, sides or corners.
        b.x = uniform(0, 4) == 0 ? (uniform(0, 1) ? a.x + fa->w : a.x - fb->w) : a.x + uniform(-fb->w - 2, fa->w + 2) + fraction();
        b.y = uniform(0, 4) == 0 ? (uniform(0, 1) ? a.y + fa->h : a.y - fb->h) : a.y + uniform(-fb->h - 2, fa->h + 2) + fraction();
        for (auto [p, q] : {std::pair{&a, &b}, {&b, &a}}) {
            const bool expected = collides_by_getpixel(*p, *q);
            ASSERT_EQ(p->collides_with(*q), expected) << std::setprecision(17) << p->x << "," << p->y << " against "
                                                      << q->x << "," << q->y << " in scene " << i;
            (expected ? hits : misses)++;
        }
    }
    // Plenty of both answers, or the comparison proves little.
    EXPECT_TRUE(hits > 50000 && misses > 150000) << hits << " hits, " << misses << " misses";
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) destroy_bitmap(*it);
}

}  // namespace
