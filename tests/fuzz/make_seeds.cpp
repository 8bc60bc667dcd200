// Writes the fuzzer's seed files into a folder: the shipped data file, its two tunes alone,
// and small generated files that reach each branch of the checks and of the loader.
// Usage: make_seeds SHIPPED_DATA_FILE FOLDER
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "datafile_writer.h"

namespace {

uint32_t long_at(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b.at(at)) << 24 | uint32_t(b.at(at + 1)) << 16 | uint32_t(b.at(at + 2)) << 8 | b.at(at + 3);
}

// The MIDI objects of an uncompressed data file, as they stand.
std::vector<TestObject> tunes_of(const std::vector<uint8_t>& file) {
    std::vector<TestObject> tunes;
    size_t at = 12;
    for (uint32_t object = 0, count = long_at(file, 8); object < count; object++) {
        while (std::string(file.begin() + at, file.begin() + at + 4) == "prop") at += 12 + long_at(file, at + 8);
        const std::string type(file.begin() + at, file.begin() + at + 4);
        const size_t size = long_at(file, at + 4);
        if (type == "MIDI") tunes.push_back({type, {file.begin() + at + 12, file.begin() + at + 12 + size}});
        at += 12 + size;
    }
    return tunes;
}

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
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> shipped{std::istreambuf_iterator<char>(in), {}};
    if (shipped.size() < 12) {
        fprintf(stderr, "%s: not a data file\n", argv[1]);
        return 1;
    }
    const std::string folder = argv[2];
    write_bytes(folder + "/shipped.dat", shipped);
    write_bytes(folder + "/shipped-tunes.dat", datafile_bytes(tunes_of(shipped)));
    write_bytes(folder + "/game-set.dat", datafile_bytes(game_objects(false)));
    write_bytes(folder + "/varied-tune.dat", datafile_bytes({varied_tune_object(), bitmap_object(3, 2, 9, 9, 9)}));
    write_bytes(folder + "/small.dat", datafile_bytes({midi_object(), bitmap_object(4, 1, 255, 0, 255)}));
    write_bytes(folder + "/nested.dat", datafile_bytes({nested_file(), TestObject{"DATA", {}}}));
    return 0;
}
