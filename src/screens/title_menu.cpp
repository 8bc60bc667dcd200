// SPDX-License-Identifier: GPL-3.0-or-later
// The title screen between games: play button, the pace, the player's name, music and effects
// options, the ways to the keys screen and the table of honour, the language, keys, the record to
// beat at the pace chosen.
#include "game/game.h"
#include "screens/screens.h"

namespace {
const char* const keys_line = N_("Entrée : jouer      Échap : quitter");
constexpr int level_option_y = 300;  // above the music option, in its column
constexpr int effects_option_y = 370;  // under the music option (y 350), in its column
constexpr int name_option_y = 320;  // under the pace, above the music option
constexpr int keys_option_y = 390;  // under the effects option, above the keys line
constexpr int language_option_y = 410;  // under the keys screen's option
constexpr int table_option_y = 430;  // under the language, above the keys line
constexpr int keys_line_y = 450;  // between the options and the play button (y 500)
constexpr int record_line_y = 570;  // under the play button (y 500 to 547)
constexpr int demo_after_ticks = 20 * ticks_per_second;  // of no key, click or mouse movement

// The "Nom" line while the player types: the letters the font draws, Backspace, Enter (or a
// click) keeps the name, Escape gives it up. An empty name is the login name again.
struct NameTyping {
    bool on = false;
    std::string text;

    // The keys typed since the last frame; true once the typing is over.
    bool take_keys(Settings& settings) {
        while (keypressed()) {
            int scancode = 0;
            const int typed = ureadkey(&scancode);
            if (scancode == KEY_ENTER || scancode == KEY_ENTER_PAD) return keep(settings);
            if (scancode == KEY_ESC) return !(on = false);
            if (scancode == KEY_BACKSPACE && !text.empty()) {
                text.pop_back();
                while (!text.empty() && (uint8_t(text.back()) & 0xc0) == 0x80) text.pop_back();  // a whole letter
            }
            char letter[8] = {};
            usetc(letter, typed);
            if (fitting_name(text + letter) == text + letter) text += letter;
        }
        return false;
    }
    bool keep(Settings& settings) {
        settings.name = fitting_name(text);
        on = false;
        return true;
    }
};
}  // namespace

