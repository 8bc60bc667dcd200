// Combat on scenes built by hand: hits, the armour gauge and the end it decides,
// drops and bonuses, and the invaders' pursuit and fire. (390, 560) lies on the ship.
#include <tuple>
#include <vector>

#include "test_play_scene.h"

using Combat = PlayScene;
using Invaders = PlayScene;

// Missiles and Fireball stop at the first invader touched, in list order, and every hit
// scores; a missile takes half a hull, so a second one destroys.
TEST_F(Combat, AShotHitsOnlyTheFirstInvaderTouchedAndTwoMissilesDestroyOne) {
    add_invader(300, 200, 1);
    add_invader(300.9, 200.9, 2);
    add_invader(305, 200, 3);
    for (int weapon : {weapons::fireball, weapons::missiles, weapons::missiles}) {
        add_shot(weapon, 315, 210);
        game.move_shots(0);
    }
    EXPECT_TRUE(game.shots.empty());
    ASSERT_EQ(game.invaders.size(), 1u);
    EXPECT_EQ(std::tuple(game.invaders[0].kind, game.invaders[0].hull, ship().score, ship().kills),
              std::tuple(3, 100, 90, 2));
    ASSERT_EQ(game.explosions.size(), 3u);
    EXPECT_EQ(std::pair(game.explosions[2].x, game.explosions[2].y), std::pair(320, 220));  // truncated centre
}

TEST_F(Combat, AnInvadersShotCostsTwentyPointsAndThirtyArmourClampedAtZero) {
    for (int armour_after : {70, 40, 10, 0}) {
        add_shot(weapons::invader, 390, 560);
        game.move_shots(0);
        EXPECT_EQ(std::pair(game.shots.size(), ship().armour), std::pair(size_t(0), armour_after));
    }
    EXPECT_EQ(ship().score, -80);
}

// The gauge follows the armour one point per update, and the update that empties it
// shows the game-over picture for 1000 ticks and ends the game.
TEST_F(Combat, TheGameEndsInTheUpdateWhereTheGaugeRunsOut) {
    ship().armour = 0;
    ship().hull = 20;
    std::atomic<bool> over{false};
    std::thread timer([&] { while (!over) clock++; });
    int updates = 0;
    for (bool ends = false; !ends && updates < 30; updates++) ends = game.update_frame();
    over = true;
    timer.join();
    EXPECT_EQ(std::pair(updates, ship().hull), std::pair(20, 0));
    EXPECT_GE(game.last_tick, game.saved_ticks + 1000);
}

// A Choc shot goes through every invader it touches. Each destroyed one draws the
// chance of a drop, then its kind.
TEST_F(Combat, AChocShotDestroysAllItTouchesAndOneInThreeDropsABonusAtItsCentre) {
    add_invader(600, 100, 9);  // out of the way
    for (int i = 0; i < 30; i++) add_invader(300.9, 200.9);
    GameRandom draws = game.replay.random;
    std::vector<std::tuple<int, double, double>> expected, dropped;
    for (int i = 0; i < 30; i++)
        if (draws.below(3) == 0) expected.emplace_back(draws.below(4), 320, 220);
    add_shot(weapons::choc, 315, 210);
    game.move_shots(0);
    ASSERT_EQ(game.invaders.size(), 1u);
    EXPECT_EQ(std::tuple(game.invaders[0].kind, ship().score, ship().kills, game.shots.size()),
              std::tuple(9, 900, 30, 1u));
    for (const Bonus& bonus : game.bonuses) dropped.emplace_back(bonus.kind, bonus.x, bonus.y);
    EXPECT_EQ(dropped, expected);
}

