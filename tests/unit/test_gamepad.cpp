// The first gamepad, its state set by hand as Allegro's driver would leave it after a poll:
// it steers, fires and chooses weapons as the keys do, alongside them; Start asks to quit
// in play and plays from the title; a button held through a keyboard reset counts again
// only once released.
#include <tuple>

#include "test_play_scene.h"

namespace {

// A pad laid out like the common ones on Linux: the left stick, the triggers paired with
// the right stick, the cross last.
void plug_pad() {
    num_joysticks = 1;
    joy[0] = JOYSTICK_INFO{};
    joy[0].num_sticks = 4;
    for (int s = 0; s < 4; s++) joy[0].stick[s].num_axis = 2;
    joy[0].num_buttons = 11;
}

}  // namespace

class GamePadPlay : public PlayScene {
protected:
    void SetUp() override {
        PlayScene::SetUp();
        plug_pad();
    }
    void TearDown() override {
        num_joysticks = 0;
        joy[0] = JOYSTICK_INFO{};
        PlayScene::TearDown();
    }
    void press(int button, bool down = true) { joy[0].button[button].b = down; }
};

TEST_F(GamePadPlay, TheStickOrTheCrossSteersAndNeitherTheTriggersNorAThrottleDo) {
    struct Case { int stick; bool towards_right; double moved; };
    // Stick 1 pairs a trigger, whose rest reads as fully "left", with the right stick's x.
    for (auto [stick, right, moved] : {Case{0, false, -5}, {0, true, 5}, {3, false, -5}, {3, true, 5}, {1, false, 0}}) {
        ship().x = 300;
        joy[0].stick[stick].axis[0].d1 = !right;
        joy[0].stick[stick].axis[0].d2 = right;
        game.steer(10);
        joy[0].stick[stick].axis[0] = JOYSTICK_AXIS_INFO{};
        EXPECT_DOUBLE_EQ(ship().x, 300 + moved) << "stick " << stick << (right ? " right" : " left");
    }
    // A lone last axis is a throttle: the cross is then the last pair before it.
    joy[0].num_sticks = 5;
    joy[0].stick[4].num_axis = 1;
    joy[0].stick[4].axis[0].d1 = 1;
    joy[0].stick[3].axis[0].d2 = 1;
    ship().x = 300;
    game.steer(10);
    EXPECT_DOUBLE_EQ(ship().x, 305);
    // Pad right and keyboard left together cancel out, as both arrows do.
    key[KEY_LEFT] = 1;
    game.steer(10);
    EXPECT_DOUBLE_EQ(ship().x, 305);
}

TEST_F(GamePadPlay, TheFirstButtonFiresTheNextThreeChooseTheWeaponsWithTheKeysAlongside) {
    press(0);
    update_after(5);
    EXPECT_EQ(std::pair(game.shots.size(), ship().fire_delay), std::pair(size_t(1), 9));
    press(0, false);
    for (auto [button, weapon] : {std::pair{3, weapons::choc}, {2, weapons::fireball}, {1, weapons::missiles}}) {
        press(button);
        update_after(5);
        press(button, false);
        EXPECT_EQ(ship().weapon, weapon) << "button " << button;
    }
    // With a key and a button held, the highest weapon wins as with two keys.
    key[KEY_2] = 1;
    press(3);
    update_after(5);
    EXPECT_EQ(ship().weapon, weapons::choc);
    // No pad: its last state is ignored.
    key[KEY_2] = 0;
    press(3, false);
    num_joysticks = 0;
    ship().fire_delay = 0;
    ship().ammo[weapons::choc] = 5;
    press(0);
    press(1);
    update_after(5);
    EXPECT_EQ(std::pair(game.shots.size(), ship().weapon), std::pair(size_t(1), weapons::choc));
}

// Start (the 8th or the 10th button) opens the quit dialog; in it the second button or Start
// pressed again answers no, the fire button yes. The Start that opened it is held throughout.
TEST_F(GamePadPlay, StartAsksToQuitAndThePadAnswersTheDialog) {
    for (auto [start, answer, leaves] : {std::tuple{7, 1, false}, {9, 9, false}, {7, 0, true}}) {
        clear_bitmap(game.buffer);
        press(start);
        std::atomic<bool> returned{false};
        bool answered = false;
        std::thread player([&] {
            if (wait_until([&] { return getpixel(game.buffer, 400, 300) == quit_colour; })) {
                pause_ms(20);
                press(start, false);  // let go, so that Start pressed again counts
                pause_ms(20);
                press(answer);
                answered = wait_until([&] { return returned.load(); });
            }
            if (!answered) close_requested = true;  // never opened or never closed: end, not hang
        });
        const bool ended = update_after(5);
        returned = true;
        player.join();
        close_requested = false;
        EXPECT_TRUE(answered && ended == leaves) << "start " << start << ", answer " << answer;
        // The answer is still held: in play it acts again only once released.
        clear_bitmap(game.buffer);
        update_after(5);
        press(answer, false);
        EXPECT_NE(getpixel(game.buffer, 400, 300), quit_colour) << "the dialog opened again";
        EXPECT_EQ(std::pair(game.shots.size(), ship().weapon), std::pair(size_t(0), weapons::missiles));
    }
}

TEST_F(GamePadPlay, StartPlaysFromTheTitleOncePressedAfterItOpens) {
    TestStrip picture{8, 8, 1};
    game.title_image = game.mouse_pointer = picture.bitmaps[0];
    game.play_button_normal = game.play_button_hover = game.play_button_pressed = picture.bitmaps[0];
    press(9);  // still held from the game
    std::atomic<bool> returned{false};
    bool waited_for_release = false;
    std::thread player([&] {
        pause_ms(50);
        waited_for_release = !returned;
        press(9, false);
        pause_ms(20);
        press(9);
        if (!wait_until([&] { return returned.load(); })) key[KEY_ESC] = 1;  // deaf to Start: quit
    });
    EXPECT_FALSE(game.title_menu());
    returned = true;
    player.join();
    EXPECT_TRUE(waited_for_release);
}
