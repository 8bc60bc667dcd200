// The player's controls: firing, ammunition, steering and the weapon keys, and the
// ship's bookkeeping at the end of each update.
#include <vector>

#include "test_play_scene.h"

namespace {

class ShipControl : public PlayScene {};

TEST_F(ShipControl, HoldingFireShootsEveryTenthUpdateUntilTheMissilesRunOut) {
    key[KEY_SPACE] = 1;
    std::vector<int> firing_updates;
    for (int n = 1; n <= 120; n++) {
        const int before = ship().ammo[weapons::missiles];
        update_after(0);
        if (ship().ammo[weapons::missiles] < before) firing_updates.push_back(n);
    }
    EXPECT_EQ(firing_updates, (std::vector<int>{1, 11, 21, 31, 41, 51, 61, 71, 81, 91}));
    EXPECT_EQ(ship().ammo[weapons::missiles], 0);
    EXPECT_EQ(ship_shots(), 10);
}

TEST_F(ShipControl, AShotLeavesFromTheMiddleOfTheShipsTopEdge) {
    ship().x = 100.7;
    key[KEY_SPACE] = 1;
    game.fire();
    ASSERT_EQ(game.shots.size(), 1u);
    const Shot& missile = game.shots[0];
    EXPECT_DOUBLE_EQ(missile.x, 100 + ship_w / 2 - missile_w / 2);  // 127
    EXPECT_DOUBLE_EQ(missile.y, 552);
    EXPECT_EQ(missile.weapon, weapons::missiles);
    EXPECT_EQ(missile.direction, 0);
    EXPECT_EQ(missile.frames, game.shot_frames[weapons::missiles]);
    EXPECT_DOUBLE_EQ(missile.speed, 0.6);
    EXPECT_EQ(ship().fire_delay, 10);

    // Each weapon's own first frame decides where its shot starts.
    ship().weapon = weapons::choc;
    ship().ammo[weapons::choc] = 2;
    ship().fire_delay = 0;
    game.fire();
    ASSERT_EQ(game.shots.size(), 2u);
    EXPECT_DOUBLE_EQ(game.shots[1].x, 100 + ship_w / 2 - choc_w / 2);
    EXPECT_EQ(game.shots[1].frames, game.shot_frames[weapons::choc]);
    EXPECT_EQ(ship().ammo[weapons::choc], 1);
}

TEST_F(ShipControl, NothingIsFiredWithoutTheKeyAmmunitionOrAnEndedDelay) {
    game.fire();  // key not held
    ship().fire_delay = 3;
    key[KEY_SPACE] = 1;
    game.fire();
    EXPECT_TRUE(game.shots.empty());
    EXPECT_EQ(ship().fire_delay, 3);
    EXPECT_EQ(ship().ammo[weapons::missiles], 10);

    ship().fire_delay = 0;
    ship().weapon = weapons::fireball;  // none in stock
    game.fire();
    EXPECT_TRUE(game.shots.empty());
    EXPECT_EQ(ship().fire_delay, 0);
}

TEST_F(ShipControl, SwitchingBackToAStockedWeaponFiresInTheNextUpdate) {
    key[KEY_SPACE] = 1;
    key[KEY_2] = 1;
    update_after(0);  // fires Missiles, then chooses the empty Fireball
    update_after(0);
    ship().fire_delay = 0;
    update_after(0);
    EXPECT_EQ(ship_shots(), 1);
    EXPECT_EQ(ship().fire_delay, 0);

    key[KEY_2] = 0;
    key[KEY_1] = 1;
    update_after(0);  // still Fireball when it tries to fire
    EXPECT_EQ(ship_shots(), 1);
    update_after(0);
    EXPECT_EQ(ship_shots(), 2);
}

TEST_F(ShipControl, SteeringStopsAtTheLeftEdgeByTheTruncatedColumn) {
    key[KEY_LEFT] = 1;
    ship().x = 0.9;
    game.steer(5);
    EXPECT_DOUBLE_EQ(ship().x, 0.9);

    ship().x = 1.0;
    game.steer(5);
    EXPECT_DOUBLE_EQ(ship().x, -1.5);
    game.steer(5);
    EXPECT_DOUBLE_EQ(ship().x, -1.5);
}

TEST_F(ShipControl, SteeringStopsAtTheRightEdgeByTheTruncatedColumn) {
    key[KEY_RIGHT] = 1;
    ship().x = 735.9;  // 735 + 64 < 800: one more step, ending past the edge
    game.steer(4);
    EXPECT_DOUBLE_EQ(ship().x, 737.9);
    game.steer(4);
    EXPECT_DOUBLE_EQ(ship().x, 737.9);

    ship().x = 736.0;
    game.steer(4);
    EXPECT_DOUBLE_EQ(ship().x, 736.0);
}

TEST_F(ShipControl, BothArrowsHeldCancelOut) {
    key[KEY_LEFT] = 1;
    key[KEY_RIGHT] = 1;
    ship().x = 300;
    game.steer(10);
    EXPECT_DOUBLE_EQ(ship().x, 300);
}

TEST_F(ShipControl, TheHighestWeaponKeyHeldWins) {
    key[KEY_1] = 1;
    key[KEY_3] = 1;
    game.choose_weapon();
    EXPECT_EQ(ship().weapon, weapons::choc);
    key[KEY_3] = 0;
    key[KEY_2] = 1;
    game.choose_weapon();
    EXPECT_EQ(ship().weapon, weapons::fireball);
    key[KEY_1] = 0;
    key[KEY_2] = 0;
    game.choose_weapon();
    EXPECT_EQ(ship().weapon, weapons::fireball);
}

TEST_F(ShipControl, TheArmourGaugeFollowsTheArmourOnePointPerUpdate) {
    ship().armour = 40;
    for (int i = 0; i < 59; i++) game.update_ship();
    EXPECT_EQ(ship().hull, 41);
    game.update_ship();
    EXPECT_EQ(ship().hull, 40);
    game.update_ship();
    EXPECT_EQ(ship().hull, 40);

    ship().armour = 42;
    game.update_ship();
    EXPECT_EQ(ship().hull, 41);
}

TEST_F(ShipControl, TheFireDelayRunsDownToZeroAndStops) {
    ship().fire_delay = 2;
    game.update_ship();
    EXPECT_EQ(ship().fire_delay, 1);
    game.update_ship();
    game.update_ship();
    EXPECT_EQ(ship().fire_delay, 0);
    EXPECT_EQ(ship().anim_tick, 3);
}

}  // namespace
