// make_pictures DIR: writes every picture of the data file as DIR/NN.pcx, NN being
// its index in the file. The same bytes come out on every run.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "pictures.h"

namespace {
constexpr int first_picture = 1, last_picture = 85;
constexpr int tune_indices[] = {0, 66};

// The picture stored at a data file index (the tunes' indices are not pictures).
Canvas picture_at(int index) {
    if (index <= 3) return bonus_picture(index - 1);
    if (index <= 6) return play_button_picture(index - 4);
    if (index <= 9) return invader_picture(0, index - 7);
    if (index <= 12) return invader_picture(10, index - 10);
    if (index <= 39) return invader_picture((index - 10) / 3, (index - 10) % 3);
    // Explosion frames are stored 0, 1, 10-19, 2, 20-24, 3-9.
    if (index <= 41) return explosion_picture(index - 40);
    if (index <= 51) return explosion_picture(index - 32);
    if (index == 52) return explosion_picture(2);
    if (index <= 57) return explosion_picture(index - 33);
    if (index <= 64) return explosion_picture(index - 55);
    if (index == 65) return game_over_picture();
    if (index <= 69) return ship_picture(index - 67);
    if (index == 70) return quit_pointer_picture();
    if (index == 71) return menu_pointer_picture();
    if (index == 72) return quit_dialog_picture();
    if (index == 73) return title_picture();
    if (index <= 82) return shot_picture((index - 74) / 3, (index - 74) % 3);
    return shot_picture(3, index - 83);
}

bool is_tune(int index) {
    for (int t : tune_indices)
        if (t == index) return true;
    return false;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures DIR\n");
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "make_pictures: cannot start Allegro\n");
        return 1;
    }
    set_color_depth(24);
    for (int index = first_picture; index <= last_picture; ++index) {
        if (is_tune(index)) continue;
        char name[16];
        std::snprintf(name, sizeof name, "/%02d.pcx", index);
        std::string path = std::string(argv[1]) + name;
        if (!save_pcx_file(quantise(picture_at(index)), path)) {
            std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
