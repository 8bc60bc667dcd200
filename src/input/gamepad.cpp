// SPDX-License-Identifier: GPL-3.0-or-later
// The first gamepad: its buttons and the directions that steer.
#include "input/input.h"

namespace {

bool pad_plugged() { return num_joysticks > 0; }

// Allegro pairs the driver's axes into sticks in order: the first is the left stick (the
// cross itself on simple pads); on pads with analogue sticks the cross is the last pair. A
// lone last axis is a throttle, not a direction.
const JOYSTICK_STICK_INFO* cross(const JOYSTICK_INFO& pad) {
    for (int s = pad.num_sticks - 1; s > 0; s--)
        if (pad.stick[s].num_axis == 2) return &pad.stick[s];
    return nullptr;
}

// d1 is set while an axis is pushed towards its low end (left), d2 towards its high end.
bool pushed(bool towards_high) {
    if (!pad_plugged() || joy[0].num_sticks < 1) return false;
    const JOYSTICK_AXIS_INFO& main_x = joy[0].stick[0].axis[0];
    const JOYSTICK_STICK_INFO* pad_cross = cross(joy[0]);
    const bool on_main = towards_high ? main_x.d2 : main_x.d1;
    const bool on_cross = pad_cross && (towards_high ? pad_cross->axis[0].d2 : pad_cross->axis[0].d1);
    return on_main || on_cross;
}

}  // namespace

void GamePad::poll() {
    poll_joystick();
    for (int b = 0; b < MAX_JOYSTICK_BUTTONS; b++)
        if (!pad_plugged() || b >= joy[0].num_buttons || !joy[0].button[b].b) ignored[b] = false;
}

bool GamePad::button(int number) const {
    return pad_plugged() && number >= 0 && number < joy[0].num_buttons && joy[0].button[number].b && !ignored[number];
}

bool GamePad::start() const { return button(start_buttons[0]) || button(start_buttons[1]); }

bool GamePad::left() const { return pushed(false); }

bool GamePad::right() const { return pushed(true); }

void GamePad::forget_held() {
    for (int b = 0; b < MAX_JOYSTICK_BUTTONS; b++) ignored[b] = pad_plugged() && b < joy[0].num_buttons && joy[0].button[b].b;
}
