// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the logic tests: a headless Allegro (no X display needed) and small
// pictures made on the spot.
#pragma once

#include <allegro.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

// Installs Allegro without a system driver, once per test program, in 16-bit colour.
inline void start_headless_allegro() {
    [[maybe_unused]] static const int installed = install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(16);
}

// A w x h 16-bit bitmap filled with one colour (the mask colour makes it invisible).
inline BITMAP* make_filled(int w, int h, int colour) {
    BITMAP* b = create_bitmap_ex(16, w, h);
    clear_to_color(b, colour);
    return b;
}

// Three frames of one size and colour, owned by the test; frames() points at them
// the way an actor's strip points into the game's fields.
struct TestStrip {
    BITMAP* bitmaps[3];
    TestStrip(int w, int h, int colour) {
        for (BITMAP*& b : bitmaps) b = make_filled(w, h, colour);
    }
    ~TestStrip() {
        for (BITMAP* b : bitmaps) destroy_bitmap(b);
    }
    TestStrip(const TestStrip&) = delete;
    TestStrip& operator=(const TestStrip&) = delete;
    BITMAP** frames() { return bitmaps; }
};
