// SPDX-License-Identifier: GPL-3.0-or-later
// The game on a desktop: its command line and the keys that switch between a window and the
// full screen. (The window test takes the focus away for real.)
#include <string>
#include <tuple>
#include <vector>

#include "test_play_scene.h"

namespace {

Options parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "zudaduviz");
    return parse_options(int(arguments.size()), arguments.data());
}

TEST(CommandLine, ChoosesTheDisplayAndTheDataFileAndTurnsAwayAnythingElse) {
    using Display = Settings::Display;
    using Action = Options::Action;
    const struct {
        std::vector<const char*> arguments;
        Action action;
        Display display;
        std::string data_file;
    } cases[] = {
        {{}, Action::play, Display::unchosen, ""},
        {{"--plein-ecran", "--donnees", "a b.dat"}, Action::play, Display::fullscreen, "a b.dat"},
        {{"--plein-ecran", "--donnees=x.dat", "--fenetre"}, Action::play, Display::window, "x.dat"},  // the last wins
        {{"--fenetre", "--help", "--bogus"}, Action::help, Display::window, ""},
        {{"--donnees"}, Action::usage_error, Display::unchosen, ""},
        {{"--donnees", ""}, Action::usage_error, Display::unchosen, ""},
        {{"--window"}, Action::usage_error, Display::unchosen, ""},
        {{"zudaduviz.dat"}, Action::usage_error, Display::unchosen, ""},
        {{"--echelle=2", "--fenetre"}, Action::play, Display::window, ""},
        {{"--echelle", "0"}, Action::usage_error, Display::unchosen, ""},
    };
    for (const auto& c : cases) {
        const Options options = parse(c.arguments);
        const std::string shown = c.arguments.empty() ? "(none)" : c.arguments[0];
        EXPECT_EQ(std::tuple(options.action, options.display, options.data_file, options.error.empty()),
                  std::tuple(c.action, c.display, c.data_file, c.action != Action::usage_error)) << shown;
    }
    EXPECT_NE(parse({"--window"}).error.find("--window"), std::string::npos) << "the wrong option is named";
}

}  // namespace

using Desktop = PlayScene;

// The title menu forgets every key after each frame, the Alt of Alt+Enter too unless
// the reset keeps it.
TEST_F(Desktop, AltEnterAndF11SwitchOncePerPressAndAnEnterWithAltNeitherPlaysNorConfirms) {
    const struct {
        std::vector<int> keys;
        bool switches, plain_enter;
    } presses[] = {
        {{KEY_F11}, true, false},        {{KEY_F11}, false, false},  // held: one switch
        {{}, false, false},              {{KEY_ALT, KEY_ENTER}, true, false},
        {{KEY_ALT, KEY_ENTER}, false, false}, {{KEY_ALT}, false, false},
        {{KEY_ALTGR, KEY_ENTER}, true, false}, {{KEY_ENTER}, false, true},
    };
    for (size_t i = 0; i < std::size(presses); i++) {
        game.reset_keyboard();
        key[KEY_ALT] = key[KEY_ALTGR] = 0;
        for (int k : presses[i].keys) key[k] = 1;
        EXPECT_EQ(std::pair(game.display_switch_wanted(), game.enter_pressed()),
                  std::pair(presses[i].switches, presses[i].plain_enter)) << "press " << i;
    }
    key[KEY_ALT] = key[KEY_SPACE] = 1;
    game.reset_keyboard();
    EXPECT_EQ(std::pair(key[KEY_ALT], key[KEY_SPACE]), std::pair(char(1), char(0)));
    key[KEY_ALT] = 0;
}

TEST_F(Desktop, AltEnterInTheQuitDialogLeavesItOpen) {
    std::thread player([this] {
        for (int i = 0; i < 2000 && getpixel(game.buffer, 400, 300) != quit_colour; i++) pause_ms(1);
        key[KEY_ALT] = 1;
        key[KEY_ENTER] = 1;
        pause_ms(30);
        key[KEY_ENTER] = 0;
        key[KEY_ALT] = 0;
        key[KEY_ESC] = 1;
    });
    EXPECT_FALSE(game.quit_dialog()) << "the Enter of Alt+Enter confirmed";
    player.join();
}
