// The title menu's widgets and the fade, on memory bitmaps with a mouse state
// the test sets itself.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "frame/game.h"
#include "menu/menu.h"
#include "support.h"

namespace {

void put_mouse(int x, int y, int buttons) {
    mouse_x = x;
    mouse_y = y;
    mouse_b = buttons;
}

TEST(ImageButton, HitBoxIsInclusiveTakesEitherButtonAndShowsItsState) {
    start_headless_allegro();
    BITMAP* normal = make_filled(41, 20, makecol(0, 0, 200));
    BITMAP* hover = make_filled(41, 20, makecol(0, 200, 0));
    BITMAP* pressed = make_filled(41, 20, makecol(200, 0, 0));
    BITMAP* dest = make_filled(800, 600, 0);
    ImageButton button(400, 500, 30, 10, normal, hover, pressed);
    EXPECT_EQ(button.x, 380);  // centred by the normal image's width, not by w

    struct Case { int x, y, buttons; bool hovered, clicked; int colour; };
    const Case cases[] = {
        {380, 500, 0, true, false, makecol(0, 200, 0)},   {410, 510, 0, true, false, makecol(0, 200, 0)},
        {380, 510, 1, true, true, makecol(200, 0, 0)},    {410, 500, 2, true, true, makecol(200, 0, 0)},
        {395, 505, 4, true, false, makecol(0, 200, 0)},   {379, 505, 1, false, false, makecol(0, 0, 200)},
        {411, 505, 0, false, false, makecol(0, 0, 200)},  {395, 499, 1, false, false, makecol(0, 0, 200)},
        {395, 511, 2, false, false, makecol(0, 0, 200)},
    };
    for (const Case& c : cases) {
        put_mouse(c.x, c.y, c.buttons);
        EXPECT_EQ(button.is_hovered(), c.hovered) << c.x << "," << c.y;
        EXPECT_EQ(button.is_clicked(), c.clicked) << c.x << "," << c.y << " buttons " << c.buttons;
        button.draw(dest);
        EXPECT_EQ(getpixel(dest, 385, 505), c.colour) << c.x << "," << c.y;
    }
    for (BITMAP* b : {normal, hover, pressed, dest}) destroy_bitmap(b);
    put_mouse(0, 0, 0);
}

TEST(TextOption, HeldButtonAdvancesEveryFourUpdatesAShortClickOnceAndValuesWrap) {
    start_headless_allegro();
    TextOption option(100, 200, 350, "Musique", {"un", "deux", "trois"});
    put_mouse(150, 352, 1);
    std::vector<int> changed_on;
    for (int update = 1; update <= 9; update++)
        if (option.update()) changed_on.push_back(update);
    EXPECT_EQ(changed_on, (std::vector<int>{1, 5, 9}));
    EXPECT_EQ(option.index, 0);  // three steps through three values: back to the first

    put_mouse(105, 350, 0);
    for (int u = 0; u < 4; u++) option.update();  // let the last step's cooldown run out
    for (int held_updates = 1; held_updates <= 3; held_updates++) {
        put_mouse(105, 350, 2);
        int changes = 0;
        for (int u = 0; u < held_updates; u++) changes += option.update();
        put_mouse(105, 350, 0);
        for (int u = 0; u < 4; u++) changes += option.update();
        EXPECT_EQ(changes, 1) << "held for " << held_updates;
    }
    put_mouse(0, 0, 0);
}

TEST(TextOption, BoxRunsFromTheLabelToTheEndOfTheValueShownAndDrawsInItsColours) {
    start_headless_allegro();
    TextOption option(100, 200, 350, "Musique", {"Musique OFF", "Musique ON"});
    const int right_off = 200 + text_length(font, "Musique OFF"), bottom = 350 + text_height(font);
    for (auto [x, y, inside] : {std::tuple{100, 350, true}, {170, bottom, true}, {right_off, 350, true},
                                {right_off + 1, 350, false}, {150, bottom + 1, false}, {99, 352, false}}) {
        put_mouse(x, y, 0);
        EXPECT_EQ(option.is_hovered(), inside) << x << "," << y;
    }
    option.index = 1;  // "Musique ON" is shorter: the box shrinks with it
    put_mouse(right_off, 350, 0);
    EXPECT_FALSE(option.is_hovered());

    BITMAP* dest = make_filled(400, 400, 0);
    option.index = 0;
    option.draw(dest);
    auto count = [dest](int x0, int x1, int y0, int y1, int colour) {
        int n = 0;
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++) n += getpixel(dest, x, y) == colour;
        return n;
    };
    EXPECT_GT(count(100, 160, 350, 357, makecol(194, 194, 255)), 20);
    EXPECT_GT(count(200, 290, 350, 357, makecol(255, 64, 64)), 30);
    const int underline_end = 100 + text_length(font, "Musique") - 2;
    EXPECT_EQ(count(100, underline_end + 1, 358, 358, makecol(129, 129, 246)), underline_end - 100 + 1);
    destroy_bitmap(dest);
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
    EXPECT_LT(shown[15], shown[0] / 2) << "compounding darkens by half within 16 frames";
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 64; x += 9) ASSERT_EQ(getpixel(game.buffer, x, y), 0);
}

}  // namespace
