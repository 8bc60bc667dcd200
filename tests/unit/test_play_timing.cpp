// The frame update's clock and the order of its steps where the order shows.
#include <thread>

#include "test_play_scene.h"

namespace {

class FrameTiming : public PlayScene {};

TEST_F(FrameTiming, ElapsedIsTheTicksSinceTheEndOfThePreviousUpdate) {
    key[KEY_RIGHT] = 1;
    const double start_x = ship().x;

    update_after(7);  // the first update counts from the start of the game
    EXPECT_DOUBLE_EQ(ship().x, start_x + 3.5);
    EXPECT_EQ(game.last_tick, 7);

    update_after(0);
    EXPECT_DOUBLE_EQ(ship().x, start_x + 3.5);

    update_after(20);
    EXPECT_DOUBLE_EQ(ship().x, start_x + 13.5);
    EXPECT_EQ(game.last_tick, 27);
}

TEST_F(FrameTiming, MovementFollowsTheTicksAndAnimationsFollowTheUpdates) {
    add_shot(weapons::missiles, 100, 400);
    update_after(100);
    EXPECT_DOUBLE_EQ(game.shots[0].y, 340);
    EXPECT_EQ(game.shots[0].anim_tick, 1);

    // The same 100 ticks in ten updates: the same distance, nine more animation steps.
    for (int i = 0; i < 10; i++) update_after(10);
    EXPECT_NEAR(game.shots[0].y, 280, 1e-9);
    EXPECT_EQ(game.shots[0].anim_tick, 11 % 9);
}

TEST_F(FrameTiming, AnUpdateWithoutTicksMovesNothingButCountsEverything) {
    ship().fire_delay = 5;
    ship().armour = 50;
    add_shot(weapons::missiles, 100, 300);
    add_invader(600, 100);
    game.explosions.emplace_back(100, 100, game.explosion_frames);
    game.star_field[4][0].y = 50;

    update_after(0);

    EXPECT_DOUBLE_EQ(game.shots[0].y, 300);
    EXPECT_EQ(game.shots[0].anim_tick, 1);
    EXPECT_DOUBLE_EQ(game.invaders[0].x, 600);
    EXPECT_DOUBLE_EQ(game.invaders[0].y, 100);
    EXPECT_EQ(game.invaders[0].anim_tick, 1);
    EXPECT_DOUBLE_EQ(game.star_field[4][0].y, 50);
    EXPECT_EQ(ship().anim_tick, 1);
    EXPECT_EQ(ship().fire_delay, 4);
    EXPECT_EQ(ship().hull, 99);
    EXPECT_EQ(game.explosions[0].frame, 1);
}

TEST_F(FrameTiming, SpeedKeysSetTheGameSpeedWithDownWinning) {
    key[KEY_UP] = 1;
    update_after(0);
    EXPECT_EQ(game.game_speed, 3.0);
    key[KEY_DOWN] = 1;
    update_after(0);
    EXPECT_EQ(game.game_speed, 0.5);
    key[KEY_UP] = 0;
    update_after(0);
    EXPECT_EQ(game.game_speed, 0.5);
    key[KEY_DOWN] = 0;
    update_after(0);
    EXPECT_EQ(game.game_speed, 1.0);
}

TEST_F(FrameTiming, StarsFeelTheSpeedKeysInTheSameUpdate) {
    game.star_field[0][0].y = 100;
    key[KEY_UP] = 1;
    update_after(10);
    EXPECT_DOUBLE_EQ(game.star_field[0][0].y, 106);
    key[KEY_UP] = 0;
    update_after(10);
    EXPECT_DOUBLE_EQ(game.star_field[0][0].y, 108);
}

TEST_F(FrameTiming, AShotTakesTheSpeedLeftByThePreviousUpdateAndKeepsIt) {
    key[KEY_SPACE] = 1;
    key[KEY_UP] = 1;
    update_after(0);
    ASSERT_EQ(game.shots.size(), 1u);
    EXPECT_DOUBLE_EQ(game.shots[0].speed, 0.6);

    ship().fire_delay = 0;
    update_after(0);
    ASSERT_EQ(game.shots.size(), 2u);
    EXPECT_DOUBLE_EQ(game.shots[1].speed, 1.8);

    key[KEY_SPACE] = 0;
    key[KEY_UP] = 0;
    const double y = game.shots[1].y;
    update_after(10);
    EXPECT_NEAR(game.shots[1].y, y - 18, 1e-9);
}

TEST_F(FrameTiming, AWeaponChoiceFirstActsInTheNextUpdate) {
    ship().ammo[weapons::fireball] = 5;
    key[KEY_SPACE] = 1;
    key[KEY_2] = 1;
    update_after(0);
    ASSERT_EQ(game.shots.size(), 1u);
    EXPECT_EQ(game.shots[0].weapon, weapons::missiles);
    EXPECT_EQ(ship().weapon, weapons::fireball);

    ship().fire_delay = 0;
    update_after(0);
    ASSERT_EQ(game.shots.size(), 2u);
    EXPECT_EQ(game.shots[1].weapon, weapons::fireball);
    EXPECT_EQ(ship().ammo[weapons::missiles], 9);
    EXPECT_EQ(ship().ammo[weapons::fireball], 4);
}

TEST_F(FrameTiming, TheTimeTheQuitDialogStaysOpenNeverCounts) {
    add_shot(weapons::missiles, 100, 300);
    key[KEY_ESC] = 1;
    std::thread player([this] {
        wait_until_dialog_shown();
        clock += 5000;  // ten seconds with the dialog open
        pause_ms(20);
        key[KEY_ESC] = 1;
    });
    const bool ends = update_after(20);
    player.join();

    EXPECT_FALSE(ends);
    EXPECT_EQ(clock, 20);
    EXPECT_EQ(game.last_tick, 20);
    EXPECT_DOUBLE_EQ(game.shots[0].y, 300 - 20 * 0.6);  // the ticks before it opened only
    ASSERT_EQ(key[KEY_ESC], 0);  // or the next update would open the dialog again

    update_after(0);
    EXPECT_DOUBLE_EQ(game.shots[0].y, 300 - 20 * 0.6);
}

TEST_F(FrameTiming, ConfirmingTheQuitStillFinishesTheUpdate) {
    game.explosions.emplace_back(100, 100, game.explosion_frames);
    add_shot(weapons::missiles, 100, 300);
    key[KEY_ESC] = 1;
    std::thread player([] {
        wait_until_cleared(KEY_ESC);
        key[KEY_ENTER] = 1;
    });
    const bool ends = update_after(10);
    player.join();

    EXPECT_TRUE(ends);
    EXPECT_DOUBLE_EQ(game.shots[0].y, 294);
    EXPECT_EQ(game.explosions[0].frame, 1);
    EXPECT_EQ(game.last_tick, 10);
}

}  // namespace
