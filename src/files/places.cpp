// SPDX-License-Identifier: GPL-3.0-or-later
// Where this program stands on the machine: the working directory and its own folder.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "files/files.h"

DataPlaces this_program_places() {
    DataPlaces places;
    char path[PATH_MAX];
    if (getcwd(path, sizeof path)) places.working_dir = path;
    // The kernel's name for the running file, every link resolved: a link in a bin
    // folder to an executable elsewhere still finds its data.
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length > 0) {
        const std::string executable(path, length);
        const size_t slash = executable.rfind('/');
        if (slash != std::string::npos) places.executable_dir = slash == 0 ? "/" : executable.substr(0, slash);
    }
    places.compiled_in_dir = ZUDADUVIZ_DATA_DIR;
    return places;
}

namespace {
std::string beside(const std::string& record_path, const char* name) {
    if (record_path.empty()) return "";
    const size_t slash = record_path.rfind('/');
    return (slash == std::string::npos ? std::string() : record_path.substr(0, slash + 1)) + name;
}
}  // namespace

std::string last_game_path(const std::string& record_path) { return beside(record_path, "last-game.replay"); }
std::string score_table_path(const std::string& record_path) { return beside(record_path, "scores"); }
std::string table_games_path(const std::string& record_path) { return beside(record_path, "scores-games"); }

// Named after its record: level 2's "record-2" keeps "best-game-2.replay".
std::string best_game_path(const std::string& record_path) {
    const size_t name = record_path.rfind('/') + 1, level = record_path.find('-', name);
    const std::string suffix = level == std::string::npos ? "" : record_path.substr(level);
    return beside(record_path, ("best-game" + suffix + ".replay").c_str());
}

std::string level_path(const std::string& record_path, int level) {
    return record_path.empty() || level == 1 ? record_path : record_path + "-" + std::to_string(level);
}
