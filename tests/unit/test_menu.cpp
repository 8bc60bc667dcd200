// The title menu's widgets and the fade, on memory bitmaps with a mouse state
// the test sets itself.
#include <gtest/gtest.h>

#include "frame/game.h"
#include "menu/menu.h"
#include "support.h"

namespace {

void put_mouse(int x, int y, int buttons) {
    mouse_x = x;
    mouse_y = y;
    mouse_b = buttons;
}

class Widgets : public ::testing::Test {
protected:
    BITMAP* normal = nullptr;
    BITMAP* hover = nullptr;
    BITMAP* pressed = nullptr;
    BITMAP* dest = nullptr;

    void SetUp() override {
        start_headless_allegro();
        normal = make_filled(41, 20, makecol(0, 0, 200));
        hover = make_filled(41, 20, makecol(0, 200, 0));
        pressed = make_filled(41, 20, makecol(200, 0, 0));
        dest = make_filled(800, 600, 0);
        put_mouse(0, 0, 0);
    }
    void TearDown() override {
        for (BITMAP* b : {normal, hover, pressed, dest}) destroy_bitmap(b);
        put_mouse(0, 0, 0);
    }
    int shown_at(int x, int y) { return getpixel(dest, x, y); }
};

TEST_F(Widgets, ButtonIsCentredByItsNormalImageAndItsEdgesAreInclusive) {
    ImageButton button(400, 500, 30, 10, normal, hover, pressed);
    EXPECT_EQ(button.x, 400 - 41 / 2);  // centred by the image, not by w
    for (auto [x, y] : {std::pair{380, 500}, {410, 500}, {380, 510}, {410, 510}}) {
        put_mouse(x, y, 0);
        EXPECT_TRUE(button.is_hovered()) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{379, 505}, {411, 505}, {395, 499}, {395, 511}}) {
        put_mouse(x, y, 0);
        EXPECT_FALSE(button.is_hovered()) << x << "," << y;
    }
}

TEST_F(Widgets, ButtonTakesEitherMouseButtonWhileHeldOverIt) {
    ImageButton button(400, 500, 41, 20, normal, hover, pressed);
    put_mouse(400, 510, 1);
    EXPECT_TRUE(button.is_clicked());
    EXPECT_TRUE(button.is_clicked());  // a level, not an edge
    put_mouse(400, 510, 2);
    EXPECT_TRUE(button.is_clicked());
    put_mouse(400, 510, 4);  // the middle button does nothing
    EXPECT_FALSE(button.is_clicked());
    put_mouse(300, 510, 1);
    EXPECT_FALSE(button.is_clicked());
}

TEST_F(Widgets, ButtonShowsTheImageOfItsState) {
    ImageButton button(400, 500, 41, 20, normal, hover, pressed);
    put_mouse(0, 0, 1);  // held elsewhere: normal
    button.draw(dest);
    EXPECT_EQ(shown_at(390, 505), makecol(0, 0, 200));
    put_mouse(400, 510, 0);
    button.draw(dest);
    EXPECT_EQ(shown_at(390, 505), makecol(0, 200, 0));
    put_mouse(400, 510, 2);
    button.draw(dest);
    EXPECT_EQ(shown_at(390, 505), makecol(200, 0, 0));
}

TEST_F(Widgets, OptionHeldDownAdvancesOnceEveryFourUpdates) {
    TextOption option(100, 200, 350, "Musique", 2, "Musique OFF", "Musique ON");
    put_mouse(150, 352, 1);
    std::vector<int> changed_on;
    for (int update = 1; update <= 12; update++)
        if (option.update()) changed_on.push_back(update);
    EXPECT_EQ(changed_on, (std::vector<int>{1, 5, 9}));
    EXPECT_EQ(option.index, 1);  // three toggles of two values
}

