// SPDX-License-Identifier: GPL-3.0-or-later
// The keys screen, opened from the title: every action read in play with its key and its
// gamepad button. An action chosen (a click, or the arrows and Enter) takes the next key or
// button pressed; one that served another action changes places with that action's. Auto-fire
// is switched here too. Every change is saved at once.
#include "game/game.h"
#include "screens/screens.h"

namespace {
const char* const action_labels[actions::count] = {N_("Gauche"), N_("Droite"),    N_("Tir"),        N_("Missiles"),
                                                   N_("Fireball"), N_("Choc"), N_("Plus vite"), N_("Moins vite"),
                                                   N_("Pause")};
const char* const choose_notice = N_("Cliquez sur une action, ou flèches et Entrée");
const char* const waiting_notice = N_("Appuyez sur une touche ou un bouton      Échap : annuler");
const char* const keys_line = N_("Entrée : choisir      Échap : retour");

// Under the title picture (y 20 to 234): the column heads, a line per action, a notice, the two
// choices, the keys. Clear of the title's widgets, so a button still held on the way back
// acts on none of them.
constexpr int title_top = 20;
constexpr int heads_y = 250, first_row_y = 270, row_step = 18;
constexpr int label_x = 180, key_x = 360, button_x = 530, row_left = 164, row_right = 650;
constexpr int notice_y = 440, choices_y = 470, auto_fire_y = 500, keys_line_y = 560;
// The lines the arrows walk: the actions, the two choices, then auto-fire.
constexpr int defaults_line = actions::count, back_line = actions::count + 1, auto_fire_line = actions::count + 2,
              line_count = actions::count + 3;

std::string button_text(int button) {
    return button == KeyBindings::no_button ? _("Aucun") : printed(_("Bouton %d"), button + 1);
}

// A choice in the look of the title's options: the label alone, underlined.
TextOption choice(int x, const char* label) { return TextOption(x, x + text_length(font, label), choices_y, label, {""}); }

int row_y(int action) { return first_row_y + action * row_step; }

// The action whose line is under the pointer, else -1.
int action_pointed() {
    for (int action = 0; action < actions::count; action++)
        if (pointer_x() >= row_left && pointer_x() <= row_right && pointer_y() >= row_y(action) - 4 && pointer_y() <= row_y(action) + 11)
            return action;
    return -1;
}

int key_struck() {
    for (int scancode = 1; scancode < KEY_MAX; scancode++)
        if (key[scancode]) return scancode;
    return 0;
}

int button_struck(const GamePad& pad) {
    for (int button = 0; button < MAX_JOYSTICK_BUTTONS; button++)
        if (pad.button(button)) return button;
    return KeyBindings::no_button;
}

std::string swap_notice(int action, int other, bool keys) {
    return printed(keys ? _("%s et %s échangent leurs touches") : _("%s et %s échangent leurs boutons"),
                   _(action_labels[action]), _(action_labels[other]));
}

// The screen's state from one frame to the next.
struct KeysScreen {
    Game& game;
    KeyBindings& bindings;
    TextOption defaults_choice = choice(250, _("Par défaut")), back_choice = choice(470, _("Retour"));
    // In the look of the title's options, its value in the keys' column.
    TextOption auto_fire_choice{label_x, key_x, auto_fire_y, _("Tir automatique"), {"OFF", "ON"}};
    int selected = 0;  // a line the arrows walk
    bool waiting = false;  // for the selected action's new key or button
    bool leave = false;
    // The click that opened the screen is not one made on it.
    PressEdge mouse_press{mouse_held()};
    std::string notice = _(choose_notice);

    explicit KeysScreen(Game& game) : game(game), bindings(game.settings.bindings) {
        auto_fire_choice.index = game.settings.auto_fire;
    }

