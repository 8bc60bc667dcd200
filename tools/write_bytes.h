// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the generators: one generated file written whole, or a message saying why not.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline bool write_bytes(const std::vector<std::uint8_t>& bytes, const std::string& path, const char* program) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fclose(file) == 0 && written;
    if (!written) std::fprintf(stderr, "%s: cannot write %s\n", program, path.c_str());
    return written;
}
