// Bonuses: where they come from, how they fall, what each kind gives, and the
// one-per-update rule.
#include <vector>

#include "test_play_scene.h"

namespace {

class Bonuses : public PlayScene {};

// (390, 560) lies on the ship; (100, 300) is far from it.

TEST_F(Bonuses, EachKindGivesItsReward) {
    ship().armour = 90;
    for (int kind = 0; kind < 4; kind++) {
        add_bonus(390, 560, kind);
        game.move_bonuses(0);
        EXPECT_TRUE(game.bonuses.empty()) << "kind " << kind;
    }
    EXPECT_EQ(ship().armour, 100);
    EXPECT_EQ(ship().ammo[weapons::missiles], 20);
    EXPECT_EQ(ship().ammo[weapons::fireball], 5);
    EXPECT_EQ(ship().ammo[weapons::choc], 2);
    EXPECT_EQ(ship().score, 0);

    ship().armour = 0;
    ship().hull = 12;
    add_bonus(390, 560, 0);
    game.move_bonuses(0);
    EXPECT_EQ(ship().armour, 20);
    EXPECT_EQ(ship().hull, 12);
}

TEST_F(Bonuses, OnlyTheFirstBonusTouchingTheShipIsCaughtInAnUpdate) {
    add_bonus(100, 300, 2);
    add_bonus(390, 560, 1);
    add_bonus(395, 560, 3);
    game.move_bonuses(10);

    ASSERT_EQ(game.bonuses.size(), 2u);
    EXPECT_DOUBLE_EQ(game.bonuses[0].y, 302.5);
    EXPECT_EQ(ship().ammo[weapons::missiles], 20);
    EXPECT_EQ(ship().ammo[weapons::choc], 0);
    // The one behind waits, neither moved nor animated.
    EXPECT_DOUBLE_EQ(game.bonuses[1].y, 560);
    EXPECT_EQ(game.bonuses[1].anim_tick, 0);

    game.move_bonuses(0);
    ASSERT_EQ(game.bonuses.size(), 1u);
    EXPECT_EQ(ship().ammo[weapons::choc], 2);
}

TEST_F(Bonuses, AMissedBonusLeavesOnceItsTruncatedRowIsPastTheBottom) {
    ship().armour = 50;
    add_bonus(100, 600.4, 0);
    add_bonus(200, 600.5, 0);
    add_bonus(300, 500, 0);
    game.move_bonuses(2);  // half a pixel down: 600.9, 601.0 and 500.5
    ASSERT_EQ(game.bonuses.size(), 2u);
    EXPECT_EQ(game.bonuses[0].x, 100);
    EXPECT_EQ(game.bonuses[1].x, 300);
    EXPECT_EQ(ship().armour, 50);
}

TEST_F(Bonuses, ABonusFromNowhereDrawsItsChanceKindAndColumn) {
    game.game_speed = 0.5;
    struct Expected {
        int kind;
        int x;
    };
    srand(8);
    std::vector<Expected> expected;
    for (int i = 0; i < 30000; i++) {
        if (rand() % 5000 != 0) continue;
        const int kind = rand() % 4;
        expected.push_back({kind, rand() % (800 - bonus_w - 1)});
    }
    ASSERT_GT(expected.size(), 0u);

    srand(8);
    for (int i = 0; i < 30000; i++) game.spawn_random_bonus();
    ASSERT_EQ(game.bonuses.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        const Bonus& bonus = game.bonuses[i];
        EXPECT_EQ(bonus.kind, expected[i].kind);
        EXPECT_EQ(bonus.x, expected[i].x);
        EXPECT_EQ(bonus.y, -bonus_h);  // its bottom row just above the screen
        EXPECT_DOUBLE_EQ(bonus.speed, 0.125);
        EXPECT_EQ(bonus.frames, game.bonus_frames);
    }
}

}  // namespace
