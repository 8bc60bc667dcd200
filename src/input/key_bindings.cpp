// SPDX-License-Identifier: GPL-3.0-or-later
// The player's keys and buttons: which action each one serves, and the ones the game keeps.
// Allegro's own key names, for a game without a keyboard driver (the tests); the table is internal.
#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <cctype>
#include <utility>

#include "input/input.h"

namespace {

// Swaps `chosen` into the action's place: the action that had it (if any) takes the old one.
int give(int (&bound)[actions::count], int action, int chosen) {
    for (int other = 0; other < actions::count; other++)
        if (other != action && bound[other] == chosen) {
            std::swap(bound[other], bound[action]);
            return other;
        }
    bound[action] = chosen;
    return -1;
}

}  // namespace

bool KeyBindings::held(int action, const GamePad& pad) const {
    return key[keys[action]] || pad.button(buttons[action]);
}

int KeyBindings::give_key(int action, int scancode) { return give(keys, action, scancode); }

int KeyBindings::give_button(int action, int button) { return give(buttons, action, button); }

bool reserved_key(int scancode) {
    for (int kept : {KEY_ESC, KEY_ALT, KEY_ALTGR, KEY_ENTER, KEY_F9, KEY_F10, KEY_F11, KEY_PRTSCR, KEY_F1, KEY_PAUSE})
        if (scancode == kept) return true;
    return scancode <= 0 || scancode >= KEY_MAX;
}

bool reserved_button(int button) {
    return button == GamePad::start_buttons[0] || button == GamePad::start_buttons[1];
}

// Allegro's keyboard driver names a key by the symbol the player's layout puts on it; without
// one (the tests) its own names do.
std::string key_name(int scancode) {
    const char* name = keyboard_driver ? scancode_to_name(scancode) : _keyboard_common_names[scancode];
    std::string shown = name ? name : "?";
    if (!shown.empty()) shown[0] = char(std::toupper(static_cast<unsigned char>(shown[0])));
    return shown;
}
