// A game on memory bitmaps for the gameplay tests: opaque strips of known sizes
// for every actor, a fresh ship at its starting place, and a tick counter that
// the test moves by hand.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "frame/game.h"
#include "support.h"

struct HeadlessAllegro {
    HeadlessAllegro() { start_headless_allegro(); }
};

// One picture owned by the test.
struct Picture {
    BITMAP* bitmap;
    Picture(int w, int h, int colour) : bitmap(make_filled(w, h, colour)) {}
    ~Picture() { destroy_bitmap(bitmap); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
};

inline int solid_colour() { return makecol(40, 200, 90); }
inline int quit_colour() { return makecol(90, 90, 160); }

// Sizes every test can count on.
constexpr int ship_w = 64, ship_h = 48;  // the ship starts at (368, 552)
constexpr int missile_w = 10, fireball_w = 16, choc_w = 40, ship_shot_h = 20;
constexpr int invader_shot_w = 6, invader_shot_h = 12;
constexpr int invader_w = 40, invader_h = 40;
constexpr int bonus_w = 24, bonus_h = 24;

class PlayScene : public ::testing::Test {
protected:
    HeadlessAllegro allegro;
    TestStrip ship_strip{ship_w, ship_h, solid_colour()};
    TestStrip missile_strip{missile_w, ship_shot_h, solid_colour()};
    TestStrip fireball_strip{fireball_w, ship_shot_h, solid_colour()};
    TestStrip choc_strip{choc_w, ship_shot_h, solid_colour()};
    TestStrip invader_shot_strip{invader_shot_w, invader_shot_h, solid_colour()};
    TestStrip invader_strip{invader_w, invader_h, solid_colour()};
    TestStrip bonus_strip{bonus_w, bonus_h, solid_colour()};
    TestStrip explosion_strip{30, 30, solid_colour()};
    Picture quit_picture{301, 151, quit_colour()};
    Picture quit_pointer{12, 19, makecol(255, 255, 255)};
    Picture game_over_picture{201, 101, makecol(250, 250, 0)};
    std::atomic<int> clock{0};
    Game game{800, 600, 5, 100};

    void SetUp() override {
        copy_strip(game.player_frames, ship_strip);
        copy_strip(game.shot_frames[weapons::missiles], missile_strip);
        copy_strip(game.shot_frames[weapons::fireball], fireball_strip);
        copy_strip(game.shot_frames[weapons::choc], choc_strip);
        copy_strip(game.invader_shot_frames, invader_shot_strip);
        for (auto& look : game.invader_frames) copy_strip(look, invader_strip);
        copy_strip(game.bonus_frames, bonus_strip);
        for (BITMAP*& frame : game.explosion_frames) frame = explosion_strip.bitmaps[0];
        game.quit_image = quit_picture.bitmap;
        game.quit_pointer = quit_pointer.bitmap;
        game.game_over_image = game_over_picture.bitmap;
        game.start_game(&clock);
        srand(1234);
    }

    void TearDown() override {
        delete game.player;
        game.player = nullptr;
        game.reset_keyboard();
        mouse_b = 0;
    }

    static void copy_strip(BITMAP** field, const TestStrip& strip) {
        for (int f = 0; f < 3; f++) field[f] = strip.bitmaps[f];
    }

    PlayerShip& ship() { return *game.player; }

    // The shots fired by the ship (invaders that happen to come may add their own).
    int ship_shots() const {
        int count = 0;
        for (const Shot& shot : game.shots) count += shot.weapon != weapons::invader;
        return count;
    }

    // An invader of look 0 put where the test wants it (its constructor draws one rand()).
    Invader& add_invader(double x, double y, int kind = 0) {
        game.invaders.emplace_back(kind, game.width, game.invader_frames[kind], 0.4);
        Invader& invader = game.invaders.back();
        invader.x = x;
        invader.y = y;
        return invader;
    }

    Shot& add_shot(int weapon, double x, double y) {
        BITMAP** strip = weapon == weapons::invader ? game.invader_shot_frames : game.shot_frames[weapon];
        game.shots.emplace_back(0, 0, weapon, weapon == weapons::invader ? 1 : 0, strip, 0.6);
        Shot& shot = game.shots.back();
        shot.x = x;
        shot.y = y;
        return shot;
    }

    Bonus& add_bonus(double x, double y, int kind) {
        game.bonuses.emplace_back(0, 0, kind, game.bonus_frames, 0.25);
        Bonus& bonus = game.bonuses.back();
        bonus.x = x;
        bonus.y = y;
        return bonus;
    }

    // Waits (a short while at most) until the quit dialog's picture is on the
    // buffer: its loop is running, and it has taken the tick count.
    void wait_until_dialog_shown() {
        for (int i = 0; i < 2000 && getpixel(game.buffer, 400, 300) != quit_colour(); i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    // One frame update after the clock has moved on by `ticks`.
    bool update_after(int ticks) {
        clock += ticks;
        return game.update_frame();
    }
};

// Waits (a short while at most) until a modal screen has cleared the keyboard on
// entry: the test raises `marker` before opening it.
inline void wait_until_cleared(int marker) {
    for (int i = 0; i < 2000 && key[marker]; i++) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

inline void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
