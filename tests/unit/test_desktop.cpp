// SPDX-License-Identifier: GPL-3.0-or-later
// The game on a desktop: its command line and the keys that switch between a window and the
// full screen. (The window test takes the focus away for real.)
#include <string>
#include <tuple>
#include <vector>

#include "test_play_scene.h"

namespace {

// A wrong command line is turned away naming what is wrong (its first word, in these cases).
TEST(CommandLine, ChoosesTheDisplayAndTheDataFileAndTurnsAwayAnythingElse) {
    using Display = Settings::Display;
    using Action = Options::Action;
    const struct { std::vector<const char*> arguments; Action action = Action::usage_error; Display display = Display::unchosen;
                   std::string data_file = ""; } cases[] = {
        {{}, Action::play},
        {{"--plein-ecran", "--donnees", "a b.dat"}, Action::play, Display::fullscreen, "a b.dat"},
        {{"--plein-ecran", "--donnees=x.dat", "--fenetre"}, Action::play, Display::window, "x.dat"},  // the last wins
        {{"--fenetre", "--help", "--bogus"}, Action::help, Display::window},
        {{"--echelle=2", "--fenetre"}, Action::play, Display::window},
        {{"--donnees"}}, {{"--donnees", ""}}, {{"--window"}}, {{"zudaduviz.dat"}}, {{"--echelle", "0"}},  // turned away
    };
    for (auto c : cases) {
        const std::string first = c.arguments.empty() ? "(none)" : c.arguments[0];
        c.arguments.insert(c.arguments.begin(), "zudaduviz");
        const Options options = parse_options(int(c.arguments.size()), c.arguments.data());
        EXPECT_EQ(std::tuple(options.action, options.display, options.data_file, options.error.find(first) != std::string::npos),
                  std::tuple(c.action, c.display, c.data_file, c.action == Action::usage_error)) << first;
    }
}

}  // namespace

using Desktop = PlayScene;

// The title menu forgets every key after each frame, the Alt of Alt+Enter too unless
// the reset keeps it. In the quit dialog, the Enter of Alt+Enter does not confirm.
TEST_F(Desktop, AltEnterAndF11SwitchOncePerPressAndAnEnterWithAltNeitherPlaysNorConfirms) {
    const struct { std::vector<int> keys; bool switches, plain_enter; } presses[] = {
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
    int frames = 0;  // Alt+Enter on the dialog's first four frames, then Escape
    game.frame_observer = [&](BITMAP*) { key[KEY_ALT] = key[KEY_ENTER] = ++frames < 5, key[KEY_ESC] = frames >= 5; };
    EXPECT_FALSE(game.quit_dialog()) << "the Enter of Alt+Enter confirmed";
}
