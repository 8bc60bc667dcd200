// SPDX-License-Identifier: GPL-3.0-or-later
// The player's inputs beyond Allegro's own state: the gamepad, the actions read in play
// and the keys and buttons bound to them, and the keys the game keeps for itself.
#pragma once

#include <allegro.h>

#include <string>

// Either mouse button held.
inline bool mouse_held() { return mouse_b & 3; }

// Held now and not at the last look: one press, one action however long it is held.
struct PressEdge {
    bool was_down = false;
    bool struck(bool down) {
        const bool edge = down && !was_down;
        was_down = down;
        return edge;
    }
};

// The first gamepad, as Allegro's joystick driver reports it (none plugged in: nothing is ever
// held). Like a key, a button held when the keyboard is reset counts again only once released.
struct GamePad {
    // Buttons by number: the first fires and answers yes, the next three choose the weapons
    // (the second also answers no). Start is the 8th on pads laid out like the Xbox one, the
    // 10th on most others; either is taken.
    static constexpr int fire_button = 0;
    static constexpr int first_weapon_button = 1;
    static constexpr int no_button = 1;
    static constexpr int start_buttons[2] = {7, 9};

    bool ignored[MAX_JOYSTICK_BUTTONS] = {};

    // Reads the driver (polled, not interrupt-driven) and lets go of the released buttons.
    void poll();
    bool button(int number) const;
    bool start() const;
    bool left() const;
    bool right() const;
    // Every button held now is ignored until it is released.
    void forget_held();
};

// The actions read in play, in the order the keys screen lists them.
namespace actions {
constexpr int left = 0, right = 1, fire = 2;
constexpr int first_weapon = 3;  // then the second and the third
constexpr int faster = 6, slower = 7, pause = 8;
constexpr int count = 9;
}  // namespace actions

// The player's key (an Allegro scancode) and gamepad button (none: -1) for each action. No key and
// no button serves two actions. A new player's are the keys and buttons play always had.
struct KeyBindings {
    static constexpr int no_button = -1;
    int keys[actions::count] = {KEY_LEFT, KEY_RIGHT, KEY_SPACE, KEY_1, KEY_2, KEY_3, KEY_UP, KEY_DOWN, KEY_P};
    int buttons[actions::count] = {no_button, no_button, GamePad::fire_button, GamePad::first_weapon_button,
                                 GamePad::first_weapon_button + 1, GamePad::first_weapon_button + 2,
                                 no_button, no_button, no_button};

    // The action's key or button is held (a button held through a reset counts once released).
    bool held(int action, const GamePad& pad) const;
    // Gives the key (or button) to the action; the action that had it takes the action's old
    // one in exchange. Returns that other action, or -1 when the key was free.
    int give_key(int action, int scancode);
    int give_button(int action, int button);
};

// The keys the game keeps for itself: Escape, Alt, Enter, the display keys, Print Screen, F1,
// and Pause (a second pause key whatever the player chooses). Likewise Start on the gamepad.
bool reserved_key(int scancode);
bool reserved_button(int button);
// A key's name as the player reads it: a word in the language spoken (arrows, space...), else
// the symbol the player's keyboard shows (Allegro's), starting with a capital.
std::string key_name(int scancode);