// Invaders that touch the ship crash into it: each costs 10 points and 50 armour, kills
// nothing, explodes at its centre, is removed and makes the usual drop; the gauge then
// follows the armour down one point per update.
TEST_F(Combat, RammingInvadersCostTenPointsAndFiftyArmourEachAndDropAtTheirCentres) {
    add_invader(380, 540);  // the ship spans 368-432 x 552-600
    add_invader(100, 100, 4);
    add_invader(400.5, 570);
    ASSERT_FALSE(update_after(0));
    EXPECT_EQ(std::tuple(ship().score, ship().armour, ship().kills, ship().hull), std::tuple(-20, 0, 0, 100));
    ASSERT_EQ(game.invaders.size(), 1u);
    EXPECT_EQ(game.invaders[0].kind, 4);
    ASSERT_EQ(game.explosions.size(), 2u);
    EXPECT_EQ(std::tuple(game.explosions[0].x, game.explosions[0].y, game.explosions[1].x, game.explosions[1].y),
              std::tuple(400, 560, 420, 590));
    game.invaders.clear();
    ASSERT_FALSE(update_after(0));
    EXPECT_EQ(ship().hull, 99);

    // The drops draw their chances in list order, as a destroyed invader's do.
    for (unsigned seed = 1; seed <= 12; seed++) {
        game.bonuses.clear();
        add_invader(380, 540);
        add_invader(400.5, 570);
        game.replay.random.seed(seed);
        GameRandom draws = game.replay.random;
        std::vector<std::tuple<int, double, double>> expected, dropped;
        for (auto [x, y] : {std::pair(400, 560), std::pair(420, 590)})
            if (draws.below(3) == 0) expected.emplace_back(draws.below(4), x, y);
        game.ram_invaders();
        for (const Bonus& bonus : game.bonuses) dropped.emplace_back(bonus.kind, bonus.x, bonus.y);
        EXPECT_EQ(dropped, expected) << "seed " << seed;
    }
}

// The pass stops at the caught one: the ones behind wait, unmoved, for the next update.
TEST_F(Combat, OneBonusIsCollectedPerUpdate) {
    ship().armour = 90;
    add_bonus(100, 300, 0);  // out of reach
    for (int kind = 0; kind < 4; kind++) add_bonus(390, 560, kind);
    game.move_bonuses(10);
    ASSERT_EQ(game.bonuses.size(), 4u);
    EXPECT_DOUBLE_EQ(game.bonuses[0].y, 302.5);
    EXPECT_DOUBLE_EQ(game.bonuses[1].y, 560);
    EXPECT_EQ(ship().armour, 100);
    for (int n = 0; n < 3; n++) game.move_bonuses(0);
    EXPECT_EQ(game.bonuses.size(), 1u);
    EXPECT_EQ(std::tuple(ship().ammo[0], ship().ammo[1], ship().ammo[2]), std::tuple(20, 5, 2));
}

// Lined up means the invader's column is 368 + ((64 - w) >> 1): the halving of a
// negative difference rounds down.
TEST_F(Invaders, AWideInvaderAimsItsMiddleAtTheShipsMiddle) {
    TestStrip wide{101, 30, 1};
    std::copy_n(wide.bitmaps, 3, game.invader_frames[3]);
    ship().x = 368.7;
    add_invader(349.3, 100, 3);
    game.move_invaders(0);
    ASSERT_EQ(game.shots.size(), 1u);
    EXPECT_EQ(std::tuple(game.shots[0].x, game.shots[0].y, game.shots[0].direction), std::tuple(349 + 50 - 3, 100, 1));
}

// A 40-pixel invader is lined up at 380; a step of 99 ticks is 39.6 pixels, and a step
// right past the column is taken back at once.
TEST_F(Invaders, ThePursuitNeverOvershootsByMoreThanAStep) {
    for (auto [from, to] : {std::pair{280.0, 319.6}, {379.0, 379.0}, {480.0, 440.4}, {381.0, 341.4}, {380.5, 380.5}}) {
        game.invaders.clear();
        add_invader(from, 100);
        game.move_invaders(99);
        EXPECT_DOUBLE_EQ(game.invaders[0].x, to) << from;
    }
}

// The delay is counted down before the test, so it fires in the update it reaches 0.
TEST_F(Invaders, TheyFireOnlyWhenExactlyLinedUpAndTheDelayHasRunOut) {
    add_invader(381, 100);
    add_invader(380, 100).fire_delay = 2;
    game.move_invaders(0);
    EXPECT_TRUE(game.shots.empty());
    game.move_invaders(0);
    EXPECT_EQ(game.shots.size(), 1u);
    EXPECT_EQ(game.invaders[1].fire_delay, 100);
}