TEST_F(Widgets, AShortClickAdvancesOnceAndTheValuesWrapAround) {
    TextOption option(100, 200, 350, "Rapidite", 3, "un", "deux", "trois");
    int wraps = 0;
    for (int click = 0; click < 3; click++) {
        put_mouse(105, 350, 2);
        for (int held = 0; held < 3; held++) option.update();
        put_mouse(105, 350, 0);
        for (int released = 0; released < 3; released++) EXPECT_FALSE(option.update());
        if (option.index == 0) wraps++;
    }
    EXPECT_EQ(option.index, 0);
    EXPECT_EQ(wraps, 1);
}

TEST_F(Widgets, OptionBoxRunsFromTheLabelToTheEndOfTheValueShown) {
    TextOption option(100, 200, 350, "Musique", 2, "Musique OFF", "Musique ON");
    int right_off = 200 + text_length(font, "Musique OFF");
    int bottom = 350 + text_height(font);
    put_mouse(100, 350, 0);
    EXPECT_TRUE(option.is_hovered());
    put_mouse(170, bottom, 0);  // the gap between label and value counts
    EXPECT_TRUE(option.is_hovered());
    put_mouse(right_off, 350, 0);
    EXPECT_TRUE(option.is_hovered());
    put_mouse(right_off + 1, 350, 0);
    EXPECT_FALSE(option.is_hovered());
    put_mouse(150, bottom + 1, 0);
    EXPECT_FALSE(option.is_hovered());
    option.index = 1;  // "Musique ON" is shorter: the box shrinks with it
    put_mouse(right_off, 350, 0);
    EXPECT_FALSE(option.is_hovered());
}

TEST_F(Widgets, OptionDrawsLabelValueAndUnderlineInTheirColours) {
    TextOption option(100, 200, 350, "Musique", 2, "Musique OFF", "Musique ON");
    option.draw(dest);
    auto count = [this](int x0, int x1, int y0, int y1, int colour) {
        int n = 0;
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++) n += getpixel(dest, x, y) == colour;
        return n;
    };
    EXPECT_GT(count(100, 160, 350, 357, makecol(194, 194, 255)), 20);
    EXPECT_GT(count(200, 290, 350, 357, makecol(255, 64, 64)), 30);
    int underline_end = 100 + text_length(font, "Musique") - 2;
    EXPECT_EQ(count(100, underline_end, 358, 358, makecol(129, 129, 246)), underline_end - 100 + 1);
    EXPECT_EQ(getpixel(dest, underline_end + 1, 358), 0);
}

TEST(Fade, RunsThirtyTwoStepsFromAlphaZeroTo248) {
    EXPECT_EQ(fade_steps, 32);
    EXPECT_EQ(fade_alpha(0), 0);
    EXPECT_EQ(fade_alpha(fade_steps - 1), 248);
    for (int step = 1; step < fade_steps; step++) EXPECT_EQ(fade_alpha(step) - fade_alpha(step - 1), 8);
}

TEST(Fade, FirstStepLeavesThePictureAndTheWholeFadeEndsBlack) {
    start_headless_allegro();
    Game game(64, 48, 1, 1);
    clear_to_color(game.buffer, makecol(250, 200, 100));
    BITMAP* overlay = make_filled(64, 48, 0);
    set_trans_blender(0, 0, 0, fade_alpha(0));
    draw_trans_sprite(game.buffer, overlay, 0, 0);
    EXPECT_EQ(getpixel(game.buffer, 10, 10), makecol(250, 200, 100));
    destroy_bitmap(overlay);

    game.fade_out();
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 64; x += 9) ASSERT_EQ(getpixel(game.buffer, x, y), 0);
}

TEST(Keyboard, ResetForgetsEveryHeldKey) {
    start_headless_allegro();
    Game game(16, 16, 1, 1);
    key[KEY_ENTER] = 1;
    key[KEY_ESC] = 1;
    key[KEY_MAX - 1] = 1;
    game.reset_keyboard();
    for (int k = 0; k < KEY_MAX; k++) ASSERT_EQ(key[k], 0) << k;
}

}  // namespace
