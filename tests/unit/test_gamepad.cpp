// SPDX-License-Identifier: GPL-3.0-or-later
// The first gamepad, its state set by hand as Allegro's driver leaves it after a poll.
#include <string>
#include <tuple>
#include <utility>

#include "test_play_scene.h"

using GamePadPlay = PlayScene;

// Laid out like the common pads on Linux: the left stick, a trigger paired with the right
// stick's x, the right stick's y with the other trigger, the cross, a lone throttle. A trigger at rest reads as
// pushed to its low end: it must not steer. Start opens the quit dialog, where the second
// button or Start says no, fire yes (each of the dialog's frames presses the button; Escape after 100
// frames ends a deaf one); Start plays from the title. A button held through a keyboard reset
// counts again once released, as a key does; an unplugged pad counts no more. The keys screen
// takes a button for an action, never Start.
TEST_F(GamePadPlay, TheSticksAndButtonsGiveTheGamesInputsOnEveryScreen) {
    num_joysticks = 1, joy[0].num_sticks = 5, joy[0].num_buttons = 11;
    for (int s = 0; s < 5; s++) joy[0].stick[s].num_axis = 2 - (s == 4);
    const auto press = [this](int button, bool down) { joy[0].button[button].b = down, game.pad.poll(); };
    for (auto [stick, right, moved] : {std::tuple{0, false, -5}, {0, true, 5}, {3, false, -5}, {3, true, 5}, {1, false, 0}, {4, true, 0}}) {
        ship().x = 300;
        joy[0].stick[stick].axis[0] = JOYSTICK_AXIS_INFO{0, !right, right, nullptr};
        game.steer(10, game.read_inputs());
        joy[0].stick[stick].axis[0] = JOYSTICK_AXIS_INFO{};
        EXPECT_DOUBLE_EQ(ship().x, 300 + moved) << "stick " << stick << (right ? " right" : " left");
    }
    std::string answers;  // per button: fire, the three weapons, quit
    for (int button : {0, 1, 2, 3, 7, 9, 4, 8}) {
        press(button, true);
        answers += {".1"[game.fire_held()], ".1"[game.weapon_chosen(0)], ".1"[game.weapon_chosen(1)],
                    ".1"[game.weapon_chosen(2)], ".1"[game.quit_asked()], ' '};
        press(button, false);
    }
    EXPECT_EQ(answers, "1.... .1... ..1.. ...1. ....1 ....1 ..... ..... ");
    int frames = 0, pressed = 0;
    game.frame_observer = [&](BITMAP*) { joy[0].button[pressed].b = 1, key[KEY_ESC] = ++frames > 100; };
    for (auto [answer, leaves] : {std::pair{1, false}, {7, false}, {0, true}}) {
        press(9, true);
        pressed = answer;
        frames = 0;
        EXPECT_EQ(std::pair(update_after(5), frames), std::pair(leaves, 1)) << "answer " << answer;
        press(answer, false);
        press(9, false);
    }
    game.title_image = game.mouse_pointer = game.play_button_normal = game.play_button_hover =
        game.play_button_pressed = game.player_frames[0];
    pressed = 9;
    EXPECT_FALSE(game.title_menu());
    press(9, false);
    joy[0].button[0].b = 1;  // set as the driver does; the update reads the pad itself
    game.reset_keyboard();
    std::string shots;
    for (int held : {1, 0, 1}) {
        joy[0].button[0].b = held;
        update_after(5);
        shots += char('0' + game.shots.size());
    }
    // On the keys screen, Left chosen: Start is refused, the second button taken from the missiles (left with none).
    joy[0].button[0].b = 0, frames = 0;
    game.frame_observer = [&](BITMAP*) {
        key[KEY_ENTER] = ++frames == 1, joy[0].button[9].b = frames == 2, joy[0].button[1].b = frames == 3, key[KEY_ESC] = frames == 4;
    };
    game.keys_screen();
    const int* buttons = game.settings.bindings.buttons;
    EXPECT_EQ(std::tuple(buttons[actions::left], buttons[actions::first_weapon], frames), std::tuple(1, KeyBindings::no_button, 4));
    num_joysticks = 0;
    EXPECT_EQ(std::pair(shots, game.fire_held()), std::pair(std::string("001"), false));
    joy[0] = JOYSTICK_INFO{};
}
