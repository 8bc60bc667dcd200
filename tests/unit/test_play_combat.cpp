// Combat on scenes built by hand: hits, the armour gauge and the end it decides,
// drops and bonuses, and the invaders' pursuit and fire. (390, 560) lies on the ship.
#include <vector>

#include "test_play_scene.h"

using Combat = PlayScene;
using Invaders = PlayScene;

TEST_F(Combat, AMissileTakesHalfAnInvadersHullAndASecondOneDestroysIt) {
    add_invader(300.9, 200.9);
    for (int hit = 1; hit <= 2; hit++) {
        add_shot(weapons::missiles, 315, 210);
        game.move_shots(0);
        EXPECT_TRUE(game.shots.empty());
        EXPECT_EQ(ship().score, 30 * hit);
        EXPECT_EQ(ship().kills, hit - 1);
        EXPECT_EQ(game.invaders.size(), 2u - hit);
    }
    ASSERT_EQ(game.explosions.size(), 2u);
    EXPECT_EQ(game.explosions[0].x, 320);  // the invader's truncated centre
    EXPECT_EQ(game.explosions[0].y, 220);
}

TEST_F(Combat, AChocShotGoesThroughEveryInvaderItTouches) {
    add_invader(600, 100, 9);  // out of the way
    add_invader(300, 200, 1);
    add_invader(310, 200, 2);
    add_invader(320, 195, 3);
    add_shot(weapons::choc, 305, 210);
    game.move_shots(0);
    ASSERT_EQ(game.invaders.size(), 1u);
    EXPECT_EQ(game.invaders[0].kind, 9);
    EXPECT_EQ(ship().score, 90);
    EXPECT_EQ(ship().kills, 3);
    EXPECT_EQ(game.shots.size(), 1u);
}

// Missiles and Fireball stop at the first invader touched, in list order.
TEST_F(Combat, AShotThroughTwoOverlappingInvadersHitsOnlyTheFirst) {
    for (int weapon : {weapons::missiles, weapons::fireball}) {
        game.invaders.clear();
        add_invader(300, 200, 1);
        add_invader(305, 200, 2);
        add_shot(weapon, 310, 210);
        game.move_shots(0);
        EXPECT_TRUE(game.shots.empty());
        EXPECT_EQ(game.invaders.size(), weapon == weapons::missiles ? 2u : 1u);
        EXPECT_EQ(game.invaders.front().hull, weapon == weapons::missiles ? 50 : 100);
        EXPECT_EQ(game.invaders.back().kind, 2);
    }
    EXPECT_EQ(ship().score, 60);
}

TEST_F(Combat, AnInvadersShotCostsTwentyPointsAndThirtyArmourClampedAtZero) {
    ship().armour = 20;
    add_shot(weapons::invader, 390, 560);
    game.move_shots(0);
    EXPECT_TRUE(game.shots.empty());
    EXPECT_EQ(ship().armour, 0);
    EXPECT_EQ(ship().score, -20);
}

// The gauge follows the armour one point per update, and the update that empties it
// shows the game-over picture for 1000 ticks and ends the game.
TEST_F(Combat, TheGameEndsInTheUpdateWhereTheGaugeRunsOut) {
    ship().armour = 0;
    ship().hull = 20;
    std::atomic<bool> over{false};
    std::thread timer([&] {
        while (!over) clock++;
    });
    int updates = 0;
    for (bool ends = false; !ends && updates < 30; updates++) ends = game.update_frame();
    over = true;
    timer.join();
    EXPECT_EQ(updates, 20);
    EXPECT_EQ(ship().hull, 0);
    EXPECT_GE(game.last_tick, game.saved_ticks + 1000);
}

// Each destroyed invader draws the chance of a drop, then its kind.
TEST_F(Combat, OneDestroyedInvaderInThreeDropsABonusAtItsCentre) {
    for (int i = 0; i < 30; i++) add_invader(300, 200);
    srand(99);
    std::vector<int> kinds;
    for (int i = 0; i < 30; i++)
        if (rand() % 3 == 0) kinds.push_back(rand() % 4);
    srand(99);
    for (int i = 0; i < 30; i++) {
        add_shot(weapons::fireball, 315, 210);
        game.move_shots(0);
    }
    ASSERT_EQ(game.bonuses.size(), kinds.size());
    for (size_t i = 0; i < kinds.size(); i++) {
        EXPECT_EQ(game.bonuses[i].kind, kinds[i]);
        EXPECT_EQ(game.bonuses[i].x, 320);
        EXPECT_EQ(game.bonuses[i].y, 220);
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
    EXPECT_EQ(ship().ammo[weapons::missiles], 20);
    EXPECT_EQ(ship().ammo[weapons::fireball], 5);
    EXPECT_EQ(ship().ammo[weapons::choc], 2);
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
    EXPECT_EQ(game.shots[0].x, 349 + 50 - 3);
    EXPECT_EQ(game.shots[0].y, 100);
    EXPECT_EQ(game.shots[0].direction, 1);
}

// A 40-pixel invader is lined up at 380; a step of 100 ticks is 40 pixels, and a step
// right past the column is taken back at once.
TEST_F(Invaders, ThePursuitNeverOvershootsByMoreThanAStep) {
    struct Case {
        double from, to;
    };
    for (const Case c : {Case{280, 320}, {379, 379}, {480, 440}, {381, 341}, {380.5, 380.5}}) {
        game.invaders.clear();
        add_invader(c.from, 100);
        game.move_invaders(100);
        EXPECT_DOUBLE_EQ(game.invaders[0].x, c.to) << c.from;
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
