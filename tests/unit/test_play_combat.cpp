// Combat: what each kind of hit does, the armour gauge and the end it decides,
// the bonus drop, the explosions, and the list walks that remove as they go.
#include <atomic>
#include <thread>
#include <vector>

#include "test_play_scene.h"

namespace {

class Combat : public PlayScene {};

// The ship stands at (368, 552), 64 by 48: (400, 552) is the middle of its top edge.

TEST_F(Combat, AMissileTakesHalfAnInvadersHullAndASecondOneDestroysIt) {
    add_invader(300, 200);
    add_shot(weapons::missiles, 315, 210);
    game.move_shots(0);

    ASSERT_EQ(game.invaders.size(), 1u);
    EXPECT_EQ(game.invaders[0].hull, 50);
    EXPECT_EQ(ship().score, 30);
    EXPECT_EQ(ship().kills, 0);
    EXPECT_TRUE(game.shots.empty());
    ASSERT_EQ(game.explosions.size(), 1u);
    EXPECT_EQ(game.explosions[0].x, 320);
    EXPECT_EQ(game.explosions[0].y, 220);

    add_shot(weapons::missiles, 315, 210);
    game.move_shots(0);
    EXPECT_TRUE(game.invaders.empty());
    EXPECT_EQ(ship().score, 60);
    EXPECT_EQ(ship().kills, 1);
    EXPECT_EQ(game.explosions.size(), 2u);
}

TEST_F(Combat, TheExplosionSitsOnTheInvadersTruncatedCentre) {
    add_invader(300.9, 200.9);
    add_shot(weapons::fireball, 315, 210);
    game.move_shots(0);
    ASSERT_EQ(game.explosions.size(), 1u);
    EXPECT_EQ(game.explosions[0].x, 320);
    EXPECT_EQ(game.explosions[0].y, 220);
    EXPECT_EQ(game.explosions[0].frames, game.explosion_frames);
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
    ASSERT_EQ(game.shots.size(), 1u);
    EXPECT_EQ(game.shots[0].weapon, weapons::choc);
    ASSERT_EQ(game.explosions.size(), 3u);
    EXPECT_EQ(game.explosions[2].x, 340);
    EXPECT_EQ(game.explosions[2].y, 215);
}

TEST_F(Combat, AFireballThroughTwoOverlappingInvadersDestroysOnlyTheFirst) {
    add_invader(300, 200, 1);
    add_invader(305, 200, 2);
    add_shot(weapons::fireball, 310, 210);
    game.move_shots(0);

    ASSERT_EQ(game.invaders.size(), 1u);
    EXPECT_EQ(game.invaders[0].kind, 2);
    EXPECT_EQ(game.invaders[0].hull, 100);
    EXPECT_TRUE(game.shots.empty());
    EXPECT_EQ(ship().score, 30);
    EXPECT_EQ(ship().kills, 1);
}

TEST_F(Combat, AShotThatTouchesNothingFliesOn) {
    add_invader(300, 200);
    add_shot(weapons::missiles, 100, 300);
    game.move_shots(10);
    ASSERT_EQ(game.shots.size(), 1u);
    EXPECT_DOUBLE_EQ(game.shots[0].y, 294);
    EXPECT_EQ(game.invaders[0].hull, 100);
    EXPECT_EQ(ship().score, 0);
}

TEST_F(Combat, AnInvaderShotOnTheShipCostsScoreAndArmourClampedAtZero) {
    ship().armour = 20;
    ship().hull = 20;
    add_shot(weapons::invader, 390, 560);
    game.move_shots(0);

    EXPECT_EQ(ship().armour, 0);
    EXPECT_EQ(ship().hull, 20);  // the gauge follows later
    EXPECT_EQ(ship().score, -20);
    EXPECT_TRUE(game.shots.empty());
    ASSERT_EQ(game.explosions.size(), 1u);
    EXPECT_EQ(game.explosions[0].x, 400);
    EXPECT_EQ(game.explosions[0].y, 552);
}

TEST_F(Combat, InvaderShotsPassThroughInvaders) {
    add_invader(300, 200);
    add_shot(weapons::invader, 310, 210);
    game.move_shots(0);
    EXPECT_EQ(game.shots.size(), 1u);
    EXPECT_EQ(game.invaders[0].hull, 100);
}

TEST_F(Combat, TheGameEndsInTheUpdateWhereTheGaugeRunsOut) {
    ship().armour = 20;
    ship().hull = 20;
    add_shot(weapons::invader, 390, 560);
    for (int n = 1; n <= 19; n++) {
        ASSERT_FALSE(update_after(0)) << "update " << n;
        ASSERT_EQ(ship().hull, 20 - n);
    }

    // The 20th update empties the gauge and shows the game-over picture for 1000 ticks.
    std::atomic<bool> over{false};
    std::thread timer([&] {
        while (!over) {
            clock++;
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
    });
    const bool ends = game.update_frame();
    over = true;
    timer.join();

    EXPECT_TRUE(ends);
    EXPECT_EQ(ship().hull, 0);
    EXPECT_GE(game.last_tick, game.saved_ticks + 1000);
}

TEST_F(Combat, AnArmourBonusCaughtBeforeTheGaugeRunsOutSavesTheShip) {
    ship().armour = 20;
    ship().hull = 20;
    add_shot(weapons::invader, 390, 560);
    for (int n = 1; n <= 10; n++) ASSERT_FALSE(update_after(0));
    EXPECT_EQ(ship().hull, 10);

    add_bonus(390, 560, 0);
    for (int n = 11; n <= 40; n++) ASSERT_FALSE(update_after(0)) << "update " << n;
    EXPECT_EQ(ship().armour, 20);
    EXPECT_EQ(ship().hull, 20);
}

TEST_F(Combat, RammingCostsArmourAndScoreButCountsNoKill) {
    add_invader(380, 540);
    game.ram_invaders();
    EXPECT_TRUE(game.invaders.empty());
    EXPECT_EQ(ship().armour, 50);
    EXPECT_EQ(ship().score, -10);
    EXPECT_EQ(ship().kills, 0);
    ASSERT_EQ(game.explosions.size(), 1u);
    EXPECT_EQ(game.explosions[0].x, 400);
    EXPECT_EQ(game.explosions[0].y, 560);

    ship().armour = 30;
    add_invader(380, 540);
    game.ram_invaders();
    EXPECT_EQ(ship().armour, 0);
}

TEST_F(Combat, OnlyInvadersTouchingTheShipRamIt) {
    add_invader(380, 540, 1);
    add_invader(100, 300, 2);
    add_invader(340, 520, 3);
    add_invader(600, 520, 4);
    game.ram_invaders();
    ASSERT_EQ(game.invaders.size(), 2u);
    EXPECT_EQ(game.invaders[0].kind, 2);
    EXPECT_EQ(game.invaders[1].kind, 4);
    EXPECT_EQ(ship().armour, 0);
    EXPECT_EQ(ship().score, -20);
}

// The drop draws its chance, then its kind, at the moment each invader is destroyed.
TEST_F(Combat, OneDestroyedInvaderInThreeDropsABonusAtItsCentre) {
    const int destroyed = 30;
    for (int i = 0; i < destroyed - 1; i++) add_invader(300, 200);
    add_invader(380, 540);  // the last one rams the ship
    game.game_speed = 3.0;

    srand(99);
    std::vector<int> expected_kinds;
    for (int i = 0; i < destroyed; i++)
        if (rand() % 3 == 0) expected_kinds.push_back(rand() % 4);
    ASSERT_GT(expected_kinds.size(), 0u);
    ASSERT_LT(expected_kinds.size(), size_t(destroyed));

    srand(99);
    for (int i = 0; i < destroyed - 1; i++) {
        add_shot(weapons::fireball, 315, 210);
        game.move_shots(0);
    }
    game.ram_invaders();
    EXPECT_TRUE(game.invaders.empty());

    ASSERT_EQ(game.bonuses.size(), expected_kinds.size());
    for (size_t i = 0; i < expected_kinds.size(); i++) {
        const Bonus& bonus = game.bonuses[i];
        EXPECT_EQ(bonus.kind, expected_kinds[i]);
        EXPECT_DOUBLE_EQ(bonus.speed, 0.75);
        EXPECT_EQ(bonus.frames, game.bonus_frames);
    }
    // Every drop sits with its top-left corner on the centre the invader had.
    for (const Bonus& bonus : game.bonuses) {
        const bool from_shot = bonus.x == 320 && bonus.y == 220;
        const bool from_ram = bonus.x == 400 && bonus.y == 560;
        EXPECT_TRUE(from_shot || from_ram) << bonus.x << ", " << bonus.y;
    }
}

// A seed whose first draw makes a drop, or one whose first draw does not.
unsigned seed_where_first_draw_drops(bool drops) {
    for (unsigned seed = 1;; seed++) {
        srand(seed);
        if ((rand() % 3 == 0) == drops) return seed;
    }
}

TEST_F(Combat, ARammingInvaderMakesTheSameDrop) {
    add_invader(380, 540);
    const unsigned seed = seed_where_first_draw_drops(true);
    srand(seed);
    rand();
    const int kind = rand() % 4;
    srand(seed);
    game.ram_invaders();
    ASSERT_EQ(game.bonuses.size(), 1u);
    EXPECT_EQ(game.bonuses[0].kind, kind);
    EXPECT_EQ(game.bonuses[0].x, 400);
    EXPECT_EQ(game.bonuses[0].y, 560);

    add_invader(380, 540);
    srand(seed_where_first_draw_drops(false));
    game.ram_invaders();
    EXPECT_EQ(game.bonuses.size(), 1u);
}

TEST_F(Combat, AnExplosionLivesForTwentyFourUpdates) {
    game.explosions.emplace_back(100, 100, game.explosion_frames);
    for (int n = 1; n <= 24; n++) {
        game.advance_explosions();
        ASSERT_EQ(game.explosions.size(), 1u);
        ASSERT_EQ(game.explosions[0].frame, n);
    }
    game.advance_explosions();
    EXPECT_TRUE(game.explosions.empty());
}

TEST_F(Combat, RemovingAnExplosionSkipsNoneBehindIt) {
    game.explosions.emplace_back(1, 1, game.explosion_frames);
    game.explosions.emplace_back(2, 2, game.explosion_frames);
    game.explosions.emplace_back(3, 3, game.explosion_frames);
    game.explosions[0].frame = 24;
    game.explosions[1].frame = 24;
    game.explosions[2].frame = 3;
    game.advance_explosions();
    ASSERT_EQ(game.explosions.size(), 1u);
    EXPECT_EQ(game.explosions[0].x, 3);
    EXPECT_EQ(game.explosions[0].frame, 4);
}

TEST_F(Combat, RemovingShotsSkipsNoneAndMovesNoneTwice) {
    add_shot(weapons::invader, 10, 600.5);  // passes the bottom
    add_shot(weapons::invader, 30, 600.8);  // passes the bottom
    add_shot(weapons::missiles, 50, 300);
    add_shot(weapons::invader, 70, 100);
    game.move_shots(1);
    ASSERT_EQ(game.shots.size(), 2u);
    EXPECT_DOUBLE_EQ(game.shots[0].y, 299.4);
    EXPECT_EQ(game.shots[0].anim_tick, 1);
    EXPECT_DOUBLE_EQ(game.shots[1].y, 100.6);
    EXPECT_EQ(game.shots[1].anim_tick, 1);
}

TEST_F(Combat, AShotGoesOnceItsTruncatedRowIsPastTheBottom) {
    add_shot(weapons::invader, 10, 600.9);
    add_shot(weapons::invader, 30, 601.0);
    game.move_shots(0);
    ASSERT_EQ(game.shots.size(), 1u);
    EXPECT_EQ(game.shots[0].x, 10);
}

// No invader is ever above y = -100, so a ship's shot wholly above that line is done.
TEST_F(Combat, AShipsShotGoesOnceWhollyAboveTheInvadersStartingLine) {
    add_shot(weapons::missiles, 10, -120.5);  // bottom edge at -100.5
    add_shot(weapons::missiles, 30, -120.0);  // bottom edge at -100
    add_shot(weapons::invader, 50, -500);
    game.move_shots(0);
    ASSERT_EQ(game.shots.size(), 2u);
    EXPECT_EQ(game.shots[0].x, 30);
    EXPECT_EQ(game.shots[1].weapon, weapons::invader);
}

}  // namespace