bool Game::title_menu() {
    bool leave = false;
    bool quit = false;
    ImageButton play_button(width / 2, 500, 0, 0, play_button_normal, play_button_hover, play_button_pressed);
    TextOption level_option(100, 200, level_option_y, "", std::vector<std::string>(level_count));
    TextOption music_option(100, 200, 350, "", {"", ""}), effects_option(100, 200, effects_option_y, "", {"", ""});
    // Not a setting to step through: a click (or F1) opens the keys screen.
    TextOption keys_option(100, 200, keys_option_y, "", {""});
    TextOption table_option(100, 200, table_option_y, "", {""});
    TextOption name_option(100, 200, name_option_y, "", {player_name(settings)});
    NameTyping typing;
    bool demo_shown_last = false;  // the idle loop alternates the demo and the table
    // Each language by its own name.
    TextOption language_option(100, 200, language_option_y, "", {});
    for (const Language& language : languages) language_option.values.push_back(language.name);
    // In the language spoken: again after each change of language.
    auto name_widgets = [&]() {
        play_button = ImageButton(width / 2, 500, play_button_normal->w, play_button_normal->h, play_button_normal,
                                  play_button_hover, play_button_pressed);
        level_option.label = _("Rapidité");
        for (int l = 1; l <= level_count; l++) level_option.values[l - 1] = printed(_("Rapidité %d"), l);
        music_option.label = _("Musique"), music_option.values = {_("Musique OFF"), _("Musique ON")};
        effects_option.label = _("Effets"), effects_option.values = {_("Effets OFF"), _("Effets ON")};
        keys_option.label = _("Touches"), keys_option.values = {_("Changer (F1)")};
        table_option.label = _("Tableau"), table_option.values = {_("Voir (F2)")};
        name_option.label = _("Nom");
        language_option.label = _("Langue");
        language_option.index = spoken_language();
    };
    name_widgets();
    PressEdge mouse_press{mouse_held()};
    // Open on the settings in force, so that what they show is what plays.
    level_option.index = settings.level - 1;
    music_option.index = music_on;
    effects_option.index = settings.effects_on ? 1 : 0;

    // Again after each demo: the menu's tune, a pointer at the centre (over nothing it could
    // click) and no key left from the input that ended the demo.
    auto enter = [this]() {
        if (music_on) play_midi(menu_music, 1);
        // The pointer is drawn into the buffer with the menu, from its top-left pixel.
        keep_pointer_in(0, 0, width - 1, height - 1);
        view.put_pointer(width / 2, height / 2);
        reset_keyboard();
    };
    enter();
    int idle_since = tick_counter, mouse_seen_x = mouse_x, mouse_seen_y = mouse_y;

    while (!leave) {
        clear_bitmap(buffer);
        masked_blit(title_image, buffer, 0, 0, width / 2 - title_image->w / 2, 100, title_image->w, title_image->h);
        if (play_button.is_clicked()) {
            leave = true;
            play_effect(Effect::menu_click, width / 2);
        }
        play_button.draw(buffer);
        if (level_option.update()) {
            settings.level = level_option.index + 1;
            prove_shown_level(*this, settings.level);  // its record and its demo
            save_settings(settings, settings_path);  // kept for this run even if it cannot be saved
            demo_sought = false;  // the demo is the best game of the pace chosen
            play_effect(Effect::menu_click, width / 2);
        }
        level_option.draw(buffer);
        if (music_option.update()) {
            music_on = music_option.index;
            settings.music_on = music_on;
            save_settings(settings, settings_path);  // kept for this run even if it cannot be saved
            if (music_on == 0) stop_midi();
            if (music_on == 1) play_midi(menu_music, 1);
            play_effect(Effect::menu_click, width / 2);
        }
        music_option.draw(buffer);
        if (effects_option.update()) {
            settings.effects_on = effects_option.index == 1;
            save_settings(settings, settings_path);  // kept for this run even if it cannot be saved
            play_effect(Effect::menu_click, width / 2);  // heard when they come on
        }
        effects_option.draw(buffer);
        keys_option.draw(buffer);
        table_option.draw(buffer);
        name_option.values[0] = typing.on ? typing.text + "_" : player_name(settings);
        name_option.draw(buffer);
        if (language_option.update()) {
            // Kept as the player's choice even when its catalogue cannot be read (French is spoken then).
            settings.language = language_option.index;
            save_settings(settings, settings_path);  // kept for this run even if it cannot be saved
            speak(settings.language, catalogue_folders(this_program_places().executable_dir));
            if (data) take_objects(data);  // the pictures that hold words
            name_widgets();
            play_effect(Effect::menu_click, width / 2);
        }
        language_option.draw(buffer);
        textprintf_centre_ex(buffer, font, width / 2, keys_line_y, colours::hint(), -1, "%s", _(keys_line));
        // Nothing to beat before the first points are scored at this pace.
        if (const int record = records[settings.level - 1]; record > 0)
            textprintf_centre_ex(buffer, font, width / 2, record_line_y, colours::label(), -1, _("Record : %i"),
                                 record);
        masked_blit(mouse_pointer, buffer, 0, 0, pointer_x(), pointer_y(), mouse_pointer->w, mouse_pointer->h);
        show_buffer();
        pad.poll();
        const bool stirred = player_stirred(*this, mouse_seen_x, mouse_seen_y);
        const bool clicked = mouse_press.struck(mouse_held());
        if (typing.on) {
            // The keys go to the name meanwhile: Enter plays nothing, Escape quits nothing.
            if (typing.take_keys(settings) || (clicked && !name_option.is_hovered() && typing.keep(settings)))
                save_settings(settings, settings_path);  // kept for this run even if it cannot be saved
        } else {
            if (enter_pressed() || pad.start()) leave = true;
            if (!leave && (key[KEY_F1] || (clicked && keys_option.is_hovered()))) {
                play_effect(Effect::menu_click, width / 2);
                keys_screen();
                mouse_press.was_down = mouse_held();  // a button held on the way back clicks nothing here
            }
            if (!leave && (key[KEY_F2] || (clicked && table_option.is_hovered()))) {
                play_effect(Effect::menu_click, width / 2);
                score_table_screen(false);
                mouse_press.was_down = mouse_held();
            }
            if (!leave && clicked && name_option.is_hovered()) {
                play_effect(Effect::menu_click, width / 2);
                typing.on = true, typing.text = player_name(settings);
                clear_keybuf();
            }
            if (key[KEY_ESC]) quit = leave = true;
        }
        if (close_requested) quit = leave = true;
        reset_keyboard();
        if (stirred || leave) {
            idle_since = tick_counter, mouse_seen_x = mouse_x, mouse_seen_y = mouse_y;
        } else if (tick_counter - idle_since >= demo_after_ticks) {
            // The table comes between two demos, as long as there is one to show.
            if (!demo_sought) demo_found = demo_game(*this, demo), demo_sought = true;
            if (demo_found) {
                if (demo_shown_last && !honour.levels[settings.level - 1].empty()) {
                    score_table_screen(true);
                } else {
                    if (music_on) stop_midi();
                    watch_replay(demo, true);
                    enter();
                }
                demo_shown_last = !demo_shown_last;
                mouse_press.was_down = mouse_held();  // the click that ended it clicks nothing here
            }
            idle_since = tick_counter, mouse_seen_x = mouse_x, mouse_seen_y = mouse_y;
        }
    }

    if (music_on) stop_midi();
    return quit;
}
