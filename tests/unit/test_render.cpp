// One frame of play drawn into the buffer: the star field, the actors in their
// order, and every element of the head-up display, checked on real pixels.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "frame/game.h"
#include "support.h"

namespace {

struct HeadlessAllegro {
    HeadlessAllegro() { start_headless_allegro(); }
};

class Render : public ::testing::Test {
protected:
    HeadlessAllegro allegro;
    TestStrip ship_strip{64, 48, makecol(0, 128, 255)};
    std::atomic<int> clock{0};
    Game game{800, 600, 0, 0};  // no stars unless a test brings its own
    BITMAP* scratch = nullptr;

    void SetUp() override {
        game.player = new PlayerShip(368, 552, ship_strip.frames(), 0.5);
        game.ticks = &clock;
        scratch = create_bitmap(800, 600);
    }
    void TearDown() override {
        delete game.player;
        game.player = nullptr;
        destroy_bitmap(scratch);
    }

    int shown(int x, int y) { return getpixel(game.buffer, x, y); }

    // The text as Allegro's font draws it on black, compared with the buffer over
    // the text's box and a one-pixel margin around it: same place, same colour,
    // same characters.
    void expect_text(int x, int y, const std::string& text, int colour) {
        clear_bitmap(scratch);
        textout_ex(scratch, font, text.c_str(), x, y, colour, -1);
        const int right = x + text_length(font, text.c_str());
        const int bottom = y + text_height(font);
        int differences = 0;
        for (int py = y - 1; py <= bottom; py++)
            for (int px = x - 1; px <= right; px++)
                if (getpixel(scratch, px, py) != shown(px, py)) differences++;
        EXPECT_EQ(differences, 0) << "\"" << text << "\" at (" << x << ", " << y << ")";
    }
};

int light_blue() { return makecol(128, 128, 255); }
int light_green() { return makecol(128, 255, 128); }
int pale_yellow() { return makecol(255, 255, 192); }
int dark_grey() { return makecol(64, 64, 64); }

using RenderHud = Render;

TEST_F(RenderHud, TextsSitAtTheirPlacesInTheirColours) {
    game.player->score = 1230;
    game.player->kills = 7;
    game.player->ammo[0] = 10;
    game.player->ammo[1] = 5;
    game.player->ammo[2] = 0;
    game.draw_frame();
    expect_text(600, 10, "FPS : 0", light_blue());
    expect_text(150, 10, "ARMURE", light_blue());
    expect_text(282, 10, "SCORE : 1230", light_blue());
    expect_text(282, 20, "TUES : 7", light_blue());
    expect_text(10, 10, "ARMES", light_blue());
    expect_text(10, 20, "Missiles -> 10", light_green());
    expect_text(10, 30, "Fireball -> 5", pale_yellow());
    expect_text(10, 40, "Choc -> 0", pale_yellow());
}

TEST_F(RenderHud, OnlyTheSelectedWeaponIsGreen) {
    game.player->weapon = weapons::fireball;
    game.player->ammo[1] = 3;
    game.draw_frame();
    expect_text(10, 20, "Missiles -> 10", pale_yellow());
    expect_text(10, 30, "Fireball -> 3", light_green());
    expect_text(10, 40, "Choc -> 0", pale_yellow());

    game.player->weapon = weapons::choc;
    game.draw_frame();
    expect_text(10, 20, "Missiles -> 10", pale_yellow());
    expect_text(10, 30, "Fireball -> 3", pale_yellow());
    expect_text(10, 40, "Choc -> 0", light_green());
}

TEST_F(RenderHud, ANegativeScoreKeepsItsSign) {
    game.player->score = -20;
    game.draw_frame();
    expect_text(282, 10, "SCORE : -20", light_blue());
}

// Colours of the gauge's inside, x 151 to 251, on row y.
void expect_gauge_row(BITMAP* buffer, int y, int hull) {
    EXPECT_EQ(getpixel(buffer, 151, y), makecol(255, 155, 192)) << "leading column, row " << y;
    for (int x = 152; x <= 251; x++) {
        const int i = x - 152;
        const int expected = i < hull ? makecol(255 - i, 156 + i, 192) : 0;
        ASSERT_EQ(getpixel(buffer, x, y), expected) << "column " << x << ", row " << y << ", hull " << hull;
    }
}

TEST_F(RenderHud, GaugeOutlineIsOnePixelAroundTheInside) {
    game.draw_frame();
    for (int x = 150; x <= 252; x++) {
        EXPECT_EQ(shown(x, 20), dark_grey()) << x;
        EXPECT_EQ(shown(x, 32), dark_grey()) << x;
        EXPECT_EQ(shown(x, 19), 0) << x;
        EXPECT_EQ(shown(x, 33), 0) << x;
    }
    for (int y = 20; y <= 32; y++) {
        EXPECT_EQ(shown(150, y), dark_grey()) << y;
        EXPECT_EQ(shown(252, y), dark_grey()) << y;
        EXPECT_EQ(shown(149, y), 0) << y;
        EXPECT_EQ(shown(253, y), 0) << y;
    }
}

TEST_F(RenderHud, GaugeFillIsHullColumnsOfAColumnBoundRamp) {
    for (int hull : {0, 1, 2, 40, 99, 100, -5}) {
        game.player->hull = hull;
        game.draw_frame();
        for (int y = 21; y <= 31; y++) expect_gauge_row(game.buffer, y, hull);
        EXPECT_EQ(shown(152, 20), dark_grey());  // the fill stays off the outline
        EXPECT_EQ(shown(152, 32), dark_grey());
    }
}

TEST_F(RenderHud, GaugeEndsOfTheRamp) {
    game.player->hull = 1;
    game.draw_frame();
    EXPECT_EQ(shown(152, 25), makecol(255, 156, 192));
    EXPECT_EQ(shown(153, 25), 0);
    game.player->hull = 100;
    game.draw_frame();
    EXPECT_EQ(shown(251, 25), makecol(156, 255, 192));
    EXPECT_EQ(shown(252, 25), dark_grey());
}

using RenderFrameRate = Render;

TEST_F(RenderFrameRate, FramesPerSecondIsAWholeNumberOverTheSpan) {
    struct Case {
        int start, now, frames, expected;
    } cases[] = {
        {0, 250, 30, 60},
        {1000, 1170, 10, 29},  // 29.4 truncated
        {700, 700, 12, 0},      // no time has passed
        {800, 700, 12, 0},      // nor a negative span
        {0, 500, 0, 0},
        {100, 600, 70, 70},
        {0, 200, 7, 17},   // 17.5: truncated, not rounded
        {0, 300, 1, 1},    // 1.67
    };
    for (const Case& c : cases) {
        game.fps_start_tick = c.start;
        clock = c.now;
        game.fps_frames = c.frames;
        EXPECT_EQ(game.frames_per_second(), c.expected) << c.frames << " frames from " << c.start << " to " << c.now;
    }
}

TEST_F(RenderFrameRate, FigureIsPrintedWithoutDecimals) {
    game.fps_start_tick = 1000;
    clock = 1170;
    game.fps_frames = 10;
    game.draw_frame();
    expect_text(600, 10, "FPS : 29", light_blue());

    game.fps_start_tick = 0;
    clock = 250;
    game.fps_frames = 30;
    game.draw_frame();
    expect_text(600, 10, "FPS : 60", light_blue());
}

TEST_F(RenderFrameRate, DrawingChangesNoCounter) {
    game.fps_start_tick = 40;
    clock = 290;
    game.fps_frames = 30;
    game.player->hull = 60;
    game.draw_frame();
    EXPECT_EQ(game.fps_start_tick, 40);
    EXPECT_EQ(game.fps_frames, 30);
    EXPECT_EQ(clock.load(), 290);
    EXPECT_EQ(game.player->hull, 60);
}

// A game with its own stars.
class RenderStars : public Render {
protected:
    Game starry{800, 600, 2, 3};
    void SetUp() override {
        Render::SetUp();
        starry.player = game.player;
        starry.ticks = &clock;
        for (int layer = 0; layer < 2; layer++)
            for (int i = 0; i < 3; i++) starry.star_field[layer][i] = Star{700.0, 300.0, 10};  // all on one spot
    }
    void TearDown() override {
        starry.player = nullptr;
        Render::TearDown();
    }
    void put(int layer, int i, double x, double y, int grey) { starry.star_field[layer][i] = Star{x, y, grey}; }
};

TEST_F(RenderStars, StarsLandOnTheirTruncatedPositions) {
    put(0, 0, 799.9, 0.5, 200);
    put(0, 1, -0.5, 100.7, 150);  // truncated toward zero: column 0, not -1
    put(1, 0, 300.999, 400.2, 90);
    starry.draw_frame();
    EXPECT_EQ(getpixel(starry.buffer, 799, 0), makecol(200, 200, 200));
    EXPECT_EQ(getpixel(starry.buffer, 0, 100), makecol(150, 150, 150));
    EXPECT_EQ(getpixel(starry.buffer, 300, 400), makecol(90, 90, 90));
    EXPECT_EQ(getpixel(starry.buffer, 301, 400), 0);
    EXPECT_EQ(getpixel(starry.buffer, 300, 401), 0);
}

TEST_F(RenderStars, StarsOffTheBufferLightNothing) {
    put(0, 0, 800.0, 10.0, 200);
    put(0, 1, 10.0, 600.0, 200);
    put(0, 2, -1.0, 300.0, 200);
    put(1, 0, 400.0, -1.5, 200);
    put(1, 1, 400.0, 600.5, 200);
    put(1, 2, 400.0, 600.5, 200);
    starry.draw_frame();
    // Only the HUD and the ship remain: the frame is the same as with no stars at all.
    game.draw_frame();
    int differences = 0;
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++)
            if (getpixel(starry.buffer, x, y) != getpixel(game.buffer, x, y)) differences++;
    EXPECT_EQ(differences, 0);
}

