// SPDX-License-Identifier: GPL-3.0-or-later
// A long game on memory bitmaps with the real data file: a million frame updates
// (ZUDADUVIZ_SOAK_UPDATES to change it) with random held keys and clock steps from fixed
// seeds, the armour and ammunition topped up between updates so that the game goes on
// firing. After every update each actor must be where the rules keep it and each list
// small (a list that stops losing its actors grows without end); at the end the heap must
// hold no more than after the warm-up (the lists are given room up front). Built with the
// sanitizers, any memory or undefined-behaviour fault ends the run. (How often invaders come is
// a rule of play the stored replays hold.)
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();  // GCC ships no header for it
size_t heap_in_use() { return __sanitizer_get_current_allocated_bytes(); }
#else
#include <malloc.h>
size_t heap_in_use() { return mallinfo2().uordblks; }
#endif

#include "../unit/support.h"
#include "game/game.h"

TEST(LongGame, ActorsStayWhereTheRulesKeepThemAndTheHeapStaysFlat) {
    start_headless_allegro();
    std::atomic<int> clock{0};
    Game game(800, 600, 5, 100);
    DATAFILE* data = load_datafile(DATA_FILE);
    ASSERT_NE(data, nullptr) << "cannot load " << DATA_FILE;
    game.take_objects(data);  // the game unloads it
    game.start_game(&clock);
    // The first sky (the C library's numbers) goes into every game's replay file, whose reader
    // takes only the greys of each star's layer.
    for (int s = 0; s < 500; s++) ASSERT_LE(game.star_field[s / 100][s % 100].grey, 134 + 40 * (s / 100)) << s;
    game.replay.random.seed(7);
    std::mt19937 input(20240611);
    const long updates = std::getenv("ZUDADUVIZ_SOAK_UPDATES") ? std::atol(std::getenv("ZUDADUVIZ_SOAK_UPDATES")) : 1000000;
    const int keys[] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_1, KEY_2, KEY_3, KEY_SPACE};
    // Room for more than the lists may ever hold (checked below): their buffers never grow.
    game.invaders.reserve(64), game.shots.reserve(64), game.bonuses.reserve(64), game.explosions.reserve(64);
    size_t heap_after_warm_up = 0;
    long kills_before = 0;

    for (long update = 1; update <= updates; update++) {
        // Each key changes now and then, fire held most of the time; 1 to 40 ticks, now and then none.
        for (int k : keys)
            if (input() % 40 == 0) key[k] = k == KEY_SPACE ? input() % 5 != 0 : input() % 2;
        clock += input() % 25 == 0 ? 0 : 1 + int(input() % 40);
        ASSERT_FALSE(game.update_frame()) << "the game ended at update " << update;
        game.player->armour = 100;
        for (int& shots : game.player->ammo) shots = std::max(shots, 5);

        // An invader fires before it is tested against the bottom edge, and a ramming one drops
        // its bonus at its centre after the bonus pass: those may lie below until the next pass.
        for (const Invader& invader : game.invaders) ASSERT_LE(int(invader.y), 600) << "update " << update;
        for (const Bonus& bonus : game.bonuses) ASSERT_LE(int(bonus.y), 650) << "update " << update;
        for (const Explosion& explosion : game.explosions) ASSERT_TRUE(explosion.frame >= 1 && explosion.frame <= 24);
        for (const Shot& shot : game.shots)
            ASSERT_TRUE(shot.weapon == weapons::invader ? int(shot.y) <= 620 : shot.y + shot.frames[0]->h >= -100)
                << "a shot off the screen at update " << update;
        ASSERT_TRUE(game.invaders.size() <= 20 && game.shots.size() <= 40 && game.bonuses.size() <= 20 &&
                    game.explosions.size() <= 40) << "update " << update;

        if (update % 64 == 0) game.draw_frame(), game.count_frame();  // the composition too, now and then
        if (update == updates / 10) heap_after_warm_up = heap_in_use(), kills_before = game.player->kills;
    }
    // Nothing may stay (a little slack for what the sanitizer does not count exactly).
    const long heap_growth = long(heap_in_use()) - long(heap_after_warm_up);
    EXPECT_LE(heap_growth, 1024) << "heap growth " << heap_growth;
    EXPECT_GT(game.player->kills - kills_before, updates / 10000);  // it really plays
    std::printf("%ld updates, %d kills; heap growth %ld bytes\n", updates, game.player->kills, heap_growth);
}
