// SPDX-License-Identifier: GPL-3.0-or-later
// The present step (the game's 16-bit picture onto the screen, converted and scaled in one
// pass) at 1x, 2x and 3x, beside today's way in the same run: a plain blit of the 16-bit
// buffer to a 16-bit screen, which Allegro converts for the X server. The "screen" rows
// open a real window (run under Xvfb at 24 bits: the performance script uses 2048x1536x24);
// the "memory" rows present into a 32-bit memory bitmap, the step's own work alone.
#include <benchmark/benchmark.h>

#include <allegro.h>

#include <cstdio>
#include <cstdlib>

#include "view/view.h"

namespace {

constexpr int width = 800, height = 600;
constexpr int title_image_index = 73;

// The title picture over a field of stars: the colours of a real frame.
BITMAP* picture() {
    static BITMAP* frame = [] {
        set_color_depth(16);
        DATAFILE* data = load_datafile(DATA_FILE);
        if (!data) {
            std::fprintf(stderr, "cannot load %s\n", DATA_FILE);
            std::exit(1);
        }
        BITMAP* b = create_bitmap(width, height);
        clear_bitmap(b);
        std::srand(1);
        for (int i = 0; i < 500; i++) {
            const int grey = 60 + std::rand() % 190;
            putpixel(b, std::rand() % width, std::rand() % height, makecol(grey, grey, grey));
        }
        BITMAP* title = static_cast<BITMAP*>(data[title_image_index].dat);
        masked_blit(title, b, 0, 0, width / 2 - title->w / 2, 100, title->w, title->h);
        return b;
    }();
    return frame;
}

bool open_window(int depth, int scale) {
    set_color_depth(depth);
    const bool opened = set_gfx_mode(GFX_XWINDOWS, width * scale, height * scale, 0, 0) == 0;
    set_color_depth(16);
    return opened;
}

void blit_to_16_bit_screen(benchmark::State& state) {
    BITMAP* frame = picture();
    if (!open_window(16, 1)) return state.SkipWithError("no 16-bit window");
    for (auto _ : state) blit(frame, screen, 0, 0, 0, 0, width, height);
}

void present_to_screen(benchmark::State& state) {
    const int scale = int(state.range(0));
    BITMAP* frame = picture();
    if (!open_window(32, scale)) return state.SkipWithError("no 32-bit window of that size");
    View view(width, height);
    view.match(bitmap_color_depth(screen));
    view.place(SCREEN_W, SCREEN_H, scale, false);
    for (auto _ : state) view.present(frame, screen);
    state.counters["scale"] = scale;
}

void present_in_memory(benchmark::State& state) {
    const int scale = int(state.range(0));
    BITMAP* frame = picture();
    BITMAP* target = create_bitmap_ex(32, width * scale, height * scale);
    View view(width, height);
    view.match(32);
    view.place(target->w, target->h, scale, false);
    for (auto _ : state) {
        view.present(frame, target);
        benchmark::ClobberMemory();
    }
    destroy_bitmap(target);
    state.counters["scale"] = scale;
}

}  // namespace

BENCHMARK(blit_to_16_bit_screen)->Unit(benchmark::kMicrosecond);
BENCHMARK(present_to_screen)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(present_in_memory)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (allegro_init() != 0) {
        std::fprintf(stderr, "no X display: run under Xvfb\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    allegro_exit();
    return 0;
}
