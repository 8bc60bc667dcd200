// SPDX-License-Identifier: GPL-3.0-or-later
// The game on a desktop: its command line and the keys that switch between a window and the
// full screen. (The window test takes the focus away for real.)
#include <cstring>
#include <string>
#include <vector>

#include "test_play_scene.h"

namespace {

// What each command line asks for: the action, then for play the display and scale it puts in the
// settings (kept for the next start when chosen), the data file, the game to watch or to verify, then
// the modes it tries on a 1600x1260 desktop (a window's scale leaves room for the panels).
// A wrong one is turned away naming what is wrong (its first word, before any "=", in these cases).
TEST(CommandLine, ChoosesTheDisplayTheFilesAndTurnsAwayAnythingElse) {
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{}, "play u0 a800"}, {{"--plein-ecran", "--donnees", "a b.dat"}, "play f0 kept a b.dat f1600 f800 w800"},
        {{"--plein-ecran", "--donnees=x.dat", "--fenetre"}, "play w0 kept x.dat w800 f800"},  // the last wins
        {{"--fenetre", "--help", "--bogus"}, "help"}, {{"--version", "--bogus"}, "version"},
        {{"--echelle=2"}, "play w2 kept w800 f800"}, {{"--echelle", "9", "--plein-ecran"}, "play f9 kept f1600 f800 w800"},
        {{"--rejouer", "a.replay"}, "play u0 watch a.replay a800"}, {{"--verifier", "b", "--donnees", "c"}, "play u0 c verify b a800"},
        {{"--donnees"}, ""}, {{"--donnees", ""}, ""}, {{"--donnees="}, ""}, {{"--window"}, ""}, {{"zudaduviz.dat"}, ""},
        {{"--echelle"}, ""}, {{"--echelle", ""}, ""}, {{"--echelle", "0"}, ""}, {{"--echelle=10"}, ""}, {{"--echelle", "x"}, ""},
        {{"--rejouer"}, ""}, {{"--verifier", ""}, ""}, {{"--rejouer=a"}, ""},  // turned away
    };
    for (auto [arguments, expected] : cases) {
        const std::string first = arguments.empty() ? "(none)" : std::string(arguments[0]).substr(0, std::strcspn(arguments[0], "="));
        arguments.insert(arguments.begin(), "zudaduviz");
        const Options options = parse_options(int(arguments.size()), arguments.data());
        Settings settings;
        const bool kept = take_display_choice(options, settings);
        std::string got = options.action == Options::Action::usage_error ? ""
                          : options.action != Options::Action::play ? (options.action == Options::Action::help ? "help" : "version")
                          : "play " + std::string(1, "uwf"[int(settings.display)]) + std::to_string(settings.scale) +
                              (kept ? " kept" : "") + (options.data_file.empty() ? "" : " " + options.data_file) +
                              (options.replay_to_watch.empty() ? "" : " watch " + options.replay_to_watch) +
                              (options.replay_to_verify.empty() ? "" : " verify " + options.replay_to_verify);
        if (options.action == Options::Action::play)
            for (const DisplayMode& m : display_modes_for(settings, 1600, 1260, 800, 600))
                got += std::string(" ") + "wfa"[(m.card == GFX_AUTODETECT_FULLSCREEN) + 2 * (m.card == GFX_AUTODETECT)] +
                       std::to_string(m.width);
        EXPECT_EQ(got, expected) << first;
        EXPECT_EQ(options.error.find(first) != std::string::npos, expected.empty()) << first;
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
    key[KEY_ALT] = key[KEY_SPACE] = 1, pause_key_struck = true;  // a Pause struck before the change is forgotten too
    game.reset_keyboard();
    EXPECT_EQ(std::tuple(key[KEY_ALT], key[KEY_SPACE], pause_key_struck.load()), std::tuple(char(1), char(0), false));
    int frames = 0;  // Alt+Enter on the dialog's first four frames, then Escape
    game.frame_observer = [&](BITMAP*) { key[KEY_ALT] = key[KEY_ENTER] = ++frames < 5, key[KEY_ESC] = frames >= 5; };
    EXPECT_FALSE(game.quit_dialog()) << "the Enter of Alt+Enter confirmed";
    // A left click on "Oui" leaves; on "Non" or the close box it goes on; a right click or a
    // click beside them asks on (Escape from the fifth frame).
    const int left = 400 - game.quit_image->w / 2, top = 300 - game.quit_image->h / 2;
    for (auto [x, y, buttons, leaves, seen] : {std::tuple{77, 96, 1, true, 1}, {183, 96, 1, false, 1}, {250, 11, 1, false, 1},
             {77, 96, 2, false, 5}, {130, 96, 1, false, 5}, {250, 30, 1, false, 5}}) {
        frames = 0;
        game.frame_observer = [&, x = x, y = y, buttons = buttons](BITMAP*) {
            mouse_x = left + x, mouse_y = top + y, mouse_b = buttons, key[KEY_ESC] = ++frames >= 5;
        };
        EXPECT_EQ(std::pair(game.quit_dialog(), frames), std::pair(leaves, seen)) << x << "," << y << " buttons " << buttons;
    }
    mouse_b = 0;
}
