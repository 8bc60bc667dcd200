// SPDX-License-Identifier: GPL-3.0-or-later
// The data file zudaduviz.dat: which object stands at which index, and the checks that
// keep a damaged or foreign file from crashing the game. The layout is the one place
// the game, the generators in tools/ and the assembly step all read; it needs no Allegro.
#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

struct DATAFILE;  // Allegro's, declared here so that the generators need no Allegro

// The sound effects, each the sound of one event, in the order they are stored.
enum class Effect {
    missiles_fired, fireball_fired, choc_fired, invader_fired, invader_hit, invader_destroyed,
    ship_hit, ram, bonus_collected, game_over, menu_click, quit_dialog_opened, count
};
constexpr int effect_count = int(Effect::count);

namespace data_layout {

enum class Kind { picture, tune, sound };

// What an object is for. `set` tells looks or weapons apart, and for a picture that holds words
// its language (an index in languages: French 0, English 1); `frame` counts from 0 in the order
// the game shows the frames.
enum class Role {
    game_music, menu_music, bonus, play_button, invader, explosion, game_over_image, player,
    quit_pointer, mouse_pointer, quit_image, title_image, shot, invader_shot, sound_effect,
};

struct Slot {
    Kind kind;
    Role role;
    int set;
    int frame;
};

// Consecutive objects of one role and set, frames first_frame, first_frame + 1, ...
struct Run {
    Kind kind;
    Role role;
    int set;
    int first_frame;
    int count;
};

// The file, in index order. The invader looks are stored 0, 10, 1 to 9 and the
// explosion frames 0, 1, 10 to 19, 2, 20 to 24, 3 to 9; the game puts them back in order.
// The sound effects come last, frame = Effect: a file that stops before them still works.
constexpr Run runs[] = {
    {Kind::tune, Role::game_music, 0, 0, 1},
    {Kind::picture, Role::bonus, 0, 0, 3},
    {Kind::picture, Role::play_button, 0, 0, 3},  // set 0; frames: normal, hover, pressed
    {Kind::picture, Role::invader, 0, 0, 3},
    {Kind::picture, Role::invader, 10, 0, 3},
    {Kind::picture, Role::invader, 1, 0, 3},
    {Kind::picture, Role::invader, 2, 0, 3},
    {Kind::picture, Role::invader, 3, 0, 3},
    {Kind::picture, Role::invader, 4, 0, 3},
    {Kind::picture, Role::invader, 5, 0, 3},
    {Kind::picture, Role::invader, 6, 0, 3},
    {Kind::picture, Role::invader, 7, 0, 3},
    {Kind::picture, Role::invader, 8, 0, 3},
    {Kind::picture, Role::invader, 9, 0, 3},
    {Kind::picture, Role::explosion, 0, 0, 2},
    {Kind::picture, Role::explosion, 0, 10, 10},
    {Kind::picture, Role::explosion, 0, 2, 1},
    {Kind::picture, Role::explosion, 0, 20, 5},
    {Kind::picture, Role::explosion, 0, 3, 7},
    {Kind::picture, Role::game_over_image, 0, 0, 1},
    {Kind::tune, Role::menu_music, 0, 0, 1},
    {Kind::picture, Role::player, 0, 0, 3},
    {Kind::picture, Role::quit_pointer, 0, 0, 1},
    {Kind::picture, Role::mouse_pointer, 0, 0, 1},
    {Kind::picture, Role::quit_image, 0, 0, 1},
    {Kind::picture, Role::title_image, 0, 0, 1},
    {Kind::picture, Role::shot, 0, 0, 3},  // Missiles
    {Kind::picture, Role::shot, 1, 0, 3},  // Fireball
    {Kind::picture, Role::shot, 2, 0, 3},  // Choc
    {Kind::picture, Role::invader_shot, 0, 0, 3},
    {Kind::sound, Role::sound_effect, 0, 0, effect_count},
    // The pictures that hold words, in English: a file that stops before them speaks French.
    {Kind::picture, Role::play_button, 1, 0, 3},
    {Kind::picture, Role::quit_image, 1, 0, 1},
    {Kind::picture, Role::game_over_image, 1, 0, 1},
};

constexpr int count_objects() {
    int count = 0;
    for (const Run& run : runs) count += run.count;
    return count;
}
constexpr int object_count = count_objects();

constexpr std::array<Slot, object_count> make_slots() {
    std::array<Slot, object_count> slots{};
    int index = 0;
    for (const Run& run : runs)
        for (int f = 0; f < run.count; f++) slots[index++] = Slot{run.kind, run.role, run.set, run.first_frame + f};
    return slots;
}
// slots[i] is the object at index i.
constexpr std::array<Slot, object_count> slots = make_slots();

// The index of a role's frame, or -1 when the file has no such object.
constexpr int index_of(Role role, int set = 0, int frame = 0) {
    for (int i = 0; i < object_count; i++)
        if (slots[i].role == role && slots[i].set == set && slots[i].frame == frame) return i;
    return -1;
}

// The index of an effect's sound.
constexpr int index_of(Effect effect) { return index_of(Role::sound_effect, 0, int(effect)); }
// The objects every data file must have, the pictures and tunes; the sounds may be missing,
// and after them the pictures in English.
constexpr int required_object_count = index_of(Effect(0));
constexpr int with_sounds_count = required_object_count + effect_count;

constexpr bool holds_words(Role role) {
    return role == Role::play_button || role == Role::quit_image || role == Role::game_over_image;
}

// Allegro's dat type name and the source file extension of each kind, for the assembly step.
constexpr const char* dat_type(Kind kind) {
    return kind == Kind::tune ? "MIDI" : kind == Kind::sound ? "SAMP" : "BMP";
}
constexpr const char* source_extension(Kind kind) {
    return kind == Kind::tune ? "mid" : kind == Kind::sound ? "wav" : "pcx";
}
// The file a generator writes for object `index` and the assembly step reads: "NN.pcx".
inline std::string source_name(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "%02d.%s", index, source_extension(slots[index].kind));
    return name;
}

}  // namespace data_layout

