// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes as the data file, through the game's start-up path: the
// structural check, then (when it lets the file through) Allegro's loader and the check
// of what the game relies on. A crash, a sanitizer report or a hang here is a file that
// would bring the game down.
#include <allegro.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/data_file.h"

// The input goes into an in-memory file, read back by name as the game reads its file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    static const int fd = [] {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(16);
        return memfd_create("zudaduviz-fuzz.dat", 0);
    }();
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (ftruncate(fd, 0) != 0 || pwrite(fd, bytes, size, 0) != ssize_t(size)) abort();
    std::string failure;
    if (DATAFILE* data = load_data_file(path, "", {}, 800, 600, failure)) unload_datafile(data);
    return 0;
}
