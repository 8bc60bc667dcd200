// SPDX-License-Identifier: GPL-3.0-or-later
// The frame update: its clock, the order of its steps where it shows, the ship's controls and
// the list walks. (Movement by the ticks, animations and the fire delay by the updates, the
// ammunition running out, the stars that come back at the top: the stored replays.)
#include <string>
#include <tuple>
#include <vector>

#include "test_play_scene.h"

using FrameUpdate = PlayScene;

// Firing runs before the speed keys and the weapon keys are read: a new shot takes the
// previous update's speed and weapon, the stars the new speed at once. Down wins over up;
// with several weapon keys held the highest wins. Each weapon is heard with its own sound, from
// the middle of its shot.
TEST_F(FrameUpdate, AShotTakesThePreviousUpdatesSpeedAndTheStarsTheNewOne) {
    ship().ammo[weapons::fireball] = ship().ammo[weapons::choc] = 2;
    ship().weapon = weapons::fireball;
    key[KEY_SPACE] = key[KEY_UP] = key[KEY_1] = key[KEY_2] = key[KEY_3] = 1;
    game.star_field[0][0].y = 100;
    update_after(10);
    EXPECT_DOUBLE_EQ(game.star_field[0][0].y, 106);
    ship().fire_delay = 0;
    key[KEY_DOWN] = 1;
    update_after(0);
    ASSERT_EQ(game.shots.size(), 2u);
    EXPECT_EQ(std::tuple(game.shots[0].weapon, game.shots[1].weapon, game.game_speed),
              std::tuple(weapons::fireball, weapons::choc, 0.5));
    EXPECT_EQ(heard, (Heard{{Effect::fireball_fired, 128}, {Effect::choc_fired, 128}}));
    EXPECT_DOUBLE_EQ(game.shots[0].speed, 0.6);
    EXPECT_DOUBLE_EQ(game.shots[1].speed, 1.8);
    // The next game starts from speed 1 and a clock at 0, the keys still held forgotten.
    game.start_game(&clock);
    EXPECT_EQ(std::tuple(game.game_speed, game.last_tick, clock.load(), key[KEY_SPACE]), std::tuple(1.0, 0, 0, 0));
}

// The edge is tested on the truncated column before the move, so a move may end past it.
TEST_F(FrameUpdate, SteeringStopsAtTheEdgesByTheTruncatedColumn) {
    for (auto [arrow, from, to] : {std::tuple{KEY_LEFT, 0.9, 0.9}, {KEY_LEFT, 1.0, -1.5}, {KEY_LEFT, -1.5, -1.5},
                                   {KEY_RIGHT, 735.9, 738.4}, {KEY_RIGHT, 736.0, 736.0}}) {
        key[arrow] = 1;
        ship().x = from;
        game.steer(5, game.read_inputs());
        key[arrow] = 0;
        EXPECT_DOUBLE_EQ(ship().x, to) << from;
    }
}

// Each key alone gives the inputs of its action (left, right, fire, the three weapons, faster,
// slower: one bit each, in the order of their bits), or asks for the pause (256 here). With
// auto-fire, no key held fires and the fire key held stops it.
TEST_F(FrameUpdate, KeysChosenByThePlayerPlayAndTheKeysTheyReplacedNoLonger) {
    int chosen[actions::count] = {KEY_A, KEY_D, KEY_LCONTROL, KEY_J, KEY_K, KEY_L, KEY_W, KEY_S, KEY_Q};
    for (int action = 0; action < actions::count; action++) game.settings.bindings.give_key(action, chosen[action]);
    KeyBindings defaults;
    std::vector<int> seen;
    for (int* keys : {chosen, defaults.keys})
        for (int action = 0; action < actions::count; action++) {
            key[keys[action]] = 1;
            seen.push_back(game.read_inputs().bits() + 256 * game.pause_asked());
            key[keys[action]] = 0;
        }
    game.settings.auto_fire = true;
    seen.push_back(game.read_inputs().bits());
    key[KEY_LCONTROL] = 1;
    seen.push_back(game.read_inputs().bits());
    key[KEY_LCONTROL] = 0;
    EXPECT_EQ(seen, (std::vector<int>{2, 4, 1, 8, 16, 32, 64, 128, 256, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}));
}

// An actor removed from a list must not make the walk skip or move twice the one
// behind it. Each first actor ends on row 601 (gone); each second one on row 600 (kept).
// A ship's shot goes once wholly above y -100, where invaders start: the first ends
// with its bottom edge at -100.5, the second at -100.
TEST_F(FrameUpdate, ListWalksRemoveWhatLeavesThePlayFieldAndMoveTheNextOnceOnly) {
    for (int i = 0; i < 2; i++) {
        add_shot(weapons::invader, 10 + 20 * i, 600.0 - i);
        add_shot(weapons::missiles, 50 + 20 * i, -119.5 + 0.5 * i).speed = 0.5;
        add_invader(100, 600.0 - 0.5 * i);
        place(game.bonuses.emplace_back(0, 0, 0, game.bonus_frames, 0.25), 100 + 100 * i, 600.5 - 0.5 * i);
        game.explosions.emplace_back(i, i, game.explosion_frames).frame = 24 - 24 * i;
    }
    update_after(2);
    ASSERT_EQ(std::tuple(game.shots.size(), game.invaders.size(), game.bonuses.size(), game.explosions.size()),
              std::tuple(2u, 1u, 1u, 1u));
    EXPECT_EQ(std::tuple(game.shots[0].y, game.shots[1].x, game.invaders[0].y, game.bonuses[0].y, game.explosions[0].frame),
              std::tuple(600.2, 70.0, 600.5, 600.5, 1));
}

// Level 1 is the game's own pace; each level after it is no easier in any column and harder in
// one at least: more invaders, faster sideways, firing sooner, fewer bonuses, a faster game.
TEST(Paces, LevelOneIsTheGamesOwnAndEachLevelIsHarderThanTheOneBefore) {
    // Every column as "harder when higher".
    auto row = [](const Pace& p) {
        return std::vector<double>{-double(p.invader_chance), p.invader_side_speed, -double(p.invader_fire_delay),
                                   double(p.random_bonus_chance), p.speed};
    };
    EXPECT_EQ(row(paces[0]), row({200, 0.4, 100, 5000, 1.0}));
    for (int l = 1; l < level_count; l++) {
        const std::vector<double> was = row(paces[l - 1]), is = row(paces[l]);
        for (size_t c = 0; c < is.size(); c++) EXPECT_GE(is[c], was[c]) << "level " << l + 1 << ", column " << c;
        EXPECT_NE(is, was) << "level " << l + 1;
    }
}