// A rectangle of a picture's own pixels, edges included.
struct PictureArea {
    int left, top, right, bottom;
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// The quit dialog picture's areas, which its artwork must show and the dialog tests: "Oui", "Non" and the close box.
constexpr PictureArea quit_confirm_area{57, 82, 98, 110};
constexpr PictureArea quit_cancel_area{163, 82, 204, 110};
constexpr PictureArea quit_close_area{240, 1, 260, 21};
// The smallest dialog picture that holds every area (the pointer never leaves it).
constexpr int quit_image_min_width = quit_close_area.right + 1;
constexpr int quit_image_min_height = quit_cancel_area.bottom + 1;

// The data file's messages. A missing or unreadable file keeps the one message players
// know, with its fixed name.
inline const char* const data_file_failed = "Error loading 'zudaduviz.dat'\n";

// Where the game's files are looked for. Folders are absolute, without a trailing slash;
// an empty one is skipped.
struct DataPlaces {
    std::string working_dir;
    std::string executable_dir;
    std::string compiled_in_dir;
};
// Folders in the order they are looked at, each once: the working directory, the
// executable's folder, the data folder of an install into any prefix (../share/zudaduviz
// from the executable's folder), then the folder the build was told to install into.
std::vector<std::string> data_folders(const DataPlaces& places);
struct FoundFile {
    std::string path;                // empty when no place holds the file
    std::vector<std::string> tried;  // every path looked at, in order, the found one last
};
FoundFile find_data_file(const std::string& name, const DataPlaces& places,
                         const std::function<bool(const std::string&)>& usable);
// The message of a data file found nowhere (or found and not loaded): the message players
// know, then the places tried, one a line.
std::string data_file_missing(const std::vector<std::string>& tried);

// Checks the file's structure before Allegro's loader reads it (the loader is not safe
// on damaged files). Returns an empty string, or a French message that says what is wrong.
std::string check_data_file(const char* file_name);
// Checks that a loaded data file holds what the game relies on, for a screen of this
// size. Returns an empty string, or a French message.
std::string check_data_objects(const DATAFILE* data, int screen_width, int screen_height);
// The data file `named`, else the first file `name` of the places, checked before Allegro's
// loader reads it and after: the loaded file (its pictures at the colour depth set), or null
// and a French message in `failure`.
DATAFILE* load_data_file(const std::string& named, const char* name, const DataPlaces& places, int screen_width,
                         int screen_height, std::string& failure);
