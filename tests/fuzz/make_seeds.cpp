// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the fuzzer's seed files into a folder: the shipped data file and small generated
// files that reach each branch of the checks and of the loader.
// Usage: make_seeds SHIPPED_DATA_FILE FOLDER
#include <cstdio>
#include <string>

#include "datafile_writer.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s SHIPPED_DATA_FILE FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[2];
    write_bytes(folder + "/shipped.dat", file_bytes(argv[1]));
    write_bytes(folder + "/game-set.dat", game_file());
    write_bytes(folder + "/varied.dat", datafile_bytes({varied_tune_object(), bitmap_object(3, 2), sample_object(-8, 11025, 3)}));
    const Bytes inner = datafile_bytes({bitmap_object(2, 1), {"DATA", {1, 2, 3}}});  // a sub-file has no magic numbers
    write_bytes(folder + "/nested.dat", datafile_bytes({{"FILE", Bytes(inner.begin() + 8, inner.end())}, {"DATA", {}}}));
    return 0;
}