TEST_F(RenderStars, GreyAboveFullBrightnessIsDrawnWhite) {
    put(0, 0, 50.0, 300.0, 294);
    put(0, 1, 51.0, 300.0, 255);
    put(0, 2, 52.0, 300.0, 256);
    starry.draw_frame();
    EXPECT_EQ(getpixel(starry.buffer, 50, 300), makecol(255, 255, 255));
    EXPECT_EQ(getpixel(starry.buffer, 51, 300), makecol(255, 255, 255));
    EXPECT_EQ(getpixel(starry.buffer, 52, 300), makecol(255, 255, 255));
}

TEST_F(RenderStars, LaterLayersAreDrawnOverEarlierOnes) {
    put(0, 0, 60.0, 200.0, 30);
    put(1, 2, 60.0, 200.0, 170);
    put(0, 1, 61.0, 200.0, 30);
    put(0, 2, 61.0, 200.0, 80);  // later in the same layer
    starry.draw_frame();
    EXPECT_EQ(getpixel(starry.buffer, 60, 200), makecol(170, 170, 170));
    EXPECT_EQ(getpixel(starry.buffer, 61, 200), makecol(80, 80, 80));
}

TEST_F(RenderStars, ActorsAndTheHudCoverTheStars) {
    put(0, 0, 400.0, 580.0, 200);  // under the ship
    put(0, 1, 151.0, 25.0, 200);   // under the gauge
    starry.draw_frame();
    EXPECT_EQ(getpixel(starry.buffer, 400, 580), makecol(0, 128, 255));
    EXPECT_EQ(getpixel(starry.buffer, 151, 25), makecol(255, 155, 192));
}

