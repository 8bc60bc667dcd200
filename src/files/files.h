// SPDX-License-Identifier: GPL-3.0-or-later
// The files this program reads and writes beside the data file: the player's settings and
// record, and where the program itself stands on the machine.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "../data/data_file.h"
#include "../input/input.h"
#include "../language/language.h"
#include "../play/play.h"

// The player's choices, kept between runs in the settings file.
struct Settings {
    // unchosen: Allegro picks the mode, full screen wherever the machine allows it.
    enum class Display { unchosen, window, fullscreen };
    Display display = Display::unchosen;
    // The window's scale; 0: the largest that fits the desktop.
    int scale = 0;
    // Full screen: the largest 4:3 size ("fill") rather than the largest whole scale.
    bool fill = false;
    bool effects_on = true;
    // Off at the first start, then as the player last left it.
    bool music_on = false;
    // The pace of the next game, 1 to level_count ("Rapidité" on the title).
    int level = 1;
    // The ship fires whenever it can, unless the fire key or button is held.
    bool auto_fire = false;
    // The name the table of honour gives the player's games; empty: the login name.
    std::string name;
    KeyBindings bindings;
    // The title's choice of language (an index in languages); -1: the locale's.
    int language = -1;
};
// The player's folders: $XDG_CONFIG_HOME/zudaduviz and $XDG_DATA_HOME/zudaduviz (by
// default under ~/.config and ~/.local/share); empty when no home can be found.
std::string player_config_dir();
std::string player_data_dir();
// The settings file in the player's folder; empty when there is no home.
std::string player_settings_path();
// The language to speak: the one the settings choose, else the locale's.
int chosen_language(const Settings& settings);
// A missing, unreadable or damaged settings file gives the defaults; unknown lines are skipped.
// An action whose key (or button) line is missing or damaged, or names one an earlier line
// gave, gets its own default; when that is taken too, a key falls back to the first default key no
// action holds, and a button to none.
Settings load_settings(const std::string& path);
// False, the old file untouched, when it cannot be written.
bool save_settings(const Settings& settings, const std::string& path);
// Writes `contents` to a temporary file beside `path` (making its folders), then renames
// it over `path`: a reader sees the old file or the new one, never a half-written one.
bool replace_file(const std::string& path, const std::string& contents);
// The best score, one number in a file of the player's data folder. A missing, unreadable or
// damaged file counts as no record (0).
int load_record(const std::string& path);
// Writes `score` over the file's record when it beats it, read and written under a lock so that
// two games ending at once keep the higher; `best_game` (the game's replay, empty when it was not
// kept) then goes to best_game_path beside it under the same lock, so the best game is always
// one that scored the record (or none). Returns the file's record before, 0 when there was none
// or it cannot be read; a file that cannot be written is left as it is, without a word.
int keep_record(const std::string& path, int score, const std::string& best_game = "");

// Runs `work` holding the lock on the folder of `path` (the record's lock), which it makes when
// missing; `locked` is false when the lock cannot be had (no locks there, or a stuck game holds it).
void under_folder_lock(const std::string& path, const std::function<void(bool locked)>& work);

// A name the table of honour can show: the letters the font draws (no space, no control), at most
// name_letters of them; the rest of `wanted` is left out.
constexpr int name_letters = 12;
std::string fitting_name(const std::string& wanted);
// The name the player's games go under: the one chosen, else the login name, else "Joueur".
std::string player_name(const Settings& settings);

// Where the kept games lie: beside the record, in the player's data folder.
std::string last_game_path(const std::string& record_path);
std::string best_game_path(const std::string& record_path);
// A level's own record: level 1's is the file itself, as it was before there were levels,
// level 2's "record" is "record-2"; each keeps its best game beside it (best_game_path).
std::string level_path(const std::string& record_path, int level);
// The table of honour beside the record, and the folder of the games it names.
std::string score_table_path(const std::string& record_path);
std::string table_games_path(const std::string& record_path);

// Where this program looks for its files: the working directory, its own folder (from the
// kernel, every link resolved) and the folder the build installs the data into.
DataPlaces this_program_places();
// A file the game reads, looked at before a byte is read: only a regular file opens (a link
// to one reads as that file), without blocking; `size` is its size when opened.
class GuardedFile {
public:
    explicit GuardedFile(const std::string& path);
    ~GuardedFile();
    GuardedFile(const GuardedFile&) = delete;
    GuardedFile& operator=(const GuardedFile&) = delete;
    bool opened() const { return fd >= 0; }
    // Up to `count` bytes on from where the last read stopped (`got` fewer where the file
    // ends); false on a read error.
    bool read(void* into, size_t count, size_t& got);
    uint64_t size = 0;

private:
    int fd = -1;
};
// The whole of a regular file of at most `limit` bytes; nothing for anything else.
std::optional<std::string> read_small_file(const std::string& path, size_t limit);
// A regular file this process can open.
bool is_readable_file(const std::string& path);
