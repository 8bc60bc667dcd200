// SPDX-License-Identifier: GPL-3.0-or-later
// The player's keys and buttons: which action each one serves, and the ones the game keeps.
// Allegro's own key names, for a game without a keyboard driver (the tests); the table is internal.
#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <cctype>
#include <utility>

#include "input/input.h"
#include "language/language.h"

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

namespace {
// Keys named by a word, which the player reads in their language; the others show the symbol
// on them.
struct WordKey {
    int scancode;
    const char* name;
};
const WordKey word_keys[] = {
    {KEY_LEFT, N_("Gauche")}, {KEY_RIGHT, N_("Droite")}, {KEY_UP, N_("Haut")}, {KEY_DOWN, N_("Bas")},
    {KEY_SPACE, N_("Espace")}, {KEY_TAB, N_("Tab")}, {KEY_BACKSPACE, N_("Retour arrière")},
    {KEY_LSHIFT, N_("Maj gauche")}, {KEY_RSHIFT, N_("Maj droite")}, {KEY_LCONTROL, N_("Ctrl gauche")},
    {KEY_RCONTROL, N_("Ctrl droit")}, {KEY_INSERT, N_("Inser")}, {KEY_DEL, N_("Suppr")}, {KEY_HOME, N_("Début")},
    {KEY_END, N_("Fin")}, {KEY_PGUP, N_("Page préc.")}, {KEY_PGDN, N_("Page suiv.")}, {KEY_CAPSLOCK, N_("Verr. Maj")},
    {KEY_ENTER_PAD, N_("Entrée pavé")}, {KEY_MENU, N_("Menu")},
};
}  // namespace

// Allegro's keyboard driver names the other keys by the symbol the player's layout puts on
// them; without one (the tests) its own names do.
std::string key_name(int scancode) {
    for (const WordKey& word_key : word_keys)
        if (word_key.scancode == scancode) return _(word_key.name);
    const char* name = keyboard_driver ? scancode_to_name(scancode) : _keyboard_common_names[scancode];
    std::string shown = name ? name : "?";
    if (!shown.empty()) shown[0] = char(std::toupper(static_cast<unsigned char>(shown[0])));
    return shown;
}
