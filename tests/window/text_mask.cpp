// SPDX-License-Identifier: GPL-3.0-or-later
// Prints Allegro's built-in font, characters 33 to 126, as eight rows of '#' (lit) and
// '.' each, so that the window tests can read the game's text off a capture. Headless.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

int main() {
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return 1;
    BITMAP* cell = create_bitmap_ex(8, 8, 8);
    for (int c = 33; c < 127; ++c) {
        const char text[2] = {char(c), '\0'};
        clear_to_color(cell, 0);
        textout_ex(cell, font, text, 0, 0, 1, -1);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) std::putchar(getpixel(cell, x, y) ? '#' : '.');
            std::putchar('\n');
        }
    }
    destroy_bitmap(cell);
    return 0;
}
END_OF_MAIN()
