// SPDX-License-Identifier: GPL-3.0-or-later
// The files the player owns: settings under $XDG_CONFIG_HOME, scores under
// $XDG_DATA_HOME. Whatever happens to them, the game starts: a missing or damaged
// file gives the defaults, and a file is replaced whole or not at all.
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sstream>
#include <strings.h>
#include <utility>
#include <vector>

#include "files/files.h"

// Allegro's own key names, the same on every keyboard layout (its table is internal).
#include <allegro/internal/aintern.h>

namespace {

// Far above any real file of the game's, far below what would hold up a start.
constexpr size_t largest_settings_file = 64 << 10;
constexpr size_t largest_record_file = 64;
// A lock held longer than 0.5 s belongs to a stuck game; 0.2 s of watching after an
// unlocked write outlasts another game's read, write and rename.
constexpr int lock_wait_steps = 50, lock_wait_step_us = 10000;
constexpr int unlocked_looks = 10, unlocked_look_us = 20000;

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

// replace_file, when `still_wanted` (if given) holds just before the rename.
bool replace_file_if(const std::string& path, const std::string& contents, const std::function<bool()>& still_wanted) {
    if (path.empty()) return false;
    if (!folder_of(path).empty() && !make_folders(folder_of(path))) return false;
    // Made new, never opened through a link: whatever stands at this name (a left-over, a
    // link planted there) is removed first, and a second failure gives up.
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = open(temporary.c_str(), flags, 0644);
    if (fd < 0 && errno == EEXIST && unlink(temporary.c_str()) == 0) fd = open(temporary.c_str(), flags, 0644);
    if (fd < 0) return false;
    bool written = write(fd, contents.data(), contents.size()) == ssize_t(contents.size());
    written = fsync(fd) == 0 && written;
    written = close(fd) == 0 && written;
    // The rename replaces a link standing at `path` itself, never what it points to.
    if (!written || (still_wanted && !still_wanted()) || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The actions' names in the file: key_NAME and button_NAME lines.
const char* const action_names[actions::count] = {"left",     "right", "fire",   "missiles", "fireball",
                                                   "choc",     "faster", "slower", "pause"};

// The file names keys by Allegro's own names ("SPACE", "LEFT", "A"), the same on every layout,
// and known before the keyboard is started. 0 for an unknown name or a key the game keeps.
int key_named(const std::string& name) {
    for (int scancode = 1; scancode < KEY_MAX; scancode++)
        if (strcasecmp(name.c_str(), _keyboard_common_names[scancode]) == 0)
            return reserved_key(scancode) ? 0 : scancode;
    return 0;
}

// Buttons are counted from 1 in the file, as on the screen; "none" is no button. Anything else
// is damage: -2.
int button_named(const std::string& name) {
    if (name == "none") return KeyBindings::no_button;
    const int number = name.size() <= 2 && name.find_first_not_of("0123456789") == std::string::npos && !name.empty()
                           ? std::stoi(name) : 0;
    return number >= 1 && number <= MAX_JOYSTICK_BUTTONS && !reserved_button(number - 1) ? number - 1 : -2;
}

// The lines read give each action its key (or button) unless an earlier line took it. The
// other actions get their defaults where free; then the ones left take the first default no
// action holds, which for a button is none (the first action has no button).
void settle(int (&bound)[actions::count], const int (&defaults)[actions::count],
            const std::vector<std::pair<int, int>>& read) {
    bool set[actions::count] = {};
    const auto held = [&](int value) {
        for (int a = 0; a < actions::count; a++)
            if (set[a] && bound[a] == value && value != KeyBindings::no_button) return true;
        return false;
    };
    const auto take = [&](int action, int value) {
        if (set[action] || held(value)) return;
        bound[action] = value;
        set[action] = true;
    };
    for (auto [action, value] : read) take(action, value);
    for (int action = 0; action < actions::count; action++) take(action, defaults[action]);
    for (int action = 0; action < actions::count; action++)
        for (int d = 0; d < actions::count; d++) take(action, defaults[d]);
}

// The best game beside the record, written while `wanted` holds; a game that was not kept
// takes the old best game away, which no longer scored the record.
void keep_best_game(const std::string& record_path, const std::string& best_game, const std::function<bool()>& wanted) {
    const std::string path = best_game_path(record_path);
    if (!best_game.empty()) replace_file_if(path, best_game, wanted);
    else if (!wanted || wanted()) unlink(path.c_str());
}

// Without the lock, another game may write between its read and its rename. The record is
// then only ever raised: the file is read again just before each rename, and for a while
// after, and written again whenever a lower score has come to stand over this one. The best
// game follows the same re-reads: written while the record is this game's score, and again
// whenever another game's stands beside it.
void raise_unlocked(const std::string& path, int score, const std::string& best_game) {
    const auto lower = [&] { return load_record(path) < score; };
    const auto ours = [&] { return load_record(path) == score; };
    const std::string best_path = best_game_path(path);
    for (int look = 0; look < unlocked_looks; look++) {
        if (lower()) replace_file_if(path, std::to_string(score) + "\n", lower);
        const bool best_stands = best_game.empty() ? !is_readable_file(best_path)
                                                   : read_small_file(best_path, best_game.size()) == best_game;
        if (!best_stands && ours()) keep_best_game(path, best_game, ours);
        usleep(unlocked_look_us);
    }
}

}  // namespace

std::string player_config_dir() {
    const std::string base = base_dir("XDG_CONFIG_HOME", ".config");
    return base.empty() ? "" : base + "/zudaduviz";
}

std::string player_settings_path() {
    const std::string folder = player_config_dir();
    return folder.empty() ? "" : folder + "/settings";
}

int chosen_language(const Settings& settings) {
    return settings.language >= 0 ? settings.language : language_of_environment();
}

std::string player_data_dir() {
    const std::string base = base_dir("XDG_DATA_HOME", ".local/share");
    return base.empty() ? "" : base + "/zudaduviz";
}

bool replace_file(const std::string& path, const std::string& contents) {
    return replace_file_if(path, contents, nullptr);
}

Settings load_settings(const std::string& path) {
    Settings settings;
    std::istringstream file(read_small_file(path, largest_settings_file).value_or(""));
    std::string line;
    std::vector<std::pair<int, int>> keys_read, buttons_read;
    while (std::getline(file, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string name = trimmed(line.substr(0, equals)), value = trimmed(line.substr(equals + 1));
        if (name == "display" && value == "window") settings.display = Settings::Display::window;
        if (name == "display" && value == "fullscreen") settings.display = Settings::Display::fullscreen;
        if (name == "scale" && value.size() == 1 && value[0] >= '1' && value[0] <= '9') settings.scale = value[0] - '0';
        if (name == "fit" && (value == "fill" || value == "whole")) settings.fill = value == "fill";
        if (name == "effects" && (value == "on" || value == "off")) settings.effects_on = value == "on";
        if (name == "music" && (value == "on" || value == "off")) settings.music_on = value == "on";
        if (name == "level" && value.size() == 1 && known_level(value[0] - '0')) settings.level = value[0] - '0';
        if (name == "auto_fire" && (value == "on" || value == "off")) settings.auto_fire = value == "on";
        if (name == "name") settings.name = fitting_name(value);
        if (name == "language" && language_coded(value) >= 0 && value == languages[language_coded(value)].code)
            settings.language = language_coded(value);
        for (int action = 0; action < actions::count; action++) {
            if (name == std::string("key_") + action_names[action] && key_named(value))
                keys_read.emplace_back(action, key_named(value));
            if (name == std::string("button_") + action_names[action] && button_named(value) != -2)
                buttons_read.emplace_back(action, button_named(value));
        }
    }
    const KeyBindings defaults;
    settle(settings.bindings.keys, defaults.keys, keys_read);
    settle(settings.bindings.buttons, defaults.buttons, buttons_read);
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
    text << "music=" << (settings.music_on ? "on" : "off") << "\n";
    text << "level=" << settings.level << "\n";
    text << "auto_fire=" << (settings.auto_fire ? "on" : "off") << "\n";
    if (!settings.name.empty()) text << "name=" << settings.name << "\n";
    if (settings.language >= 0) text << "language=" << languages[settings.language].code << "\n";
    // Keys by Allegro's names, buttons counted from 1 (or none).
    for (int action = 0; action < actions::count; action++)
        text << "key_" << action_names[action] << "=" << _keyboard_common_names[settings.bindings.keys[action]] << "\n";
    for (int action = 0; action < actions::count; action++) {
        const int button = settings.bindings.buttons[action];
        text << "button_" << action_names[action] << "="
             << (button == KeyBindings::no_button ? std::string("none") : std::to_string(button + 1)) << "\n";
    }
    return replace_file(path, text.str());
}

int load_record(const std::string& path) {
    const std::string text = read_small_file(path, largest_record_file).value_or("");
    // Digits, then at most a newline: anything else, or a number too big for a score, is damage.
    const size_t length = text.size();
    size_t digits = 0;
    while (digits < length && text[digits] >= '0' && text[digits] <= '9') digits++;
    const bool ends_well = digits == length || (digits + 1 == length && text[digits] == '\n');
    if (digits == 0 || digits > 10 || !ends_well) return 0;
    const long long value = std::stoll(text);
    return value <= INT_MAX ? int(value) : 0;
}

void under_folder_lock(const std::string& path, const std::function<void(bool locked)>& work) {
    // The folder itself is locked: no file of its own, so nothing anyone plants can take the
    // lock's place. When it cannot be made, nothing can be written there either: the writes
    // then fail quietly.
    const std::string folder = folder_of(path).empty() ? "." : folder_of(path);
    make_folders(folder);
    const int lock = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // Another game holds it for one write: one that holds it for longer is stuck.
    bool locked = false;
    for (int wait = 0; lock >= 0 && !locked && wait < lock_wait_steps; wait++) {
        locked = flock(lock, LOCK_EX | LOCK_NB) == 0;
        if (!locked && errno != EWOULDBLOCK && errno != EINTR) break;  // no locks on this file system
        if (!locked) usleep(lock_wait_step_us);
    }
    work(locked);
    if (lock >= 0) close(lock);  // releases the lock
}

int keep_record(const std::string& path, int score, const std::string& best_game) {
    if (path.empty()) return 0;
    int before = 0;
    under_folder_lock(path, [&](bool locked) {
        before = load_record(path);
        if (score > before && locked && replace_file(path, std::to_string(score) + "\n"))
            keep_best_game(path, best_game, nullptr);
        if (score > before && !locked) raise_unlocked(path, score, best_game);
    });
    return before;
}

std::string fitting_name(const std::string& wanted) {
    // UTF-8 in, UTF-8 out; a byte that starts no character the font draws is skipped.
    std::string name;
    int letters = 0;
    for (size_t at = 0; at < wanted.size() && letters < name_letters;) {
        const unsigned char lead = uint8_t(wanted[at]);
        uint32_t code = lead;
        size_t length = 1;
        if (lead >= 0xc2 && lead <= 0xc5 && at + 1 < wanted.size() && (uint8_t(wanted[at + 1]) & 0xc0) == 0x80) {
            code = (lead & 0x1f) << 6 | (uint8_t(wanted[at + 1]) & 0x3f);
            length = 2;
        }
        // Allegro's font: U+0021 to U+007E, U+00A1 to U+017F (U+00AD, the soft hyphen, draws nothing).
        if ((code >= 0x21 && code <= 0x7e) || (length == 2 && code >= 0xa1 && code <= 0x17f && code != 0xad)) {
            name += wanted.substr(at, length);
            letters++;
        }
        at += length;
    }
    return name;
}

std::string player_name(const Settings& settings) {
    if (!settings.name.empty()) return settings.name;
    const passwd* account = getpwuid(getuid());
    std::string login = fitting_name(account && account->pw_name ? account->pw_name : "");
    if (login.empty() && std::getenv("USER")) login = fitting_name(std::getenv("USER"));
    return login.empty() ? "Joueur" : login;
}
