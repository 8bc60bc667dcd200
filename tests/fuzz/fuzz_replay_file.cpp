// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes as a replay file, read as --rejouer, --verifier and the title's
// demo read one. Half the inputs are taken as the packed part of a file with a sound header,
// so that the fuzzer gets past zlib's checksum to the sky, the runs and the checks.
#include <zlib.h>

#include <cstdint>
#include <string>

#include "replay/replay.h"

namespace {
void put(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; i++) out.push_back(char(value >> (8 * i)));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    ReplayFile file;
    const std::string input(reinterpret_cast<const char*>(bytes), size);
    read_replay(input, file);
    if (size == 0 || bytes[0] % 2 == 0) return 0;

    // A 16x16 screen with one layer of two stars: 24 bytes of sky, then the runs and checks.
    const std::string body = input.substr(1);
    uLongf packed_size = compressBound(body.size());
    std::string packed(packed_size, '\0');
    compress2(reinterpret_cast<Bytef*>(&packed[0]), &packed_size, reinterpret_cast<const Bytef*>(body.data()),
              body.size(), 1);
    packed.resize(packed_size);
    std::string whole = "ZDZREJEU";
    put(whole, 1, 2), put(whole, 0, 1), put(whole, 7, 4);
    put(whole, 16, 2), put(whole, 16, 2), put(whole, 1, 1), put(whole, 2, 2);
    put(whole, body.size(), 4), put(whole, packed.size(), 4);
    ReplayFile shaped;
    read_replay(whole + packed, shaped);
    return 0;
}
