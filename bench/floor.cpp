// SPDX-License-Identifier: GPL-3.0-or-later
// The empty program: the least any game on this screen does. It starts the same
// devices in the same mode as the game, installs the same 500 Hz timer, and shows one
// full 800x600 buffer per retrace, drawing nothing. Its CPU use is the floor the game's
// is measured against.
//
// Usage: bench_floor [seconds]   runs that long (default 25), or until Escape; then
// prints the frames shown per second, measured on its own timer.
#include <allegro.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
std::atomic<int> ticks{0};
void tick() { ticks.fetch_add(1, std::memory_order_relaxed); }
}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 25;
    if (allegro_init() != 0 || install_keyboard() < 0 || install_mouse() < 0) return 1;
    install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, "blast");  // as the game: silent when it fails
    set_color_depth(16);
    if (set_gfx_mode(GFX_AUTODETECT, 800, 600, 0, 0) < 0) return 1;
    BITMAP* buffer = create_bitmap(800, 600);
    if (!buffer) return 1;
    // Not black, so that the first frame can be seen arriving.
    clear_to_color(buffer, makecol(40, 40, 60));
    if (install_int_ex(tick, BPS_TO_TIMER(500)) < 0) return 1;

    long frames = 0;
    while (ticks < seconds * 500 && !key[KEY_ESC]) {
        vsync();
        blit(buffer, screen, 0, 0, 0, 0, 800, 600);
        frames++;
    }
    const int span = ticks;
    remove_int(tick);
    destroy_bitmap(buffer);
    allegro_exit();
    std::printf("frames per second: %.1f\n", span > 0 ? frames * 500.0 / span : 0.0);
    return 0;
}
END_OF_MAIN()