using RenderActors = Render;

TEST_F(RenderActors, LaterKindsAreDrawnOverEarlierOnes) {
    // Nested squares, all from (400, 300): each kind covers the ones drawn before it,
    // so the ring of each kind that is left visible shows the order.
    const int shot_colour = makecol(255, 0, 0), bonus_colour = makecol(0, 255, 0),
              invader_colour = makecol(0, 0, 255), ship_colour = makecol(255, 255, 0),
              explosion_colour = makecol(255, 128, 0);
    TestStrip shot_strip(50, 50, shot_colour);
    TestStrip bonus_strip(40, 40, bonus_colour);
    TestStrip invader_strip(30, 30, invader_colour);
    TestStrip ship_strip_here(20, 20, ship_colour);
    BITMAP* explosion_frames[25];
    for (BITMAP*& f : explosion_frames) f = make_filled(10, 10, explosion_colour);

    // Each list gets its actor last, after one elsewhere, so list order is not
    // what puts it on top.
    game.shots.push_back(Shot(10, 100, weapons::missiles, 0, shot_strip.frames(), 0.6));
    game.shots.push_back(Shot(400, 300, weapons::missiles, 0, shot_strip.frames(), 0.6));
    game.bonuses.push_back(Bonus(400, 300, 1, bonus_strip.frames(), 0.25));
    game.invaders.push_back(Invader(0, 800, invader_strip.frames(), 0.4));
    game.invaders.back().x = 400;
    game.invaders.back().y = 300;
    game.player->frames = ship_strip_here.frames();
    game.player->x = 400;
    game.player->y = 300;
    game.explosions.push_back(Explosion(405, 305, explosion_frames));

    game.draw_frame();
    EXPECT_EQ(shown(402, 302), explosion_colour);
    EXPECT_EQ(shown(412, 312), ship_colour);
    EXPECT_EQ(shown(422, 322), invader_colour);
    EXPECT_EQ(shown(432, 332), bonus_colour);
    EXPECT_EQ(shown(442, 342), shot_colour);
    EXPECT_EQ(shown(452, 352), 0);
    EXPECT_EQ(shown(20, 110), shot_colour);  // the other shot is drawn too
    for (BITMAP* f : explosion_frames) destroy_bitmap(f);
}

