// SPDX-License-Identifier: GPL-3.0-or-later
// Every sound effect is heard at its event, once, from where it happens, and never otherwise:
// a recorder stands in for Allegro's mixer. Here the quit dialog and the title's clicks (the
// combat tests hear the hits and bonuses, the screens tests a ram and the game over, the frame
// update tests the shots). The middle of the screen is pan 128.
#include "test_play_scene.h"

using Effects = PlayScene;

// A click that changes the music, the effects or starts a game is heard; switching the
// effects off is silent, switching them on is heard. (The window tests see the choice kept; here
// it is written nowhere.) Then the quit dialog's chime when it opens; the dialog is let go at once.
TEST_F(Effects, ClicksOnTheTitleMenusWidgetsAndTheQuitDialogAreHeard) {
    TestStrip picture{100, 40, 7};
    game.title_image = game.mouse_pointer = game.play_button_normal = game.play_button_hover =
        game.play_button_pressed = picture.bitmaps[0];
    // From the frame after each of these the button is pressed, and from the next one released,
    // over a widget: the music option, the effects option twice (off, then on), the play button.
    const int presses[][3] = {{1, 150, 352}, {6, 120, 372}, {12, 120, 372}, {18, 400, 510}};
    int frame = 0;
    game.frame_observer = [&](BITMAP*) {
        frame++;
        for (const auto& p : presses)
            if (frame == p[0] || frame == p[0] + 1) mouse_x = p[1], mouse_y = p[2], mouse_b = frame == p[0];
    };
    EXPECT_FALSE(game.title_menu());
    mouse_b = 0;
    EXPECT_EQ(std::tuple(game.music_on, game.settings.music_on, game.settings.effects_on), std::tuple(1, true, true));
    key[KEY_ESC] = 1;
    game.frame_observer = [](BITMAP*) { key[KEY_ESC] = 1; };
    EXPECT_FALSE(update_after(1));
    EXPECT_EQ(heard, (Heard{{Effect::menu_click, 128}, {Effect::menu_click, 128}, {Effect::menu_click, 128},
                            {Effect::quit_dialog_opened, 128}}));
}
