// SPDX-License-Identifier: GPL-3.0-or-later
// The fast collision test beside its getpixel reference, in one run, so that the
// results read as ratios. Sizes are the game's: a 10x20 shot, a 64x64 invader, a
// 60x50 ship, each with the transparent margins that make the pixel scan matter.
#include <benchmark/benchmark.h>

#include <allegro.h>

#include <cerrno>
#include <cstdlib>

#include "actors/actors.h"

namespace {

// Three identical frames of one picture, as an actor's strip.
struct Strip {
    BITMAP* frames[3];
};

// A round body, 60 pixels across, centred in a 64x64 frame.
Strip make_invader() {
    BITMAP* b = create_bitmap_ex(16, 64, 64);
    clear_to_color(b, bitmap_mask_color(b));
    circlefill(b, 32, 32, 30, makecol(90, 200, 60));
    return Strip{{b, b, b}};
}

// A rocket 4 pixels wide down the middle of a 10x20 frame, fins at its tail.
Strip make_shot() {
    BITMAP* b = create_bitmap_ex(16, 10, 20);
    clear_to_color(b, bitmap_mask_color(b));
    rectfill(b, 3, 0, 6, 19, makecol(230, 230, 230));
    rectfill(b, 1, 15, 8, 19, makecol(200, 60, 40));
    return Strip{{b, b, b}};
}

// A triangular craft pointing up, 60x50.
Strip make_ship() {
    BITMAP* b = create_bitmap_ex(16, 60, 50);
    clear_to_color(b, bitmap_mask_color(b));
    triangle(b, 30, 0, 0, 49, 59, 49, makecol(120, 140, 220));
    return Strip{{b, b, b}};
}

struct Scene {
    Strip invader = make_invader();
    Strip shot = make_shot();
    Strip ship = make_ship();
};

Scene& scene() {
    static Scene s;
    return s;
}

using Test = bool (*)(const Actor&, const Actor&);
bool fast(const Actor& a, const Actor& b) { return a.collides_with(b); }
bool reference(const Actor& a, const Actor& b) { return collides_by_getpixel(a, b); }

void run(benchmark::State& state, Test test, const Actor& a, const Actor& b, bool expected) {
    if (test(a, b) != expected) {
        state.SkipWithError("the scene does not give the expected answer");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(test(a, b));
}

// The shot's nose inside the invader's body: a hit found after a few rows.
void shot_hits_invader(benchmark::State& state, Test test) {
    Actor invader(300, 200, scene().invader.frames, 0);
    Actor shot(0, 0, scene().shot.frames, 0);
    shot.x = 327.5;
    shot.y = 255.3;
    run(state, test, shot, invader, true);
}

// The shot wholly inside the invader's box but in its transparent corner: every
// overlapping pixel is read.
void shot_misses_invader(benchmark::State& state, Test test) {
    Actor invader(300, 200, scene().invader.frames, 0);
    Actor shot(0, 0, scene().shot.frames, 0);
    shot.x = 300.5;
    shot.y = 250.5;
    run(state, test, shot, invader, false);
}

// Boxes apart: the four comparisons alone.
void shot_far_from_invader(benchmark::State& state, Test test) {
    Actor invader(300, 200, scene().invader.frames, 0);
    Actor shot(0, 0, scene().shot.frames, 0);
    shot.x = 400.5;
    shot.y = 500.2;
    run(state, test, shot, invader, false);
}

// The invader's corner over the ship's transparent corner: a large overlap, no hit.
void ship_grazed_by_invader(benchmark::State& state, Test test) {
    Actor ship(370, 550, scene().ship.frames, 0);
    Actor invader(0, 0, scene().invader.frames, 0);
    invader.x = 396.4;
    invader.y = 500.6;
    run(state, test, invader, ship, false);
}

// The invader rams the ship head on.
void ship_rammed_by_invader(benchmark::State& state, Test test) {
    Actor ship(370, 550, scene().ship.frames, 0);
    Actor invader(0, 0, scene().invader.frames, 0);
    invader.x = 368.2;
    invader.y = 500.6;
    run(state, test, invader, ship, true);
}

}  // namespace

BENCHMARK_CAPTURE(shot_hits_invader, fast, fast);
BENCHMARK_CAPTURE(shot_hits_invader, getpixel, reference);
BENCHMARK_CAPTURE(shot_misses_invader, fast, fast);
BENCHMARK_CAPTURE(shot_misses_invader, getpixel, reference);
BENCHMARK_CAPTURE(shot_far_from_invader, fast, fast);
BENCHMARK_CAPTURE(shot_far_from_invader, getpixel, reference);
BENCHMARK_CAPTURE(ship_grazed_by_invader, fast, fast);
BENCHMARK_CAPTURE(ship_grazed_by_invader, getpixel, reference);
BENCHMARK_CAPTURE(ship_rammed_by_invader, fast, fast);
BENCHMARK_CAPTURE(ship_rammed_by_invader, getpixel, reference);

int main(int argc, char** argv) {
    // Memory bitmaps need no display.
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(16);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
