// SPDX-License-Identifier: GPL-3.0-or-later
// The pixel-exact collision test. It runs for every shot against every invader
// and for everything against the ship, so the fast version reads 16-bit frames
// straight from their rows; the getpixel version is the plain reference that
// it must always agree with.
#include <algorithm>
#include <cstdint>

#include "actors/actors.h"

namespace {

// Where the two frames face each other, in each frame's own pixels: column
// a_col + i of A lies on column b_col + i of B, and the same for rows.
struct Overlap {
    int a_col;
    int a_row;
    int b_col;
    int b_row;
    int columns;
    int rows;
};

// The box test (edges that merely meet get through) and the overlap, truncated
// toward zero. False when there is nothing to scan.
bool find_overlap(const Actor& a, const BITMAP* fa, const Actor& b, const BITMAP* fb, Overlap& o) {
    if (a.x + fa->w < b.x || a.x > b.x + fb->w || a.y + fa->h < b.y || a.y > b.y + fb->h)
        return false;
    const int left = static_cast<int>(std::max(a.x, b.x));
    const int right = static_cast<int>(std::min(a.x + fa->w, b.x + fb->w));
    const int top = static_cast<int>(std::max(a.y, b.y));
    const int bottom = static_cast<int>(std::min(a.y + fa->h, b.y + fb->h));
    o.a_col = static_cast<int>(left - a.x);
    o.columns = static_cast<int>(right - a.x) - o.a_col;
    o.b_col = static_cast<int>(left - b.x);
    o.a_row = static_cast<int>(top - a.y);
    o.rows = static_cast<int>(bottom - a.y) - o.a_row;
    o.b_row = static_cast<int>(top - b.y);
    return o.columns > 0 && o.rows > 0;
}

bool is_plain_16(BITMAP* f) { return is_memory_bitmap(f) && bitmap_color_depth(f) == 16; }

// Truncation alone keeps the ranges inside both frames, but rounding in the double
// subtractions can push one a pixel past an edge (54 - 19.000000000000004 gives
// 35.0). There getpixel reads -1, which is not the mask colour and so counts as
// visible; such rare scenes are left to the getpixel scan.
bool inside_frames(const BITMAP* fa, const BITMAP* fb, const Overlap& o) {
    return o.a_col >= 0 && o.a_col + o.columns <= fa->w && o.a_row >= 0 && o.a_row + o.rows <= fa->h &&
           o.b_col >= 0 && o.b_col + o.columns <= fb->w && o.b_row >= 0 && o.b_row + o.rows <= fb->h;
}

// The answer is whether any facing pair of pixels is visible in both frames, so
// the order of the scan does not matter: rows go outermost, as a row's pixels
// lie next to each other in memory.
bool scan_16(const BITMAP* fa, int mask_a, const BITMAP* fb, int mask_b, const Overlap& o) {
    for (int r = 0; r < o.rows; r++) {
        const uint16_t* pa = reinterpret_cast<const uint16_t*>(fa->line[o.a_row + r]) + o.a_col;
        const uint16_t* pb = reinterpret_cast<const uint16_t*>(fb->line[o.b_row + r]) + o.b_col;
        for (int c = 0; c < o.columns; c++) {
            if (pa[c] != mask_a && pb[c] != mask_b) return true;
        }
    }
    return false;
}

}  // namespace

// The plain scan: every facing pair of pixels, read through getpixel.
bool collides_by_getpixel(const Actor& a, const Actor& b) {
    BITMAP* fa = a.frames[a.frame];
    BITMAP* fb = b.frames[b.frame];
    Overlap o;
    if (!find_overlap(a, fa, b, fb, o)) return false;
    const int mask_a = bitmap_mask_color(fa);
    const int mask_b = bitmap_mask_color(fb);
    for (int c = 0; c < o.columns; c++)
        for (int r = 0; r < o.rows; r++)
            if (getpixel(fa, o.a_col + c, o.a_row + r) != mask_a && getpixel(fb, o.b_col + c, o.b_row + r) != mask_b)
                return true;
    return false;
}

bool Actor::collides_with(const Actor& other) const {
    BITMAP* fa = frames[frame];
    BITMAP* fb = other.frames[other.frame];
    Overlap o;
    if (!find_overlap(*this, fa, other, fb, o)) return false;
    if (!is_plain_16(fa) || !is_plain_16(fb) || !inside_frames(fa, fb, o))
        return collides_by_getpixel(*this, other);
    return scan_16(fa, bitmap_mask_color(fa), fb, bitmap_mask_color(fb), o);
}
