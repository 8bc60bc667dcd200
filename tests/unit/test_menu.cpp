// SPDX-License-Identifier: GPL-3.0-or-later
// The title menu's widgets and the fade, on memory bitmaps with a mouse state
// the test sets itself.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "game/game.h"
#include "screens/screens.h"
#include "support.h"

namespace {

void put_mouse(int x, int y, int buttons) { mouse_x = x, mouse_y = y, mouse_b = buttons; }

TEST(ImageButton, HitBoxIsInclusiveTakesEitherButtonAndShowsItsState) {
    start_headless_allegro();
    const int hover_colour = makecol(0, 200, 0), pressed_colour = makecol(200, 0, 0), normal_colour = makecol(0, 0, 200);
    BITMAP *normal = make_filled(41, 20, normal_colour), *hover = make_filled(41, 20, hover_colour),
           *pressed = make_filled(41, 20, pressed_colour), *dest = make_filled(800, 600, 0);
    ImageButton button(400, 500, 30, 10, normal, hover, pressed);
    EXPECT_EQ(button.x, 380);  // centred by the normal image's width, not by w
    // Where the mouse is, its buttons, then whether the button is hovered and clicked.
    for (auto [x, y, buttons, hovered, clicked] : {std::tuple{380, 500, 0, true, false}, {380, 510, 1, true, true},
             {410, 500, 2, true, true}, {395, 505, 4, true, false}, {379, 505, 1, false, false}, {411, 505, 0, false, false},
             {395, 499, 1, false, false}, {395, 511, 2, false, false}}) {
        put_mouse(x, y, buttons);
        button.draw(dest);
        const int colour = clicked ? pressed_colour : hovered ? hover_colour : normal_colour;
        EXPECT_EQ(std::tuple(button.is_hovered(), button.is_clicked(), getpixel(dest, 385, 505)),
                  std::tuple(hovered, clicked, colour)) << x << "," << y << " buttons " << buttons;
    }
    for (BITMAP* b : {normal, hover, pressed, dest}) destroy_bitmap(b);
    put_mouse(0, 0, 0);
}

// Update by update, the mouse buttons over the option and the updates that change its value:
// held, it steps every four updates; released, a click of one to three updates steps once.
// Its box runs from the label to the end of the value shown. (Its colours are read in a window.)
TEST(TextOption, HeldButtonAdvancesEveryFourUpdatesAShortClickOnceAndTheBoxFollowsTheValue) {
    start_headless_allegro();
    TextOption option(100, 200, 350, "Musique", {"Musique OFF", "Musique ON", "trois"});
    const std::string buttons = "111111111 0000 20000 220000 2220000", changes = "100010001 0000 10000 100000 1000000";
    std::string changed;
    for (char b : buttons) {
        put_mouse(105, 350, b == ' ' ? 0 : b - '0');
        changed += b == ' ' ? ' ' : option.update() ? '1' : '0';
    }
    EXPECT_EQ(changed, changes);
    EXPECT_EQ(option.index, 0);  // six steps through three values: back to the first
    const int right_off = 200 + text_length(font, "Musique OFF"), bottom = 350 + text_height(font);
    for (auto [x, y, index, inside] : {std::tuple{100, 350, 0, true}, {170, bottom, 0, true}, {right_off, 350, 0, true},
             {right_off + 1, 350, 0, false}, {150, bottom + 1, 0, false}, {99, 352, 0, false}, {right_off, 350, 1, false}}) {
        put_mouse(x, y, 0);
        option.index = index;  // "Musique ON" is shorter: the box shrinks with it
        EXPECT_EQ(option.is_hovered(), inside) << x << "," << y;
    }
}

// What the player sees: 32 frames, the first unchanged, each darker than the one before
// (the darkening compounds) until black.
TEST(Fade, ShowsThirtyTwoFramesEachDarkerEndingBlack) {
    start_headless_allegro();
    Game game(64, 48, 1, 1);
    clear_to_color(game.buffer, makecol(248, 252, 248));
    std::vector<int> shown;
    game.frame_observer = [&](BITMAP* frame) { shown.push_back(getr(getpixel(frame, 10, 10))); };
    game.fade_out();
    ASSERT_EQ(shown.size(), 32u);
    EXPECT_EQ(shown.front(), getr(makecol(248, 252, 248)));
    for (size_t i = 1; i < shown.size(); i++) EXPECT_TRUE(shown[i] < shown[i - 1] || shown[i] == 0) << "frame " << i;
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 64; x += 9) ASSERT_EQ(getpixel(game.buffer, x, y), 0);
}

}  // namespace
