// Invaders in play: when they come, how they descend and pursue the ship's
// column, when they fire, and when they leave.
#include <cmath>
#include <vector>

#include "test_play_scene.h"

namespace {

class Invaders : public PlayScene {
protected:
    // The ship starts at x = 368: a 40-pixel invader is lined up at 368 + 12.
    static constexpr int lined_up = 380;
};

TEST_F(Invaders, ANewOneDrawsItsChanceItsLookThenItsColumn) {
    TestStrip wide{101, 30, solid_colour()};
    copy_strip(game.invader_frames[7], wide);
    game.game_speed = 3.0;

    struct Expected {
        int kind;
        int x;
    };
    srand(5);
    std::vector<Expected> expected;
    for (int i = 0; i < 3000; i++) {
        if (rand() % 200 != 0) continue;
        const int kind = rand() % 11;
        const int w = kind == 7 ? 101 : invader_w;
        expected.push_back({kind, rand() % (800 - w)});
    }
    ASSERT_GT(expected.size(), 5u);

    srand(5);
    for (int i = 0; i < 3000; i++) game.spawn_random_invader();
    ASSERT_EQ(game.invaders.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        const Invader& invader = game.invaders[i];
        EXPECT_EQ(invader.kind, expected[i].kind);
        EXPECT_EQ(invader.frames, game.invader_frames[expected[i].kind]);
        EXPECT_EQ(invader.x, expected[i].x);
        EXPECT_EQ(invader.y, -100);
        EXPECT_DOUBLE_EQ(invader.speed, 1.2);
        EXPECT_EQ(invader.hull, 100);
        EXPECT_EQ(invader.fire_delay, 0);
    }
}

TEST_F(Invaders, TheyDescendAtHalfAPixelPerTickWhateverTheGameSpeed) {
    game.game_speed = 3.0;
    add_invader(lined_up, 100);
    game.move_invaders(10);
    EXPECT_DOUBLE_EQ(game.invaders[0].y, 105);
}

TEST_F(Invaders, AWideInvaderAimsItsMiddleAtTheShipsMiddle) {
    TestStrip wide{101, 30, solid_colour()};
    copy_strip(game.invader_frames[3], wide);
    ship().x = 368.7;
    // 368 + ((64 - 101) >> 1) = 368 - 19: the halving of a negative difference rounds down.
    add_invader(349.3, 100, 3);
    game.move_invaders(0);

    ASSERT_EQ(game.shots.size(), 1u);
    const Shot& shot = game.shots[0];
    EXPECT_EQ(shot.x, 349 - invader_shot_w / 2 + 101 / 2);
    EXPECT_EQ(shot.y, 100);
    EXPECT_EQ(shot.weapon, weapons::invader);
    EXPECT_EQ(shot.direction, 1);
    EXPECT_EQ(shot.frames, game.invader_shot_frames);
    EXPECT_DOUBLE_EQ(shot.speed, 0.6);
    EXPECT_EQ(game.invaders[0].fire_delay, 100);
}

TEST_F(Invaders, ThePursuitMovesAtMostOneStepAndNeverOvershootsByMore) {
    const double step = 40;  // 100 ticks at 0.4
    struct Case {
        double from;
        double to;
    };
    for (const Case c : {Case{lined_up - 100, lined_up - 60}, Case{lined_up - 1, lined_up - 1},
                         Case{lined_up + 100, lined_up + 60}, Case{lined_up + 1, lined_up - 39},
                         Case{lined_up + 0.5, lined_up + 0.5}}) {
        game.invaders.clear();
        add_invader(c.from, 100);
        game.move_invaders(100);
        EXPECT_DOUBLE_EQ(game.invaders[0].x, c.to) << "from " << c.from;
    }

    for (int start = lined_up - 150; start <= lined_up + 150; start += 7) {
        game.invaders.clear();
        add_invader(start + 0.25, 100);
        game.move_invaders(100);
        const double x = game.invaders[0].x;
        EXPECT_LE(std::fabs(x - (start + 0.25)), step) << "from " << start;
    }
}

TEST_F(Invaders, TheyFireOnlyWhenExactlyLinedUpWithTheirDelayRunOut) {
    add_invader(lined_up + 1, 100);
    game.move_invaders(0);
    EXPECT_TRUE(game.shots.empty());

    game.invaders.clear();
    add_invader(lined_up, 100).fire_delay = 2;
    game.move_invaders(0);
    EXPECT_TRUE(game.shots.empty());
    EXPECT_EQ(game.invaders[0].fire_delay, 1);

    // The delay is counted down before the test, so it fires in the update it reaches 0.
    game.move_invaders(0);
    EXPECT_EQ(game.shots.size(), 1u);
    EXPECT_EQ(game.invaders[0].fire_delay, 100);
}

TEST_F(Invaders, ALinedUpInvaderFiresEveryHundredUpdates) {
    add_invader(lined_up, 100);
    std::vector<int> firing_updates;
    for (int n = 1; n <= 250; n++) {
        const size_t before = game.shots.size();
        game.move_invaders(0);
        if (game.shots.size() > before) firing_updates.push_back(n);
    }
    EXPECT_EQ(firing_updates, (std::vector<int>{1, 101, 201}));
}

TEST_F(Invaders, TheyLeaveOnceTheirTruncatedRowIsPastTheBottom) {
    add_invader(100, -100);
    int updates = 0;
    while (!game.invaders.empty() && updates < 2000) {
        game.move_invaders(1);
        updates++;
    }
    EXPECT_EQ(updates, 1402);  // y = 601 after 1402 ticks of descent
    EXPECT_EQ(ship().score, 0);
}

TEST_F(Invaders, TheOneBehindARemovedInvaderIsStillMovedOnce) {
    add_invader(100, 600.5, 1);
    add_invader(lined_up, 300, 2);
    game.move_invaders(2);
    ASSERT_EQ(game.invaders.size(), 1u);
    EXPECT_EQ(game.invaders[0].kind, 2);
    EXPECT_DOUBLE_EQ(game.invaders[0].y, 301);
    EXPECT_EQ(game.invaders[0].anim_tick, 1);
    EXPECT_EQ(game.shots.size(), 1u);  // it was lined up and fired
}

}  // namespace
