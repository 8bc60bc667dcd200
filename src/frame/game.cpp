// Start-up and shutdown of the game's context.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "frame/game.h"

#include "data/data_file.h"

namespace {
const char* const keyboard_failed = "Le driver du clavier ne peut etre initialisé :(\n";
const char* const mouse_failed = "Le driver de la souris ne peut etre initialisé :(\n";
const char* const graphics_failed = "Le mode graphique ne peut etre mis en place :(\n";
const char* const buffer_failed = "Le buffer ne peut être créé :(\n";
}  // namespace

Game::Game(int width, int height, const char* datafile_name, int star_layers, int stars_per_layer)
    : buffer(nullptr), data(nullptr), width(width), height(height), music_on(0),
      star_layers(star_layers), stars_per_layer(stars_per_layer), ticks(nullptr), saved_ticks(0),
      last_tick(0), fps_start_tick(0), fps_frames(0), game_speed(1.0), star_field(nullptr),
      player(nullptr), owns_system(true), record(0) {
    take_objects(nullptr);
    if (!player_config_dir().empty()) settings_path = player_config_dir() + "/settings";
    settings = load_settings(settings_path);
    if (!player_data_dir().empty()) record_path = player_data_dir() + "/record";
    record = load_record(record_path);
    // Without an X display there is no system driver, and every later call would crash.
    if (allegro_init() != 0) fail(graphics_failed);
    if (install_keyboard() < 0) fail(keyboard_failed);
    keyboard_lowlevel_callback = pause_key_callback;
    if (install_mouse() < 0) fail(mouse_failed);
    // No gamepad: the keyboard alone, without a word.
    install_joystick(JOY_TYPE_AUTODETECT);
    // No sound card, or no patch set: the game runs silent, without a word.
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, "blast") < 0) music_on = 0;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    text_mode(-1);  // every text is drawn on a transparent background
#pragma GCC diagnostic pop
    set_color_depth(16);
    if (set_gfx_mode(GFX_AUTODETECT, width, height, 0, 0) < 0) fail(graphics_failed);
    set_close_button_callback(close_button_callback);
    buffer = create_bitmap(width, height);
    if (!buffer) fail(buffer_failed);

    // Allegro's loader crashes on damaged files: check the structure first, then
    // what the game relies on once loaded. Loaded after the mode is set, so the
    // pictures come converted to the screen's 16-bit colour.
    if (std::string broken = check_data_file(datafile_name); !broken.empty()) fail(broken);
    DATAFILE* loaded = load_datafile(datafile_name);
    if (!loaded) fail(data_file_failed);
    if (std::string wrong = check_data_objects(loaded, width, height); !wrong.empty()) fail(wrong);
    take_objects(loaded);

    srand(time(nullptr));
    star_field = create_star_field(star_layers, stars_per_layer, width, height);
}

Game::Game(int width, int height, int star_layers, int stars_per_layer)
    : buffer(create_bitmap(width, height)), data(nullptr), width(width), height(height),
      music_on(0), star_layers(star_layers), stars_per_layer(stars_per_layer), ticks(nullptr),
      saved_ticks(0), last_tick(0), fps_start_tick(0), fps_frames(0), game_speed(1.0),
      star_field(create_star_field(star_layers, stars_per_layer, width, height)),
      player(nullptr), owns_system(false), record(0) {
    take_objects(nullptr);
    clear_bitmap(buffer);
}

Game::~Game() {
    if (owns_system) fade_out();
    destroy_star_field(star_field, star_layers);
    if (data) unload_datafile(data);
    destroy_bitmap(buffer);
    if (owns_system) allegro_exit();
}

void Game::take_objects(DATAFILE* loaded) {
    using data_layout::Role;
    data = loaded;
    for (int index = 0; index < data_layout::object_count; index++) {
        const data_layout::Slot& slot = data_layout::slots[index];
        void* object = loaded ? loaded[index].dat : nullptr;
        BITMAP* bitmap = static_cast<BITMAP*>(object);
        switch (slot.role) {
            case Role::game_music: game_music = static_cast<MIDI*>(object); break;
            case Role::menu_music: menu_music = static_cast<MIDI*>(object); break;
            case Role::bonus: bonus_frames[slot.frame] = bitmap; break;
            case Role::play_button:
                (slot.frame == 0 ? play_button_normal : slot.frame == 1 ? play_button_hover : play_button_pressed) = bitmap;
                break;
            case Role::invader: invader_frames[slot.set][slot.frame] = bitmap; break;
            case Role::explosion: explosion_frames[slot.frame] = bitmap; break;
            case Role::game_over_image: game_over_image = bitmap; break;
            case Role::player: player_frames[slot.frame] = bitmap; break;
            case Role::quit_pointer: quit_pointer = bitmap; break;
            case Role::mouse_pointer: mouse_pointer = bitmap; break;
            case Role::quit_image: quit_image = bitmap; break;
            case Role::title_image: title_image = bitmap; break;
            case Role::shot: shot_frames[slot.set][slot.frame] = bitmap; break;
            case Role::invader_shot: invader_shot_frames[slot.frame] = bitmap; break;
        }
    }
}

void Game::fail(const std::string& message) {
    if (system_driver) {
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        allegro_message("%s", message.c_str());
    } else {
        // No display to show a message box on: the console is all there is.
        fputs(message.c_str(), stdout);
        fflush(stdout);
    }
    exit(1);
}
