// SPDX-License-Identifier: GPL-3.0-or-later
// A game on memory bitmaps for the gameplay tests: opaque strips of known sizes,
// a fresh 64 x 48 ship at (368, 552), and a tick counter the test moves by hand.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "game/game.h"
#include "support.h"

inline void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

constexpr int quit_colour = 5;  // the quit picture's only colour
using Heard = std::vector<std::pair<Effect, int>>;  // each effect with its pan, recorded for the mixer

class PlayScene : public ::testing::Test {
protected:
    bool allegro = (start_headless_allegro(), true);
    TestStrip ship_strip{64, 48, 1}, invader_strip{40, 40, 1}, bonus_strip{24, 24, 1}, explosion_strip{30, 30, 1};
    TestStrip shot_strips[4]{{10, 20, 1}, {16, 20, 1}, {40, 20, 1}, {6, 12, 1}};  // by weapon, invader's last
    TestStrip quit_strip{301, 151, quit_colour}, game_over_strip{201, 101, 6};
    std::atomic<int> clock{0};
    Game game{800, 600, 5, 100};
    Heard heard;

    void SetUp() override {
        std::copy_n(ship_strip.bitmaps, 3, game.player_frames);
        for (int w = 0; w < 3; w++) std::copy_n(shot_strips[w].bitmaps, 3, game.shot_frames[w]);
        std::copy_n(shot_strips[3].bitmaps, 3, game.invader_shot_frames);
        for (auto& look : game.invader_frames) std::copy_n(invader_strip.bitmaps, 3, look);
        std::copy_n(bonus_strip.bitmaps, 3, game.bonus_frames);
        std::fill_n(game.explosion_frames, 25, explosion_strip.bitmaps[0]);
        game.quit_image = quit_strip.bitmaps[0];
        game.quit_pointer = explosion_strip.bitmaps[0];
        game.game_over_image = game_over_strip.bitmaps[0];
        game.start_game(&clock);
        game.effect_player = [this](Effect effect, int pan) { heard.emplace_back(effect, pan); };
        game.replay.random.seed(1234);
    }

    void TearDown() override { game.frame_observer = nullptr; game.reset_keyboard(); }

    PlayerShip& ship() { return *game.player; }
    bool update_after(int ticks) { clock += ticks; return game.update_frame(); }

    template <class A>
    static A& place(A& actor, double x, double y) { actor.x = x; actor.y = y; return actor; }
    Invader& add_invader(double x, double y, int kind = 0) {
        return place(game.invaders.emplace_back(kind, 0, game.invader_frames[kind], 0.4), x, y);
    }
    Shot& add_shot(int weapon, double x, double y) {
        const bool down = weapon == weapons::invader;
        return place(game.shots.emplace_back(0, 0, weapon, down, shot_strips[weapon].bitmaps, 0.6), x, y);
    }
};
