// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the fuzzer's seed files into a folder: the shipped data file and small generated
// files that reach each branch of the checks and of the loader.
// Usage: make_seeds SHIPPED_DATA_FILE FOLDER
#include <cstdio>
#include <string>

#include "datafile_writer.h"

namespace {

TestObject nested_file() {
    TestObject inner{"FILE", {}};
    const std::vector<uint8_t> contents = datafile_bytes({bitmap_object(2, 1, 1, 2, 3), TestObject{"DATA", {1, 2, 3}}});
    inner.contents.assign(contents.begin() + 8, contents.end());  // a sub-file has no magic numbers
    return inner;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s SHIPPED_DATA_FILE FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[2];
    write_bytes(folder + "/shipped.dat", file_bytes(argv[1]));
    write_bytes(folder + "/game-set.dat", datafile_bytes(game_objects(false)));
    write_bytes(folder + "/varied-tune.dat", datafile_bytes({varied_tune_object(), bitmap_object(3, 2, 9, 9, 9)}));
    write_bytes(folder + "/small.dat", datafile_bytes({midi_object(), bitmap_object(4, 1, 255, 0, 255)}));
    write_bytes(folder + "/sounds.dat", datafile_bytes({sample_object(16, 22050, 5), sample_object(-8, 11025, 3)}));
    write_bytes(folder + "/nested.dat", datafile_bytes({nested_file(), TestObject{"DATA", {}}}));
    return 0;
}
