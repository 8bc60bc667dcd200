// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and shutdown of the game's context.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "game/game.h"

#include "data/data_file.h"
#include "host/host.h"
#include "language/language.h"

namespace {
const char* const keyboard_failed = N_("Le driver du clavier ne peut etre initialisé :(\n");
const char* const mouse_failed = N_("Le driver de la souris ne peut etre initialisé :(\n");
const char* const buffer_failed = N_("Le buffer ne peut être créé :(\n");
// Allegro's synthesiser plays the tunes on voices of the same mixer as the effects: each
// side gets voices of its own, so that a volley of effects never takes a note from the
// music. The tunes keep the 24 voices they always had (they sound the same on 8); 16
// let the shots, hits and explosions of full fire overlap without cutting each other
// short.
constexpr int effect_voices = 16;
constexpr int music_voices = 24;
}  // namespace

Game::Game(int width, int height, const char* datafile_name, int star_layers, int stars_per_layer,
           const Options& options)
    : buffer(nullptr), data(nullptr), width(width), height(height), music_on(0),
      star_layers(star_layers), stars_per_layer(stars_per_layer), ticks(nullptr), saved_ticks(0),
      last_tick(0), fps_start_tick(0), fps_frames(0), game_speed(1.0), level(1), pace(paces[0]),
      star_field(nullptr), owns_system(true), view(width, height), records() {
    take_objects(nullptr);
    // Held from before the settings are written until Allegro's own handlers are replaced: a
    // signal meanwhile waits, and never ends the game between a temporary file and its rename.
    EndSignals end_signals;
    settings_path = player_settings_path();
    settings = load_settings(settings_path);
    // As the player last left it (off at the first start); off again where no sound can start.
    music_on = settings.music_on;
    if (take_display_choice(options, settings)) save_settings(settings, settings_path);
    if (!player_data_dir().empty()) record_path = player_data_dir() + "/record";
    replay.recording = true;  // every game is kept to be watched again
    const DataPlaces places = this_program_places();
    // Without an X display there is no system driver, and every later call would crash.
    if (allegro_init() != 0) fail(_(graphics_failed));
    end_on_display_loss();
    // A signal ends the game as the close button does: every screen winds down to the title.
    end_signals.take(close_button_callback);
    if (install_keyboard() < 0) fail(_(keyboard_failed));
    // Allegro's X keyboard takes the player's locale for its input method: the numbers printed
    // stay in the one format the game's files use, whatever it is.
    setlocale(LC_NUMERIC, "C");
    keyboard_lowlevel_callback = pause_key_callback;
    if (install_mouse() < 0) fail(_(mouse_failed));
    // No gamepad: the keyboard alone, without a word.
    install_joystick(JOY_TYPE_AUTODETECT);
    start_sound(places);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    text_mode(-1);  // every text is drawn on a transparent background
#pragma GCC diagnostic pop
    // The buffer and the pictures are 16-bit whatever the screen's depth (the pictures are
    // converted at load to the depth set here).
    set_color_depth(16);
    if (!open_display()) fail(_(graphics_failed));
    buffer = create_bitmap(width, height);
    if (!buffer) fail(_(buffer_failed));

    // The file named on the command line, else the first place that holds one.
    std::string failure;
    DATAFILE* loaded = load_data_file(options.data_file, datafile_name, places, width, height, failure);
    if (!loaded) fail(failure);
    take_objects(loaded);
    // Effects need a digital sound device and a data file with the sounds; without either
    // they are silently left out.
    if (digi_driver->id != DIGI_NONE && effect_samples[0])
        effect_player = [this](Effect effect, int pan) { play_sample(effect_samples[int(effect)], 255, pan, 1000, 0); };

    srand(time(nullptr));
    star_field = create_star_field(star_layers, stars_per_layer, width, height);
    // Proven on the pictures just loaded: the records to beat are proven ones. Only the pace
    // chosen: its record and its demo come first; the others when they are shown.
    read_honour(*this, settings.level);
}

Game::Game(int width, int height, int star_layers, int stars_per_layer)
    : buffer(create_bitmap(width, height)), data(nullptr), width(width), height(height),
      music_on(0), star_layers(star_layers), stars_per_layer(stars_per_layer), ticks(nullptr),
      saved_ticks(0), last_tick(0), fps_start_tick(0), fps_frames(0), game_speed(1.0), level(1), pace(paces[0]),
      star_field(create_star_field(star_layers, stars_per_layer, width, height)),
      owns_system(false), view(width, height), records() {
    take_objects(nullptr);
    clear_bitmap(buffer);
}

Game::~Game() {
    if (owns_system) fade_out();
    destroy_star_field(star_field, star_layers);
    if (data) unload_datafile(data);
    destroy_bitmap(buffer);
    if (pointer_view == &view) pointer_view = nullptr;
    if (owns_system) allegro_exit();
}

void Game::take_objects(DATAFILE* loaded) {
    using data_layout::Role;
    data = loaded;
    int loaded_count = 0;  // the file may stop before the sounds, or before the pictures in English
    while (loaded && loaded[loaded_count].type != DAT_END) loaded_count++;
    // The pictures that hold words: the language spoken's when the file has them, else French.
    const int words = loaded_count >= data_layout::object_count ? spoken_language() : french;
    for (int index = 0; index < data_layout::object_count; index++) {
        const data_layout::Slot& slot = data_layout::slots[index];
        if (data_layout::holds_words(slot.role) && slot.set != words) continue;
        void* object = index < loaded_count ? loaded[index].dat : nullptr;
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
            case Role::sound_effect: effect_samples[slot.frame] = static_cast<SAMPLE*>(object); break;
        }
    }
}

void Game::start_sound(const DataPlaces& places) {
    silence_alsa();
    // Allegro looks for the instruments next to the executable only: an installed game
    // points it at the data folder, unless the player's own Allegro settings name a set.
    const char* chosen = get_config_string("sound", "patches", nullptr);
    if (!chosen || !chosen[0]) {
        DataPlaces beside_the_program = places;
        beside_the_program.working_dir.clear();
        const FoundFile patches = find_data_file("patches.dat", beside_the_program, is_readable_file);
        if (!patches.path.empty()) {
            const std::string setting = "[sound]\npatches = " + patches.path + "\n";
            override_config_data(setting.c_str(), setting.size());
        }
    }
    reserve_voices(effect_voices, music_voices);
    // No sound card, or no patch set: the game runs silent, without a word.
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, "blast") < 0) music_on = 0;
}

void show_failure(const std::string& message) {
    end_on_signal_from_now_on();  // nothing reads the close flag while a message box waits
    if (system_driver) {
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        allegro_message("%s", message.c_str());
    } else {
        // No display to show a message box on: the console is all there is.
        fputs(message.c_str(), stdout);
        fflush(stdout);
    }
}

void Game::fail(const std::string& message) {
    show_failure(message);
    exit(1);
}
