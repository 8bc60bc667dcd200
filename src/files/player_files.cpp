// The files the player owns: settings under $XDG_CONFIG_HOME, scores under
// $XDG_DATA_HOME. Whatever happens to them, the game starts: a missing or damaged
// file gives the defaults, and a file is replaced whole or not at all.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "files/files.h"

namespace {

// $VARIABLE, or $HOME/fallback; a relative or empty setting does not count.
std::string base_dir(const char* variable, const char* fallback) {
    const char* set = std::getenv(variable);
    if (set && set[0] == '/') return set;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/" + fallback;
    return "";
}

// mkdir -p; true when the folder is there at the end.
bool make_folders(const std::string& path) {
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder part of a path ("" for a bare name).
std::string folder_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? "" : path.substr(0, slash);
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string player_config_dir() {
    const std::string base = base_dir("XDG_CONFIG_HOME", ".config");
    return base.empty() ? "" : base + "/zudaduviz";
}

std::string player_data_dir() {
    const std::string base = base_dir("XDG_DATA_HOME", ".local/share");
    return base.empty() ? "" : base + "/zudaduviz";
}

bool replace_file(const std::string& path, const std::string& contents) {
    if (path.empty()) return false;
    if (!folder_of(path).empty() && !make_folders(folder_of(path))) return false;
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool written = write(fd, contents.data(), contents.size()) == ssize_t(contents.size());
    written = fsync(fd) == 0 && written;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

Settings load_settings(const std::string& path) {
    Settings settings;
    if (path.empty()) return settings;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string name = trimmed(line.substr(0, equals)), value = trimmed(line.substr(equals + 1));
        if (name == "display" && value == "window") settings.display = Settings::Display::window;
        if (name == "display" && value == "fullscreen") settings.display = Settings::Display::fullscreen;
        if (name == "scale" && value.size() == 1 && value[0] >= '1' && value[0] <= '9') settings.scale = value[0] - '0';
        if (name == "fit" && (value == "fill" || value == "whole")) settings.fill = value == "fill";
        if (name == "effects" && (value == "on" || value == "off")) settings.effects_on = value == "on";
    }
    return settings;
}

bool save_settings(const Settings& settings, const std::string& path) {
    std::ostringstream text;
    text << "# Zudaduviz: the player's settings, rewritten by the game\n";
    if (settings.display != Settings::Display::unchosen)
        text << "display=" << (settings.display == Settings::Display::window ? "window" : "fullscreen") << "\n";
    if (settings.scale > 0) text << "scale=" << settings.scale << "\n";
    if (settings.fill) text << "fit=fill\n";
    text << "effects=" << (settings.effects_on ? "on" : "off") << "\n";
    return replace_file(path, text.str());
}

int load_record(const std::string& path) {
    if (path.empty()) return 0;
    std::ifstream file(path, std::ios::binary);
    char text[16] = {};
    file.read(text, sizeof text - 1);
    // Digits, then at most a newline: anything else, or a number too big for a score, is damage.
    const size_t length = file.gcount();
    size_t digits = 0;
    while (digits < length && text[digits] >= '0' && text[digits] <= '9') digits++;
    const bool ends_well = digits == length || (digits + 1 == length && text[digits] == '\n');
    if (digits == 0 || digits > 10 || !ends_well) return 0;
    const long long value = std::strtoll(text, nullptr, 10);
    return value <= INT_MAX ? int(value) : 0;
}

int keep_record(const std::string& path, int score) {
    if (path.empty()) return 0;
    // The lock file lives beside the record, so its folder has to be there first. When it cannot
    // be made, the record cannot be written either: the write below then fails quietly.
    if (!folder_of(path).empty()) make_folders(folder_of(path));
    const int lock = open((path + ".lock").c_str(), O_RDWR | O_CREAT, 0644);
    if (lock >= 0)
        while (flock(lock, LOCK_EX) != 0 && errno == EINTR) {
        }
    const int before = load_record(path);
    if (score > before) replace_file(path, std::to_string(score) + "\n");
    if (lock >= 0) close(lock);  // releases the lock
    return before;
}
