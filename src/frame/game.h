// The game's context: it starts Allegro, owns every resource for the whole run,
// and each screen of the program is one of its methods. Each room has its own header:
// data/ the data file, menu/ the widgets, play/ the star field, actors/ the actors,
// display/ the quit dialog's areas.
#pragma once

#include <allegro.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "../actors/actors.h"
#include "../data/data_file.h"
#include "../play/play.h"

// 500 Hz tick counter: the timer thread increments it, the game thread reads it
// and sets it back at the start of a game and when the quit dialog closes.
constexpr int ticks_per_second = 500;
extern std::atomic<int> tick_counter;
void tick_callback();

// Set when the player clicks the window's close button: every screen then winds
// down to the title menu, which quits.
extern std::atomic<bool> close_requested;
void close_button_callback();

// Set when the window loses the keyboard focus, cleared when it gets it back: a game in
// progress then opens its quit dialog, so that the player comes back to a game that
// waits. Allegro's event thread calls the two callbacks.
extern std::atomic<bool> focus_lost;
void focus_lost_callback();
void focus_back_callback();

// Set at each stroke of the Pause key. Allegro's X11 keyboard holds that key down from one
// stroke to the next, so key[KEY_PAUSE] would only answer every other stroke; every event
// of the key, down or up, is one stroke.
extern std::atomic<bool> pause_key_struck;
void pause_key_callback(int scancode);

// Screen transitions. The fade to black: 32 displayed steps, alpha 0, 8, ..., 248
// (256 is never used).
constexpr int fade_steps = 32;
constexpr int fade_alpha(int step) { return step * 8; }

// The player's choices, kept between runs in the settings file.
struct Settings {
    // unchosen: Allegro picks the mode, full screen wherever the machine allows it.
    enum class Display { unchosen, window, fullscreen };
    Display display = Display::unchosen;
    bool effects_on = true;
};
// The player's folders: $XDG_CONFIG_HOME/zudaduviz and $XDG_DATA_HOME/zudaduviz (by
// default under ~/.config and ~/.local/share); empty when no home can be found.
std::string player_config_dir();
std::string player_data_dir();
// A missing, unreadable or damaged settings file gives the defaults; unknown lines are skipped.
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
// two games ending at once keep the higher. Returns the file's record before, 0 when there was
// none or it cannot be read; a file that cannot be written is left as it is, without a word.
int keep_record(const std::string& path, int score);

// What the command line asks for. With no arguments: play, as the player last chose.
struct Options {
    enum class Action { play, help, version, usage_error };
    Action action = Action::play;
    // unchosen: the saved choice, or Allegro's pick on a first start.
    Settings::Display display = Settings::Display::unchosen;
    // Empty: the data file is looked for (see data_folders).
    std::string data_file;
    // For usage_error: what was wrong, in French.
    std::string error;
};
Options parse_options(int argc, const char* const* argv);
// What --help and --version print (French).
std::string help_text();
std::string version_text();
// What a wrong command line gets on standard error, before the exit with 2.
std::string usage_text(const std::string& error);
constexpr int usage_exit_code = 2;

// Where this program looks for its files: the working directory, its own folder (from the
// kernel, every link resolved) and the folder the build installs the data into.
DataPlaces this_program_places();
// A regular file this process can read.
bool is_readable_file(const std::string& path);
// Keeps alsa-lib from printing its errors on the terminal (no sound card: nine lines).
void silence_alsa();

// The graphics drivers to try, in order, for a display choice: Allegro's own pick on a
// first start, else the one chosen then the other.
std::vector<int> graphics_cards_for(Settings::Display display);

// The start-up failure that a change of display mode can meet too.
inline const char* const graphics_failed = "Le mode graphique ne peut etre mis en place :(\n";

class Game {
public:
    BITMAP* buffer;
    DATAFILE* data;
    BITMAP* mouse_pointer;
    BITMAP* title_image;
    BITMAP* invader_frames[11][3];
    BITMAP* explosion_frames[25];
    BITMAP* game_over_image;
    BITMAP* player_frames[3];
    BITMAP* quit_pointer;
    BITMAP* quit_image;
    BITMAP* shot_frames[3][3];
    BITMAP* invader_shot_frames[3];
    BITMAP* bonus_frames[3];
    BITMAP* play_button_normal;
    BITMAP* play_button_hover;
    BITMAP* play_button_pressed;
    MIDI* menu_music;
    MIDI* game_music;
    // Null when the data file stops before the sounds.
    SAMPLE* effect_samples[effect_count];
    int width;
    int height;
    int music_on;
    int star_layers;
    int stars_per_layer;
    std::atomic<int>* ticks;
    int saved_ticks;
    int last_tick;
    int fps_start_tick;
    int fps_frames;
    double game_speed;
    Star** star_field;
    std::vector<Explosion> explosions;
    std::vector<Shot> shots;
    std::vector<Invader> invaders;
    std::vector<Bonus> bonuses;
    PlayerShip* player;
    // True when this context started Allegro's devices and so must shut them down.
    bool owns_system;
    Settings settings;
    // Where the settings are kept; empty in tests and where there is no home folder.
    std::string settings_path;
    // Sounds one effect at a pan (0 left, 128 centre, 255 right). Set at start-up when
    // there is a sound device and the data file has the sounds, empty otherwise; tests
    // put a recorder here.
    std::function<void(Effect effect, int pan)> effect_player;
    // Where the mouse pointer is kept (screen pixels, edges included), set again after a
    // change of display mode.
    int pointer_left, pointer_top, pointer_right, pointer_bottom;
    // The window/full screen keys were down at the last look: one press, one switch.
    bool switch_keys_down;
    // Tests watch every frame a screen shows through this; the game leaves it empty.
    std::function<void(BITMAP*)> frame_observer;
    // The best score to beat, read at start-up and raised as games end; where it is kept
    // (empty in tests and where there is no home folder: then it lasts for the run).
    int record;
    std::string record_path;
    GamePad pad;

    // Starts Allegro, the devices, the 16-bit screen, loads the data file and
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

    // The display: the mode at start-up, the switch between a window and the full screen,
    // and what a new screen needs (title, close button, focus, the pointer's range).
    bool set_display(Settings::Display display);
    void mind_the_window();
    void keep_pointer_in(int left, int top, int right, int bottom);
    // True once per press of Alt+Enter or F11.
    bool display_switch_wanted();
    void switch_display();
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
    // vsync, then the whole buffer to the screen: the one way every screen is shown.
    void show_buffer();

    // The steps of update_frame, in the order it runs them.
    void read_gamepad();
    void fire();
    void steer(int elapsed);
    void read_speed_keys();
    void choose_weapon();
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
