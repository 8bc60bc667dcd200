// SPDX-License-Identifier: GPL-3.0-or-later
// make_sounds DIR: synthesises the game's sound effects and writes them as 16-bit mono
// WAV files named after their places in the data file (DIR/86.wav ...). Same bytes on
// every run: the noise has fixed seeds and nothing reads the clock.
#include <cstdio>
#include <string>

#include "effects.h"
#include "write_bytes.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds DIR\n");
        return 2;
    }
    bool ok = true;
    for (int e = 0; e < effect_count; ++e) {
        const std::string path = std::string(argv[1]) + "/" + data_layout::source_name(data_layout::index_of(Effect(e)));
        ok = write_bytes(encode_wav(compose_effect(Effect(e))), path, "make_sounds") && ok;
    }
    return ok ? 0 : 1;
}
