// SPDX-License-Identifier: GPL-3.0-or-later
// The game's context: it starts Allegro, owns every resource for the whole run, and each
// screen of the program is one of its methods. The program's start (main), the tick counter,
// the callbacks, the fade and the sound of effects live beside it.
#pragma once

#include <allegro.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../actors/actors.h"
#include "../data/data_file.h"
#include "../input/input.h"
#include "../play/play.h"
#include "../replay/replay.h"
#include "../setup/setup.h"
#include "../view/view.h"

// 500 Hz tick counter: the timer thread increments it, the game thread reads it
// and sets it back at the start of a game and when the quit dialog closes.
constexpr int ticks_per_second = 500;
extern std::atomic<int> tick_counter;
void tick_callback();

// Set when the player clicks the window's close button, or SIGTERM, SIGINT or SIGHUP
// arrives: every screen then winds down to the title menu, which quits.
extern std::atomic<bool> close_requested;
void close_button_callback();

// Set when the window loses the keyboard focus, cleared when it gets it back: a game in
// progress then opens its quit dialog, so that the player comes back to a game that
// waits. Allegro's event thread calls the two callbacks.
extern std::atomic<bool> focus_lost;
void focus_lost_callback(), focus_back_callback();

// Set at each stroke of the Pause key. Allegro's X11 keyboard holds that key down from one
// stroke to the next, so key[KEY_PAUSE] would only answer every other stroke; every event
// of the key, down or up, is one stroke.
extern std::atomic<bool> pause_key_struck;
void pause_key_callback(int scancode);

// A failure that ends the game: in a message box while Allegro runs (the screen left for the
// text mode first), else on standard output; from then on a signal ends the game at once.
void show_failure(const std::string& message);

// Screen transitions. The fade to black: 32 displayed steps, alpha 0, 8, ..., 248
// (256 is never used).
constexpr int fade_steps = 32;
constexpr int fade_alpha(int step) { return step * 8; }

class Game {
public:
    BITMAP* buffer;
    DATAFILE* data;
    BITMAP *mouse_pointer, *title_image, *game_over_image, *quit_pointer, *quit_image;
    BITMAP *invader_frames[11][3], *explosion_frames[25], *player_frames[3];
    BITMAP *shot_frames[3][3], *invader_shot_frames[3], *bonus_frames[3];
    BITMAP *play_button_normal, *play_button_hover, *play_button_pressed;
    MIDI *menu_music, *game_music;
    // Null when the data file stops before the sounds.
    SAMPLE* effect_samples[effect_count];
    int width, height;
    int music_on;
    int star_layers, stars_per_layer;
    std::atomic<int>* ticks;
    int saved_ticks, last_tick;
    int fps_start_tick, fps_frames;
    double game_speed;
    // The game's level (1 to level_count) and the pace it sets: the player's choice, or the
    // level a game played back was recorded at. Set at each game start.
    int level;
    Pace pace;
    Star** star_field;
    std::vector<Explosion> explosions;
    std::vector<Shot> shots;
    std::vector<Invader> invaders;
    std::vector<Bonus> bonuses;
    // Only during a game: made at its start, gone at its end.
    std::optional<PlayerShip> player;
    // True when this context started Allegro's devices and so must shut them down.
    bool owns_system;
    Settings settings;
    // Where the settings are kept; empty in tests and where there is no home folder.
    std::string settings_path;
    // Sounds one effect at a pan (0 left, 128 centre, 255 right). Set at start-up when
    // there is a sound device and the data file has the sounds, empty otherwise; tests
    // put a recorder here.
    std::function<void(Effect effect, int pan)> effect_player;
    // How the picture is shown on the screen, and where the pointer is kept (set again
    // after a change of display mode).
    View view;
    // Tests watch every frame a screen shows through this; the game leaves it empty.
    std::function<void(BITMAP*)> frame_observer;
    // The best score to beat at each level, read at start-up and raised as games end; where
    // level 1's is kept (empty in tests and where there is no home folder: then they last for
    // the run), the other levels' beside it (level_path).
    int records[level_count];
    std::string record_path;
    // The table of honour as last read, each entry proven or not.
    HonourTable honour;
    GamePad pad;
    // The game's random numbers, and the recording of the game or the one played back.
    ReplayDeck replay;
    // The title's demo, looked for once per start and again once a game has been kept (it may
    // be the one to show now), never at every idle: `demo_found` when there is one.
    ReplayFile demo;
    bool demo_sought = false, demo_found = false;

