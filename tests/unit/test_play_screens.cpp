// SPDX-License-Identifier: GPL-3.0-or-later
// The pause and the game-over screen the frame update opens. (The pause's look and keys, the
// quit dialog's frozen clock and the game-over picture's two seconds are tried in a real
// window; a new game's clean start is the replay tests' playback after a recorded game.)
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "test_play_scene.h"

using Screens = PlayScene;

// The pause forgets the P that opened it (and the one that closes it), and puts the clock back:
// the update moves everything by the ticks before it, the next one carries on from there. The
// window's close button (and an ending signal, which the window tests send during play, at the
// title and under the quit dialog) also ends the pause.
TEST_F(Screens, ThePauseHoldsTheClockAndEveryActorThenTheGameCarriesOnFromTheSameState) {
    add_shot(weapons::missiles, 100, 300);
    add_invader(600, 100);
    key[KEY_RIGHT] = key[KEY_P] = 1;
    auto state = [this] { return std::tuple(ship().x, game.shots[0].y, game.invaders[0].y, ship().anim_tick); };
    bool stood_still = false;
    std::thread player([&] {
        for (int i = 0; i < 2000 && key[KEY_P]; i++) pause_ms(1);  // until the pause has forgotten the P
        const auto before = state();
        clock += 5000;
        pause_ms(30);
        stood_still = state() == before;
        key[KEY_P] = 1;
    });
    EXPECT_FALSE(update_after(20));
    player.join();
    ASSERT_EQ(std::tuple(stood_still, clock.load(), key[KEY_P], ship().x), std::tuple(true, 20, 0, 378.0));
    update_after(10);
    EXPECT_EQ(std::tuple(ship().x, game.invaders[0].y, ship().anim_tick), std::tuple(378.0, 115.0, 2));  // the held arrow was forgotten too
    close_requested = true;
    EXPECT_TRUE(game.pause_screen());
    close_requested = false;
}

// The gauge follows the armour one point per update, and the update that empties it shows the
// game-over picture (heard at once) for 1000 ticks and ends the game. Then "Nouveau record !"
// (in its own colour, under the picture) only when the record of the game's level is beaten; the
// record then holds for the run. In the player's data folder: the level's record file, the game
// as last-game.replay, and as the level's best game only when it beat the file's record (the
// first game of an empty file does); the title's demo takes the best game, a last one when the
// best cannot be read, none without a readable one.
TEST_F(Screens, TheGameEndsWhereTheGaugeRunsOutAndTheGameOverScreenSaysWhenTheRecordIsBeaten) {
    const std::string folder = ::testing::TempDir() + "zudaduviz-over-" + std::to_string(getpid()) + "/";
    game.record_path = folder + "record";
    game.replay.recording = true;
    game.start_game(&clock);
    game.replay.random.seed(1234);
    ship().armour = 50;
    ship().hull = 20;
    add_invader(340, 540);  // its crash takes the last 50 of armour, heard from its centre
    game.ram_invaders();
    std::atomic<bool> over{false};
    std::thread timer([&] { while (!over) clock += 50, pause_ms(1); });
    int updates = 0;
    for (bool ends = false; !ends && updates < 30; updates++) ends = game.update_frame();
    EXPECT_EQ(std::tuple(updates, ship().hull, heard),
              std::tuple(20, 0, Heard{{Effect::ram, 122}, {Effect::game_over, 128}}));
    EXPECT_GE(game.last_tick, game.saved_ticks + 1000);
    game.records[0] = 500;
    std::vector<bool> banners;
    std::string files;  // the level's record, then L and B for the kept games (the best one removed each time)
    // The last of level 1 only equals its record; 550 is a first record at level 2.
    for (auto [level, score] : {std::pair{1, 300}, {1, 600}, {1, 550}, {1, 600}, {2, 550}}) {
        game.level = level;
        ship().score = score;
        game.game_over_screen();
        int lit = 0;
        for (int y = 351; y <= 420; y++)
            for (int x = 250; x < 550; x++) lit += getpixel(game.buffer, x, y) == makecol(255, 200, 64);
        banners.push_back(lit > 0);
        clear_bitmap(game.buffer);
        const std::string record = level_path(game.record_path, level);
        files += std::to_string(load_record(record)) + (access((folder + "last-game.replay").c_str(), F_OK) ? "" : "L") +
                 (std::rename(best_game_path(record).c_str(), (folder + "best").c_str()) ? " " : "B ");
    }
    EXPECT_EQ(std::tuple(banners, game.records[0], game.records[1], files),
              std::tuple(std::vector<bool>{false, true, false, false, true}, 600, 550, "300LB 600LB 600L 600L 550LB "));
    std::string demos;
    ReplayFile demo;
    for (const char* step : {"mv best best-game.replay", "echo > best-game.replay", "rm last-game.replay"})
        std::system(("cd " + folder + " && " + step).c_str()), demos += ".1"[demo_game(game, demo)];
    EXPECT_EQ(demos, "11.");
    // No folder to keep it in: beaten, the record still holds for the run.
    game.record_path.clear(), game.level = 1, ship().score = 700;
    game.game_over_screen();
    over = true;
    timer.join();
    EXPECT_EQ(game.records[0], 700);
    std::system(("rm -rf " + folder).c_str());
}
