// Prints which pixels Allegro's built-in font lights for each string given on the
// command line, so the window tests can read the game's text off a captured screen.
// Output, per string: a line "WIDTH HEIGHT", then HEIGHT rows of '#' (lit) and '.'.
// Runs headless: no display is needed.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    // The game's strings are single bytes; read ours the same way.
    set_uformat(U_ASCII);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "cannot start Allegro\n");
        return 1;
    }
    const int height = text_height(font);
    for (int i = 1; i < argc; ++i) {
        const int width = text_length(font, argv[i]);
        std::printf("%d %d\n", width, height);
        if (width == 0) continue;
        BITMAP* canvas = create_bitmap_ex(8, width, height);
        clear_to_color(canvas, 0);
        textout_ex(canvas, font, argv[i], 0, 0, 1, -1);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) std::putchar(getpixel(canvas, x, y) ? '#' : '.');
            std::putchar('\n');
        }
        destroy_bitmap(canvas);
    }
    return 0;
}
END_OF_MAIN()
