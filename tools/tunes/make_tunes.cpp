// SPDX-License-Identifier: GPL-3.0-or-later
// make_tunes DIR: composes the game's two tunes and writes them as Standard MIDI
// files named after their places in the data file (DIR/00.mid in game, DIR/66.mid
// in the title menu). Same bytes on every run.
#include <cstdio>
#include <string>

#include "compose.h"
#include "data/data_file.h"
#include "write_bytes.h"

namespace {

bool write_tune(const Tune& tune, const std::string& path) {
    for (const MidiTrack& track : tune.tracks) {
        if (track.last_tick() > tune.end_tick) {
            std::fprintf(stderr, "make_tunes: track \"%s\" runs past the loop point in %s\n", track.name.c_str(),
                         path.c_str());
            return false;
        }
    }
    return write_bytes(encode_midi_file(tune.ticks_per_quarter, tune.tracks, tune.end_tick), path, "make_tunes");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_tunes DIR\n");
        return 2;
    }
    using data_layout::Role;
    bool ok = true;
    for (Role role : {Role::game_music, Role::menu_music}) {
        const std::string path = std::string(argv[1]) + "/" + data_layout::source_name(data_layout::index_of(role));
        ok = write_tune(role == Role::game_music ? compose_game_tune() : compose_menu_tune(), path) && ok;
    }
    return ok ? 0 : 1;
}
