// The keys screen, opened from the title: every action read in play with its key and its
// gamepad button. An action chosen (a click, or the arrows and Enter) takes the next key or
// button pressed; one that served another action changes places with that action's. Every
// change is saved at once.
#include "frame/game.h"
#include "menu/menu.h"

namespace {
const char* const action_labels[actions::count] = {"Gauche", "Droite",    "Tir",       "Missiles", "Fireball",
                                                   "Choc",   "Plus vite", "Moins vite", "Pause"};
const char* const choose_notice = "Cliquez sur une action, ou flèches et Entrée";
const char* const waiting_notice = "Appuyez sur une touche ou un bouton      Échap : annuler";
const char* const keys_line = "Entrée : choisir      Échap : retour";

// Under the title picture (y 20 to 234): the column heads, a line per action, a notice, the two
// choices, the keys. Clear of the title's widgets, so a button still held on the way back
// acts on none of them.
constexpr int title_top = 20;
constexpr int heads_y = 250, first_row_y = 270, row_step = 18;
constexpr int label_x = 180, key_x = 360, button_x = 530, row_left = 164, row_right = 650;
constexpr int notice_y = 440, choices_y = 470, keys_line_y = 560;
// The lines the arrows walk: the actions, then the two choices.
constexpr int defaults_line = actions::count, back_line = actions::count + 1, line_count = actions::count + 2;

std::string button_text(int button) {
    return button == KeyBindings::no_button ? "Aucun" : "Bouton " + std::to_string(button + 1);
}

// A choice in the look of the title's options: the label alone, underlined.
TextOption choice(int x, const char* label) { return TextOption(x, x + text_length(font, label), choices_y, label, {""}); }

int row_y(int action) { return first_row_y + action * row_step; }

// The action whose line is under the pointer, else -1.
int action_pointed() {
    for (int action = 0; action < actions::count; action++)
        if (mouse_x >= row_left && mouse_x <= row_right && mouse_y >= row_y(action) - 4 && mouse_y <= row_y(action) + 11)
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

std::string swap_notice(int action, int other, const char* what) {
    return std::string(action_labels[action]) + " et " + action_labels[other] + " échangent leurs " + what;
}
}  // namespace

void keys_screen(Game& game) {
    KeyBindings& bindings = game.settings.bindings;
    BITMAP* buffer = game.buffer;
    TextOption defaults_choice = choice(250, "Par défaut"), back_choice = choice(470, "Retour");
    int selected = 0;
    bool waiting = false, leave = false;
    // The click that opened the screen is not one made on it.
    bool mouse_was_down = mouse_b & 3;
    std::string notice = choose_notice;
    game.reset_keyboard();

    while (!leave) {
        clear_bitmap(buffer);
        BITMAP* title = game.title_image;
        masked_blit(title, buffer, 0, 0, game.width / 2 - title->w / 2, title_top, title->w, title->h);
        const int heads = makecol(150, 150, 190), label = makecol(194, 194, 255), value = makecol(255, 64, 64);
        textprintf_ex(buffer, font, label_x, heads_y, heads, -1, "%s", "Action");
        textprintf_ex(buffer, font, key_x, heads_y, heads, -1, "%s", "Clavier");
        textprintf_ex(buffer, font, button_x, heads_y, heads, -1, "%s", "Manette");
        const int band_top = selected < actions::count ? row_y(selected) - 4 : choices_y - 4;
        const int band_left = selected == defaults_line ? defaults_choice.label_x - 8
                              : selected == back_line   ? back_choice.label_x - 8 : row_left;
        const int band_right = selected == defaults_line ? defaults_choice.value_x + 6
                               : selected == back_line   ? back_choice.value_x + 6 : row_right;
        rectfill(buffer, band_left, band_top, band_right, band_top + 15, makecol(32, 32, 88));
        for (int action = 0; action < actions::count; action++) {
            const bool asked = waiting && action == selected;
            const int shown = asked ? makecol(255, 255, 192) : value;
            textprintf_ex(buffer, font, label_x, row_y(action), label, -1, "%s", action_labels[action]);
            textprintf_ex(buffer, font, key_x, row_y(action), shown, -1, "%s",
                          asked ? "..." : key_name(bindings.keys[action]).c_str());
            textprintf_ex(buffer, font, button_x, row_y(action), shown, -1, "%s",
                          asked ? "..." : button_text(bindings.buttons[action]).c_str());
        }
        textprintf_centre_ex(buffer, font, game.width / 2, notice_y, makecol(255, 255, 192), -1, "%s",
                             notice.c_str());
        defaults_choice.draw(buffer);
        back_choice.draw(buffer);
        textprintf_centre_ex(buffer, font, game.width / 2, keys_line_y, heads, -1, "%s", keys_line);
        masked_blit(game.mouse_pointer, buffer, 0, 0, mouse_x, mouse_y, game.mouse_pointer->w, game.mouse_pointer->h);
        game.show_buffer();

        game.pad.poll();
        const bool clicked = (mouse_b & 3) && !mouse_was_down;
        mouse_was_down = mouse_b & 3;
        int activated = -1;
        if (close_requested) {
            leave = true;
        } else if (waiting) {
            const int scancode = key_struck(), button = button_struck(game.pad);
            // Escape, or a click anywhere, gives up the wait.
            if (key[KEY_ESC] || clicked) {
                waiting = false;
                notice = choose_notice;
            } else if (scancode && reserved_key(scancode)) {
                notice = "Cette touche est réservée au jeu      Échap : annuler";
            } else if (button != KeyBindings::no_button && reserved_button(button)) {
                notice = "Ce bouton est réservé au jeu      Échap : annuler";
            } else if (scancode || button != KeyBindings::no_button) {
                const int other = scancode ? bindings.give_key(selected, scancode) : bindings.give_button(selected, button);
                notice = other < 0 ? choose_notice : swap_notice(selected, other, scancode ? "touches" : "boutons");
                waiting = false;
                save_settings(game.settings, game.settings_path);  // kept for this run even if it cannot be saved
            }
        } else {
            if (key[KEY_ESC]) leave = true;
            if (key[KEY_UP]) selected = (selected + line_count - 1) % line_count;
            if (key[KEY_DOWN]) selected = (selected + 1) % line_count;
            if (game.enter_pressed()) activated = selected;
            if (clicked && action_pointed() >= 0) activated = action_pointed();
            if (clicked && defaults_choice.is_hovered()) activated = defaults_line;
            if (clicked && back_choice.is_hovered()) activated = back_line;
        }
        if (activated >= 0) {
            selected = activated;
            if (activated < actions::count) {
                waiting = true;
                notice = waiting_notice;
            }
            if (activated == back_line) leave = true;
            if (activated == defaults_line) {
                bindings = KeyBindings();
                notice = "Les touches et les boutons d'origine sont remis";
                save_settings(game.settings, game.settings_path);
            }
        }
        game.reset_keyboard();
    }
}
