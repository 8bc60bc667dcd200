// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes as a replay file, read as --rejouer, --verifier and the title's
// demo read one. Half the inputs are taken as the packed part of a file with a sound header,
// so that the fuzzer gets past zlib's checksum to the sky, the runs and the checks.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <utility>

#include "replay/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    ReplayFile file;
    const std::string input(reinterpret_cast<const char*>(bytes), size);
    read_replay(input, file);
    if (size == 0 || bytes[0] % 2 == 0) return 0;

    const std::string body = input.substr(1);
    uLongf packed_size = compressBound(body.size());
    std::string packed(packed_size, '\0'), whole = "ZDZREJEU";
    compress(reinterpret_cast<Bytef*>(&packed[0]), &packed_size, reinterpret_cast<const Bytef*>(body.data()), body.size());
    packed.resize(packed_size);
    // Little-endian (value, bytes): format 1, no version text, seed 7, a 16x16 screen with one
    // layer of two stars (24 bytes of sky, then the runs and checks), the body's two sizes.
    for (auto [value, count] : {std::pair<uint64_t, int>{1, 2}, {0, 1}, {7, 4}, {16, 2}, {16, 2}, {1, 1}, {2, 2},
                                {body.size(), 4}, {packed.size(), 4}})
        for (int i = 0; i < count; i++) whole.push_back(char(value >> (8 * i)));
    read_replay(whole + packed, file);
    return 0;
}