    // Starts Allegro, the devices, the screen (16-bit buffer), loads the data file and
    // creates the star field; on any failure shows a message and exits with 1. The data
    // file is `options.data_file` when given, else `datafile_name` looked for in
    // data_folders(); the display is the one the options, else the settings, choose.
    Game(int width, int height, const char* datafile_name, int star_layers, int stars_per_layer,
         const Options& options = Options());
    // A context on memory bitmaps only, for tests and benchmarks: Allegro must be
    // installed already (SYSTEM_NONE is enough); no device is started, nothing is
    // loaded and every picture field is null until the caller sets it.
    Game(int width, int height, int star_layers, int stars_per_layer);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Points every picture, tune and sound field at its object of a loaded data file.
    void take_objects(DATAFILE* loaded);

    // Screen transitions. The reset forgets every key but Alt.
    void fade_out();
    void reset_keyboard();

    // The display: the mode the settings choose, the keys that change it at any screen
    // (Alt+Enter or F11: window or full screen; F10: the window's scale; F9: "fill"), and
    // what a new screen needs (title, close button, focus, the pointer's range).
    bool open_display();
    void change_display(const Settings& wanted);
    void mind_the_window();
    void keep_pointer_in(int left, int top, int right, int bottom);
    // True once per press of Alt+Enter or F11.
    bool display_switch_wanted();
    void answer_display_keys();
    // Enter alone: with Alt held it belongs to the display switch.
    bool enter_pressed() const;

    // Screens.
    bool title_menu();
    void play_game(std::atomic<int>* ticks);
    // The opening, the frame count and the closing of play_game.
    void start_game(std::atomic<int>* ticks);
    void count_frame();
    void end_game();
    bool quit_dialog();
    bool pause_screen();
    bool game_over_screen();
    // Every action read in play with its key and gamepad button, for the player to change.
    // Returns to the title on Escape, "Retour" or the window's close.
    void keys_screen();
    // The table of honour at the level chosen on the title: the player's to walk (and watch its
    // games) until Escape, or shown by the title's idle loop until any input.
    void score_table_screen(bool shown_idle);
    // Plays a recorded game on the play field, paced by the clock as it was played. The title's
    // demo is silent, says "DÉMO" and ends at once at any input; --rejouer ends with the game,
    // or earlier through the quit dialog. A mismatch ends it too (left in replay.mismatch).
    void watch_replay(const ReplayFile& file, bool demo);

    // The player's inputs, each from the keyboard and the gamepad together.
    bool fire_held() const;
    bool left_held() const;
    bool right_held() const;
    bool weapon_chosen(int weapon) const;
    // Escape, Start, or the window's focus lost (taken once).
    bool quit_asked();
    bool pause_asked() const;

    // One frame of play.
    bool update_frame();
    void render_frame();
    // Draws the play field and the head-up display into the buffer (render_frame without showing it).
    void draw_frame();
    // vsync, then the whole buffer to the screen through the view: the one way every screen is shown.
    void show_buffer();

    // The steps of update_frame, in the order it runs them. The inputs are read once, at
    // the start of the update (or taken from the game played back).
    UpdateInputs read_inputs();
    void fire(const UpdateInputs& inputs);
    void steer(int elapsed, const UpdateInputs& inputs);
    void read_speed_keys(const UpdateInputs& inputs);
    void choose_weapon(const UpdateInputs& inputs);
    void save_screenshot();
    void scroll_stars(int elapsed);
    void move_shots(int elapsed);
    void spawn_random_bonus();
    void move_bonuses(int elapsed);
    void spawn_random_invader();
    void move_invaders(int elapsed);
    void update_ship();
    void ram_invaders();
    void advance_explosions();

    // Shared by the steps.
    void drop_bonus(int centre_x, int centre_y);
    // Sounds an effect heard from x on the screen, when the player has effects on.
    void play_effect(Effect effect, int x);
    int frames_per_second() const;

private:
    [[noreturn]] void fail(const std::string& message);
    // The patch set for the music, then Allegro's sound, quietly.
    void start_sound(const DataPlaces& places);
};
