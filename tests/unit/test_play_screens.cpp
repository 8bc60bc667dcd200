// The quit dialog and the game-over screen the frame update opens, and one game's
// start and end.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>

#include "test_play_scene.h"

using Screens = PlayScene;

// The counter is put back when the dialog closes, so the update only moves by the
// ticks before it opened, and the closing ESC does not reopen it.
TEST_F(Screens, TheTimeTheQuitDialogStaysOpenNeverCounts) {
    add_shot(weapons::missiles, 100, 300);
    key[KEY_ESC] = 1;
    std::thread player([this] {
        for (int i = 0; i < 2000 && getpixel(game.buffer, 400, 300) != quit_colour; i++) pause_ms(1);
        clock += 5000;
        pause_ms(20);
        key[KEY_ESC] = 1;
    });
    EXPECT_FALSE(update_after(20));
    player.join();
    EXPECT_EQ(std::pair(clock.load(), game.last_tick), std::pair(20, 20));
    EXPECT_NEAR(game.shots[0].y, 300 - 20 * 0.6, 1e-9);
    EXPECT_EQ(key[KEY_ESC], 0);
}

TEST_F(Screens, TheGameOverPictureStaysForAThousandTicksAndKeysAreForgotten) {
    clock = 500;
    std::atomic<bool> returned{false};
    bool returned_at_999 = true, returned_at_1000 = false;
    std::thread timer([&] {
        pause_ms(20);
        key[KEY_SPACE] = 1;
        clock = 500 + 999;
        pause_ms(30);
        returned_at_999 = returned;
        clock = 500 + 1000;
        for (int i = 0; i < 500 && !returned; i++) pause_ms(1);
        returned_at_1000 = returned;
        clock = 1 << 30;  // lets a screen that waits too long go
    });
    EXPECT_TRUE(game.game_over_screen());
    returned = true;
    timer.join();
    EXPECT_EQ(std::tuple(returned_at_999, returned_at_1000, key[KEY_SPACE]), std::tuple(false, true, 0));
}

// The record is kept before the wait; "Nouveau record !" shows under the picture only when
// the higher of the game's record and the file's is beaten.
TEST_F(Screens, TheGameOverScreenKeepsABeatenRecordAndSaysSo) {
    const std::string folder = ::testing::TempDir() + "zudaduviz-record-" + std::to_string(getpid());
    game.record_path = folder + "/record";
    auto write = [&](const char* text) { std::ofstream(game.record_path) << text; };
    auto read = [&] {
        std::ifstream file(game.record_path);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    // The number of pixels of the banner's colour under the picture (rows 351 to 420).
    auto banner_after_a_game_of = [&](int score) {
        ship().score = score;
        clear_bitmap(game.buffer);
        std::atomic<bool> over{false};
        std::thread timer([&] {
            while (!over) clock += 50, pause_ms(1);
        });
        game.game_over_screen();
        over = true;
        timer.join();
        int lit = 0;
        for (int y = 351; y <= 420; y++)
            for (int x = 250; x < 550; x++) lit += getpixel(game.buffer, x, y) == makecol(255, 200, 64);
        return lit;
    };
    mkdir(folder.c_str(), 0755);
    write("90\n");
    game.record = 90;
    EXPECT_GT(banner_after_a_game_of(120), 0);
    EXPECT_EQ(std::pair(read(), game.record), std::pair(std::string("120\n"), 120));
    EXPECT_EQ(banner_after_a_game_of(100), 0);
    EXPECT_EQ(std::pair(read(), game.record), std::pair(std::string("120\n"), 120));
    write("500\n");  // another game ended meanwhile
    EXPECT_EQ(banner_after_a_game_of(300), 0);
    EXPECT_EQ(game.record, 500);
    // Where nothing can be written the record still holds for the run.
    game.record_path = folder + "/record/below";
    EXPECT_GT(banner_after_a_game_of(600), 0);
    EXPECT_EQ(banner_after_a_game_of(550), 0);
    EXPECT_EQ(game.record, 600);
    std::system(("rm -rf '" + folder + "'").c_str());
}

TEST_F(Screens, TheNextGameStartsFromACleanState) {
    key[KEY_SPACE] = key[KEY_UP] = key[KEY_RIGHT] = 1;
    for (int i = 0; i < 30; i++) update_after(7);
    add_invader(100, 100);
    add_bonus(100, 100, 1);
    game.explosions.emplace_back(100, 100, game.explosion_frames);
    game.saved_ticks = 40;
    game.fps_frames = 12;
    game.fps_start_tick = 5;
    game.end_game();
    EXPECT_EQ(game.player, nullptr);
    key[KEY_LEFT] = 1;  // held from the menu
    game.start_game(&clock);
    // Every counter back to 0.
    EXPECT_EQ(clock + game.last_tick + game.saved_ticks + game.fps_frames + game.fps_start_tick, 0);
    EXPECT_TRUE(game.invaders.empty() && game.shots.empty() && game.bonuses.empty() && game.explosions.empty());
    EXPECT_EQ(std::tuple(game.game_speed, key[KEY_LEFT], ship().x, ship().ammo[weapons::missiles]),
              std::tuple(1.0, 0, 368.0, 10));
}
