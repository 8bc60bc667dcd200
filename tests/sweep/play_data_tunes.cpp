// SPDX-License-Identifier: GPL-3.0-or-later
// Plays the tunes of a data file the way the game would: the game's checks first, then
// Allegro's loader, then each tune looping for a few seconds through the real sound
// driver. The damaged-tune sweep runs it on each damaged file and reads its exit status:
//   0  played;  1  turned away by the checks (their message on standard output);
//   3  no sound (the sweep needs a working digital driver and patch set);
//   killed by a signal, or never ending: what the checks are there to prevent.
// Usage: play_data_tunes FILE [SECONDS]
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <string>

#include "data/data_file.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s FILE [SECONDS]\n", argv[0]);
        return 2;
    }
    const int milliseconds = argc > 2 ? int(atof(argv[2]) * 1000) : 3000;
    if (allegro_init() != 0 || install_timer() != 0 || install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr) != 0 ||
        midi_driver->id == MIDI_NONE) {
        printf("no sound: %s (%s)\n", allegro_error, strerror(errno));
        return 3;
    }
    set_color_depth(16);  // the game's pictures load in the screen's depth

    std::string broken = check_data_file(argv[1]);
    DATAFILE* data = broken.empty() ? load_datafile(argv[1]) : nullptr;
    if (broken.empty()) broken = data ? check_data_objects(data, 800, 600) : data_file_failed;
    if (!broken.empty()) {
        fputs(broken.c_str(), stdout);
        return 1;
    }
    for (int index : {data_layout::index_of(data_layout::Role::game_music), data_layout::index_of(data_layout::Role::menu_music)}) {
        if (play_midi(static_cast<MIDI*>(data[index].dat), 1) != 0) {
            printf("tune %d: no instruments\n", index);
            return 3;
        }
        rest(milliseconds);
        stop_midi();
    }
    unload_datafile(data);
    return 0;
}
END_OF_MAIN()
