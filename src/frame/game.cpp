// Start-up and shutdown of the game's context.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "frame/game.h"

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
      player(nullptr), owns_system(true) {
    take_objects(nullptr);
    // Without an X display there is no system driver, and every later call would crash.
    if (allegro_init() != 0) fail(graphics_failed);
    if (install_keyboard() < 0) fail(keyboard_failed);
    if (install_mouse() < 0) fail(mouse_failed);
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
    if (const char* broken = check_data_file(datafile_name)) fail(broken);
    DATAFILE* loaded = load_datafile(datafile_name);
    if (!loaded) fail(data_file_failed);
    if (const char* wrong = check_data_objects(loaded, width, height)) fail(wrong);
    take_objects(loaded);

    srand(time(nullptr));
    star_field = create_star_field(star_layers, stars_per_layer, width, height);
}

Game::Game(int width, int height, int star_layers, int stars_per_layer)
    : buffer(create_bitmap(width, height)), data(nullptr), width(width), height(height),
      music_on(0), star_layers(star_layers), stars_per_layer(stars_per_layer), ticks(nullptr),
      saved_ticks(0), last_tick(0), fps_start_tick(0), fps_frames(0), game_speed(1.0),
      star_field(create_star_field(star_layers, stars_per_layer, width, height)),
      player(nullptr), owns_system(false) {
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
    data = loaded;
    auto bitmap = [loaded](int index) { return loaded ? static_cast<BITMAP*>(loaded[index].dat) : nullptr; };
    auto midi = [loaded](int index) { return loaded ? static_cast<MIDI*>(loaded[index].dat) : nullptr; };
    using namespace data_index;

    game_music = midi(data_index::game_music);
    menu_music = midi(data_index::menu_music);
    for (int f = 0; f < 3; f++) {
        bonus_frames[f] = bitmap(bonus_first + f);
        player_frames[f] = bitmap(player_first + f);
        invader_shot_frames[f] = bitmap(invader_shot_first + f);
        for (int w = 0; w < 3; w++) shot_frames[w][f] = bitmap(shot_first + 3 * w + f);
    }
    for (int index = invader_look0_first; index <= invader_last; index++)
        invader_frames[invader_look_of(index)][invader_frame_of(index)] = bitmap(index);
    for (int index = explosion_first; index <= explosion_last; index++)
        explosion_frames[explosion_frame_of(index)] = bitmap(index);
    play_button_normal = bitmap(data_index::play_button_normal);
    play_button_hover = bitmap(data_index::play_button_hover);
    play_button_pressed = bitmap(data_index::play_button_pressed);
    game_over_image = bitmap(data_index::game_over_image);
    quit_pointer = bitmap(data_index::quit_pointer);
    mouse_pointer = bitmap(data_index::mouse_pointer);
    quit_image = bitmap(data_index::quit_image);
    title_image = bitmap(data_index::title_image);
}

void Game::fail(const char* message) {
    if (system_driver) {
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        allegro_message("%s", message);
    } else {
        // No display to show a message box on: the console is all there is.
        fputs(message, stdout);
        fflush(stdout);
    }
    exit(1);
}