    void draw(BITMAP* buffer) const;
    // A key or button for the action waited for; Escape or a click gives up the wait.
    void take_key_or_button(bool clicked);
    // The line to act on: chosen with the arrows and Enter or a click, else -1.
    int line_chosen(bool clicked);
    void act_on(int line);
    void save() const { save_settings(game.settings, game.settings_path); }  // kept for this run even if not saved
};

void KeysScreen::draw(BITMAP* buffer) const {
    clear_bitmap(buffer);
    BITMAP* title = game.title_image;
    masked_blit(title, buffer, 0, 0, game.width / 2 - title->w / 2, title_top, title->w, title->h);
    const int heads = colours::hint(), label = colours::label(), value = colours::value();
    textprintf_ex(buffer, font, label_x, heads_y, heads, -1, "%s", _("Action"));
    textprintf_ex(buffer, font, key_x, heads_y, heads, -1, "%s", _("Clavier"));
    textprintf_ex(buffer, font, button_x, heads_y, heads, -1, "%s", _("Manette"));
    // A band behind the selected line.
    const TextOption* selected_choice = selected == defaults_line    ? &defaults_choice
                                        : selected == back_line      ? &back_choice
                                        : selected == auto_fire_line ? &auto_fire_choice : nullptr;
    if (selected_choice) {
        const TextOption& c = *selected_choice;
        rectfill(buffer, c.label_x - 8, c.y - 4, c.value_x + text_length(font, c.values[c.index].c_str()) + 6, c.y + 11,
                 makecol(32, 32, 88));
    } else {
        rectfill(buffer, row_left, row_y(selected) - 4, row_right, row_y(selected) + 11, makecol(32, 32, 88));
    }
    for (int action = 0; action < actions::count; action++) {
        const bool asked = waiting && action == selected;
        const int shown = asked ? colours::bright() : value;
        textprintf_ex(buffer, font, label_x, row_y(action), label, -1, "%s", _(action_labels[action]));
        textprintf_ex(buffer, font, key_x, row_y(action), shown, -1, "%s",
                      asked ? "..." : key_name(bindings.keys[action]).c_str());
        textprintf_ex(buffer, font, button_x, row_y(action), shown, -1, "%s",
                      asked ? "..." : button_text(bindings.buttons[action]).c_str());
    }
    textprintf_centre_ex(buffer, font, game.width / 2, notice_y, colours::bright(), -1, "%s", notice.c_str());
    defaults_choice.draw(buffer);
    back_choice.draw(buffer);
    auto_fire_choice.draw(buffer);
    textprintf_centre_ex(buffer, font, game.width / 2, keys_line_y, heads, -1, "%s", _(keys_line));
    masked_blit(game.mouse_pointer, buffer, 0, 0, pointer_x(), pointer_y(), game.mouse_pointer->w, game.mouse_pointer->h);
}

void KeysScreen::take_key_or_button(bool clicked) {
    const int scancode = key_struck(), button = button_struck(game.pad);
    if (key[KEY_ESC] || clicked) {
        waiting = false;
        notice = _(choose_notice);
    } else if (scancode && reserved_key(scancode)) {
        notice = _("Cette touche est réservée au jeu      Échap : annuler");
    } else if (button != KeyBindings::no_button && reserved_button(button)) {
        notice = _("Ce bouton est réservé au jeu      Échap : annuler");
    } else if (scancode || button != KeyBindings::no_button) {
        const int other = scancode ? bindings.give_key(selected, scancode) : bindings.give_button(selected, button);
        notice = other < 0 ? _(choose_notice) : swap_notice(selected, other, scancode != 0);
        waiting = false;
        save();
    }
}

int KeysScreen::line_chosen(bool clicked) {
    if (key[KEY_UP]) selected = (selected + line_count - 1) % line_count;
    if (key[KEY_DOWN]) selected = (selected + 1) % line_count;
    if (clicked && action_pointed() >= 0) return action_pointed();
    if (clicked && defaults_choice.is_hovered()) return defaults_line;
    if (clicked && back_choice.is_hovered()) return back_line;
    if (clicked && auto_fire_choice.is_hovered()) return auto_fire_line;
    return game.enter_pressed() ? selected : -1;
}

void KeysScreen::act_on(int line) {
    selected = line;
    if (line < actions::count) {
        waiting = true;
        notice = _(waiting_notice);
    }
    if (line == defaults_line) {
        bindings = KeyBindings();
        notice = _("Les touches et les boutons d'origine sont remis");
        save();
    }
    if (line == back_line) leave = true;
    if (line == auto_fire_line) {
        game.settings.auto_fire = !game.settings.auto_fire;
        auto_fire_choice.index = game.settings.auto_fire;
        save();
    }
}
}  // namespace

void Game::keys_screen() {
    KeysScreen keys(*this);
    reset_keyboard();
    while (!keys.leave) {
        keys.draw(buffer);
        show_buffer();
        pad.poll();
        const bool clicked = keys.mouse_press.struck(mouse_held());
        if (close_requested) {
            keys.leave = true;
        } else if (keys.waiting) {
            keys.take_key_or_button(clicked);
        } else if (key[KEY_ESC]) {
            keys.leave = true;
        } else if (const int line = keys.line_chosen(clicked); line >= 0) {
            keys.act_on(line);
        }
        reset_keyboard();
    }
}
