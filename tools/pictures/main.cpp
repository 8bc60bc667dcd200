// SPDX-License-Identifier: GPL-3.0-or-later
// make_pictures DIR: writes every picture of the data file as DIR/NN.pcx, NN being
// its index in the file. The same bytes come out on every run.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "data/data_file.h"
#include "pictures.h"

namespace {

// The picture of a data file object, by its role.
Canvas picture_for(const data_layout::Slot& slot) {
    using data_layout::Role;
    switch (slot.role) {
        case Role::bonus: return bonus_picture(slot.frame);
        case Role::play_button: return play_button_picture(slot.frame, slot.set);
        case Role::invader: return invader_picture(slot.set, slot.frame);
        case Role::explosion: return explosion_picture(slot.frame);
        case Role::game_over_image: return game_over_picture(slot.set);
        case Role::player: return ship_picture(slot.frame);
        case Role::quit_pointer: return quit_pointer_picture();
        case Role::mouse_pointer: return menu_pointer_picture();
        case Role::quit_image: return quit_dialog_picture(slot.set);
        case Role::title_image: return title_picture();
        case Role::shot: return shot_picture(slot.set, slot.frame);
        case Role::invader_shot: return shot_picture(3, slot.frame);
        case Role::game_music:
        case Role::menu_music:
        case Role::sound_effect: break;
    }
    return Canvas(1, 1);  // not a picture: never asked for
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
    for (int index = 0; index < data_layout::object_count; ++index) {
        const data_layout::Slot& slot = data_layout::slots[index];
        if (slot.kind != data_layout::Kind::picture) continue;
        std::string path = std::string(argv[1]) + "/" + data_layout::source_name(index);
        if (!save_pcx_file(quantise(picture_for(slot)), path)) {
            std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