TEST_F(RenderActors, WithinAListLaterElementsAreOnTop) {
    TestStrip first(20, 20, makecol(255, 0, 0));
    TestStrip second(20, 20, makecol(0, 255, 0));
    game.invaders.push_back(Invader(0, 800, first.frames(), 0.4));
    game.invaders.push_back(Invader(0, 800, second.frames(), 0.4));
    game.invaders[0].x = 100;
    game.invaders[0].y = 200;
    game.invaders[1].x = 110;
    game.invaders[1].y = 200;
    game.draw_frame();
    EXPECT_EQ(shown(105, 205), makecol(255, 0, 0));
    EXPECT_EQ(shown(115, 205), makecol(0, 255, 0));
    EXPECT_EQ(shown(125, 205), makecol(0, 255, 0));
}

TEST_F(RenderActors, ExplosionsAreCentredAndActorsUseTheirCurrentFrame) {
    BITMAP* explosion_frames[25];
    for (int i = 0; i < 25; i++) explosion_frames[i] = make_filled(31, 20, makecol(255, 200, 0));
    game.explosions.push_back(Explosion(100, 100, explosion_frames));
    game.explosions.back().frame = 12;
    game.draw_frame();
    EXPECT_EQ(shown(85, 90), makecol(255, 200, 0));
    EXPECT_EQ(shown(84, 90), 0);
    EXPECT_EQ(shown(85, 89), 0);
    EXPECT_EQ(shown(115, 109), makecol(255, 200, 0));
    EXPECT_EQ(shown(116, 109), 0);
    for (BITMAP* f : explosion_frames) destroy_bitmap(f);
}

TEST_F(RenderActors, EachFrameStartsFromBlack) {
    clear_to_color(game.buffer, makecol(90, 90, 90));
    game.draw_frame();
    EXPECT_EQ(shown(500, 300), 0);
    EXPECT_EQ(shown(0, 0), 0);
    EXPECT_EQ(shown(799, 599), 0);
    EXPECT_EQ(shown(400, 580), makecol(0, 128, 255));  // the ship
}

TEST_F(RenderActors, RenderFrameDrawsTheSameFrameAndShowsItWhereThereIsAScreen) {
    game.player->score = 55;
    game.draw_frame();
    BITMAP* drawn = create_bitmap(800, 600);
    blit(game.buffer, drawn, 0, 0, 0, 0, 800, 600);
    clear_to_color(game.buffer, makecol(90, 90, 90));
    game.render_frame();  // no graphics driver here: nothing to show
    int differences = 0;
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++)
            if (getpixel(drawn, x, y) != shown(x, y)) differences++;
    EXPECT_EQ(differences, 0);
    destroy_bitmap(drawn);
}

}  // namespace
