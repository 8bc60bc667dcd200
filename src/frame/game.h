// The game's context: it starts Allegro, owns every resource for the whole run,
// and each screen of the program is one of its methods.
#pragma once

#include <allegro.h>

#include <atomic>
#include <vector>

#include "../actors/actors.h"
#include "../play/play.h"

// 500 Hz tick counter: the timer thread increments it, the game thread reads it
// and sets it back at the start of a game and when the quit dialog closes.
extern std::atomic<int> tick_counter;
void tick_callback();

// Set when the player clicks the window's close button: every screen then winds
// down to the title menu, which quits.
extern std::atomic<bool> close_requested;
void close_button_callback();

// Where each object sits in the data file. The game addresses objects by index only.
namespace data_index {
constexpr int game_music = 0;
constexpr int bonus_first = 1;
constexpr int play_button_normal = 4;
constexpr int play_button_hover = 5;
constexpr int play_button_pressed = 6;
constexpr int invader_look0_first = 7;   // look 0: 7-9
constexpr int invader_look10_first = 10; // look 10: 10-12, then looks 1-9 at 13-39
constexpr int invader_last = 39;
constexpr int explosion_first = 40;      // 40-64, stored out of order (see explosion_frame_of)
constexpr int explosion_last = 64;
constexpr int game_over_image = 65;
constexpr int menu_music = 66;
constexpr int player_first = 67;
constexpr int quit_pointer = 70;
constexpr int mouse_pointer = 71;
constexpr int quit_image = 72;
constexpr int title_image = 73;
constexpr int shot_first = 74;           // 74-82: Missiles, Fireball, Choc
constexpr int invader_shot_first = 83;
constexpr int object_count = 86;

// Invader look and frame stored at an index of 7-39.
inline int invader_look_of(int index) { return index < 10 ? 0 : (index - 10) / 3 == 0 ? 10 : (index - 10) / 3; }
inline int invader_frame_of(int index) { return index < 10 ? index - 7 : (index - 10) % 3; }
// Explosion frame stored at an index of 40-64: 0, 1, 10-19, 2, 20-24, 3-9.
inline int explosion_frame_of(int index) {
    if (index <= 41) return index - 40;
    if (index <= 51) return index - 32;
    if (index == 52) return 2;
    if (index <= 57) return index - 33;
    return index - 55;
}
}  // namespace data_index

// The fixed areas of the quit dialog, in the dialog picture's own pixels (inclusive).
struct PictureArea {
    int left, top, right, bottom;
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};
constexpr PictureArea quit_confirm_area{57, 82, 98, 110};
constexpr PictureArea quit_cancel_area{163, 82, 204, 110};
constexpr PictureArea quit_close_area{240, 1, 260, 21};
constexpr int quit_image_min_width = 261;
constexpr int quit_image_min_height = 111;

// The message of a missing or unreadable data file (the name in it is fixed).
inline const char* const data_file_failed = "Error loading 'zudaduviz.dat'\n";

// Checks that a loaded data file holds what the game relies on. Returns nullptr
// when it does, or a French message that says what is wrong.
const char* check_data_objects(const DATAFILE* data, int screen_width, int screen_height);
// Checks the file's structure before Allegro's loader reads it (the loader is not
// safe on damaged files). Returns nullptr or a French message.
const char* check_data_file(const char* file_name);

// The fade to black: 32 displayed steps, alpha 0, 8, ..., 248 (256 is never used).
constexpr int fade_steps = 32;
constexpr int fade_alpha(int step) { return step * 8; }

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

    // Starts Allegro, the devices, the 16-bit screen, loads the data file and
    // creates the star field; on any failure shows a message and exits with 1.
    Game(int width, int height, const char* datafile_name, int star_layers, int stars_per_layer);
    // A context on memory bitmaps only, for tests and benchmarks: Allegro must be
    // installed already (SYSTEM_NONE is enough); no device is started, nothing is
    // loaded and every picture field is null until the caller sets it.
    Game(int width, int height, int star_layers, int stars_per_layer);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Points every picture and tune field at its object of a loaded data file.
    void take_objects(DATAFILE* loaded);

    // Screen transitions.
    void fade_out();
    void reset_keyboard();

    // Screens.
    bool title_menu();
    void play_game(std::atomic<int>* ticks);
    // The opening, the frame count and the closing of play_game.
    void start_game(std::atomic<int>* ticks);
    void count_frame();
    void end_game();
    bool quit_dialog();
    bool game_over_screen();

    // One frame of play.
    bool update_frame();
    void render_frame();
    // Draws the play field and the head-up display into the buffer (render_frame without showing it).
    void draw_frame();
    // vsync, then the whole buffer to the screen: the one way every screen is shown.
    void show_buffer();

    // The steps of update_frame, in the order it runs them.
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
    int frames_per_second() const;

private:
    [[noreturn]] void fail(const char* message);
};
