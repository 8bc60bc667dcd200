// SPDX-License-Identifier: GPL-3.0-or-later
// Combat as tables of situations and outcomes on scenes built by hand: hits and what they
// score, cost and sound like, bonuses, the invaders' pursuit and fire (a ram: the screens tests;
// the drops' chance, kind and place, the rams' cost: the stored replays). (390, 560) lies on the
// ship; 320 is heard at pan 116.
#include <tuple>
#include <vector>

#include "test_play_scene.h"

using Combat = PlayScene;

// One shot on invaders stacked at (300, 200) with the given hulls: Missiles and Fireball stop
// at the first invader touched, in list order, and every hit scores; a missile takes half a
// hull, so a second one destroys; a Choc shot destroys every invader it touches.
TEST_F(Combat, AShotsHitScoresCostsAndSoundsByWhatItDoes) {
    const struct { const char* what; int weapon; std::vector<int> hulls, hulls_left; int score, kills, armour;
                   Heard expected; } cases[] = {
        {"a first missile", weapons::missiles, {100, 100}, {50, 100}, 30, 0, 100, {{Effect::invader_hit, 116}}},
        {"a second missile", weapons::missiles, {50, 100}, {100}, 30, 1, 100, {{Effect::invader_destroyed, 116}}},
        {"a fireball", weapons::fireball, {100, 100}, {100}, 30, 1, 100, {{Effect::invader_destroyed, 116}}},
        {"a Choc shot through three", weapons::choc, {100, 50, 100}, {}, 90, 3, 100, Heard(3, {Effect::invader_destroyed, 116})},
        {"a shot that misses", weapons::missiles, {}, {}, 0, 0, 100, {}},
        {"an invader's shot on the ship", weapons::invader, {}, {}, -20, 0, 70, {{Effect::ship_hit, 128}}},
        {"an invader's shot on the last armour", weapons::invader, {}, {}, -20, 0, 0, {{Effect::ship_hit, 128}}},
    };
    for (const auto& c : cases) {
        game.invaders.clear(), game.explosions.clear(), game.shots.clear(), heard.clear();
        ship().score = ship().kills = 0;
        ship().armour = c.armour == 0 ? 10 : 100;
        for (int hull : c.hulls) add_invader(300, 200).hull = hull;
        const bool down = c.weapon == weapons::invader;
        add_shot(c.weapon, down ? 390 : 315, down ? 560 : 210);
        game.move_shots(0);
        std::vector<int> hulls_left;
        for (const Invader& invader : game.invaders) hulls_left.push_back(invader.hull);
        EXPECT_EQ(std::tuple(hulls_left, ship().score, ship().kills, ship().armour, heard),
                  std::tuple(c.hulls_left, c.score, c.kills, c.armour, c.expected)) << c.what;
        EXPECT_EQ(game.shots.size(), c.weapon == weapons::choc || (c.hulls.empty() && !down) ? 1u : 0u) << c.what;
        EXPECT_EQ(game.explosions.size(), c.expected.size()) << c.what;  // where: the drop test
    }
}

// The pass stops at the caught one: the ones behind wait, unmoved, for the next update. Armour
// +20 up to 100, 10 missiles, 5 fireballs, 2 Choc shots; heard from where it is caught.
TEST_F(Combat, OneBonusIsCollectedPerUpdate) {
    ship().armour = 90;
    game.bonuses.emplace_back(100, 300, 0, game.bonus_frames, 0.25);  // out of reach
    for (int kind = 0; kind < 4; kind++) game.bonuses.emplace_back(388, 560, kind, game.bonus_frames, 0.25);
    game.move_bonuses(10);
    ASSERT_EQ(game.bonuses.size(), 4u);
    EXPECT_EQ(std::tuple(game.bonuses[0].y, game.bonuses[1].y, ship().armour), std::tuple(302.5, 560.0, 100));
    for (int n = 0; n < 3; n++) game.move_bonuses(0);
    EXPECT_EQ(std::tuple(game.bonuses.size(), ship().ammo[0], ship().ammo[1], ship().ammo[2]), std::tuple(1u, 20, 5, 2));
    EXPECT_EQ(heard, Heard(4, {Effect::bonus_collected, 128}));
}

// Lined up means the invader's column is 368 + ((64 - w) >> 1): the halving of a negative
// difference rounds down. A 40-pixel invader is lined up at 380; a step of 99 ticks is 39.6
// pixels, and a step right past the column is taken back at once. The fire delay is counted
// down before the test, so an invader fires in the update it reaches 0, and only lined up.
TEST_F(Combat, InvadersPursueTheShipAndFireWhenExactlyLinedUpAndTheDelayHasRunOut) {
    for (auto [from, to] : {std::pair{280.0, 319.6}, {379.0, 379.0}, {480.0, 440.4}, {381.0, 341.4}, {380.5, 380.5}}) {
        game.invaders.clear();
        add_invader(from, 100).fire_delay = 5;
        game.move_invaders(99);
        EXPECT_DOUBLE_EQ(game.invaders[0].x, to) << from;
    }
    TestStrip wide{101, 30, 1};
    std::copy_n(wide.bitmaps, 3, game.invader_frames[3]);
    ship().x = 368.7;  // a 101-pixel invader is lined up at 349, the others still at 380
    game.invaders.clear();
    add_invader(349.3, 100, 3);
    add_invader(381, 100);
    add_invader(380, 100).fire_delay = 2;
    game.move_invaders(0);
    ASSERT_EQ(game.shots.size(), 1u);
    EXPECT_EQ(std::tuple(game.shots[0].x, game.shots[0].y, game.shots[0].direction, heard),
              std::tuple(349 + 50 - 3, 100, 1, Heard{{Effect::invader_fired, 128}}));
    game.move_invaders(0);
    EXPECT_EQ(std::pair(game.shots.size(), game.invaders[2].fire_delay), std::pair(size_t(2), 100));
}
