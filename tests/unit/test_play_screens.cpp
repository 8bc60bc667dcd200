// One game's life and the two modal screens the frame update opens: the quit
// dialog and the game-over picture.
#include <atomic>
#include <chrono>
#include <thread>

#include "test_play_scene.h"

namespace {

// The 301 x 151 dialog lands at (250, 225) on the 800 x 600 buffer.
constexpr int dialog_x = 250, dialog_y = 225;

class QuitDialog : public PlayScene {
protected:
    // Opens the dialog as the ESC key does; `answer` plays the player once the
    // dialog has cleared the keyboard on entry.
    template <class Answer>
    bool open_and(Answer answer) {
        key[KEY_ESC] = 1;
        std::thread player([answer] {
            wait_until_cleared(KEY_ESC);
            answer();
        });
        const bool result = game.quit_dialog();
        player.join();
        return result;
    }

    struct Outcome {
        bool confirmed;
        bool closed_by_itself;  // without a key, within a fifth of a second
    };

    // Opens the dialog with the mouse held at picture coordinates (x, y); if the
    // mouse alone does not close it, ESC does.
    Outcome click(int buttons, int x, int y) {
        mouse_x = x;
        mouse_y = y;
        mouse_b = buttons;
        std::atomic<bool> closed{false};
        bool closed_by_itself = false;
        std::thread player([&] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
            while (!closed && std::chrono::steady_clock::now() < deadline) pause_ms(1);
            closed_by_itself = closed;
            key[KEY_ESC] = 1;
        });
        const bool confirmed = game.quit_dialog();
        closed = true;
        player.join();
        mouse_b = 0;
        return {confirmed, closed_by_itself};
    }
};

TEST_F(QuitDialog, EnterConfirmsAndTheOpeningEscapeDoesNotClose) {
    const int red = makecol(255, 0, 0);
    const int picture = quit_colour();
    clear_to_color(game.buffer, red);
    rectfill(quit_picture.bitmap, 0, 0, 9, 9, bitmap_mask_color(quit_picture.bitmap));

    EXPECT_TRUE(open_and([] { key[KEY_ENTER] = 1; }));

    // The picture was shown over the frame, its mask pixels letting the frame through.
    EXPECT_EQ(getpixel(game.buffer, dialog_x + 10, dialog_y), picture);
    EXPECT_EQ(getpixel(game.buffer, dialog_x + 300, dialog_y + 150), picture);
    EXPECT_EQ(getpixel(game.buffer, dialog_x, dialog_y), red);
    EXPECT_EQ(getpixel(game.buffer, dialog_x - 1, dialog_y + 50), red);
    EXPECT_EQ(getpixel(game.buffer, dialog_x + 301, dialog_y + 150), red);
    EXPECT_EQ(getpixel(game.buffer, dialog_x + 150, dialog_y + 151), red);
    EXPECT_EQ(key[KEY_ENTER], 0);  // the game does not see it
}

TEST_F(QuitDialog, EscapeGoesBackToTheGame) {
    EXPECT_FALSE(open_and([] { key[KEY_ESC] = 1; }));
    EXPECT_EQ(key[KEY_ESC], 0);
}

TEST_F(QuitDialog, ALeftClickOnTheConfirmButtonConfirms) {
    for (const auto& spot : {std::pair{57, 82}, std::pair{98, 110}}) {
        const Outcome outcome = click(1, spot.first, spot.second);
        EXPECT_TRUE(outcome.confirmed) << spot.first << ", " << spot.second;
        EXPECT_TRUE(outcome.closed_by_itself) << spot.first << ", " << spot.second;
    }
}

TEST_F(QuitDialog, ALeftClickOnTheCancelButtonOrTheCloseBoxGoesBack) {
    for (const auto& spot : {std::pair{163, 82}, std::pair{204, 110}, std::pair{240, 1}, std::pair{260, 21}}) {
        const Outcome outcome = click(1, spot.first, spot.second);
        EXPECT_FALSE(outcome.confirmed) << spot.first << ", " << spot.second;
        EXPECT_TRUE(outcome.closed_by_itself) << spot.first << ", " << spot.second;
    }
}

TEST_F(QuitDialog, ClicksBesideTheAreasOrWithOtherButtonsDoNothing) {
    struct Click {
        int buttons, x, y;
    };
    for (const Click& c : {Click{1, 56, 82}, Click{1, 99, 82}, Click{1, 57, 111}, Click{1, 162, 82},
                           Click{1, 240, 22}, Click{1, 261, 10}, Click{2, 60, 90}, Click{2, 170, 90},
                           Click{2, 250, 10}}) {
        const Outcome outcome = click(c.buttons, c.x, c.y);
        EXPECT_FALSE(outcome.confirmed) << c.buttons << " at " << c.x << ", " << c.y;
        EXPECT_FALSE(outcome.closed_by_itself) << c.buttons << " at " << c.x << ", " << c.y;
    }
}

TEST_F(QuitDialog, TheTickCounterIsPutBackToItsValueAtOpening) {
    clock = 1234;
    EXPECT_FALSE(open_and([this] {
        wait_until_dialog_shown();
        clock += 5000;
        pause_ms(10);
        key[KEY_ESC] = 1;
    }));
    EXPECT_EQ(clock, 1234);
    EXPECT_EQ(game.saved_ticks, 1234);
}

class GameOverScreen : public PlayScene {};

TEST_F(GameOverScreen, ThePictureStaysForAThousandTicksAndKeysAreForgotten) {
    clear_to_color(game.buffer, makecol(255, 0, 0));
    clock = 500;
    std::atomic<bool> returned{false};
    bool returned_at_999 = true;
    bool returned_at_1000 = false;
    std::thread timer([&] {
        pause_ms(20);
        key[KEY_SPACE] = 1;
        clock = 500 + 999;
        pause_ms(30);
        returned_at_999 = returned;
        clock = 500 + 1000;
        for (int i = 0; i < 500 && !returned; i++) pause_ms(1);
        returned_at_1000 = returned;
        clock = 1 << 30;  // lets a screen that waits too long go
    });
    const bool ends = game.game_over_screen();
    returned = true;
    timer.join();

    EXPECT_TRUE(ends);
    EXPECT_FALSE(returned_at_999);
    EXPECT_TRUE(returned_at_1000);
    EXPECT_EQ(game.saved_ticks, 500);
    EXPECT_EQ(key[KEY_SPACE], 0);
    // 201 x 101 centred: (400 - 100, 300 - 50), over the frame left in the buffer.
    const int yellow = makecol(250, 250, 0);
    const int red = makecol(255, 0, 0);
    EXPECT_EQ(getpixel(game.buffer, 300, 250), yellow);
    EXPECT_EQ(getpixel(game.buffer, 500, 350), yellow);
    EXPECT_EQ(getpixel(game.buffer, 299, 250), red);
    EXPECT_EQ(getpixel(game.buffer, 501, 350), red);
    EXPECT_EQ(getpixel(game.buffer, 300, 351), red);
}

class GameLife : public PlayScene {};

TEST_F(GameLife, AGameStartsWithTheShipCentredOnTheBottomEdge) {
    EXPECT_EQ(game.ticks, &clock);
    EXPECT_DOUBLE_EQ(ship().x, 368);
    EXPECT_DOUBLE_EQ(ship().y, 552);
    EXPECT_DOUBLE_EQ(ship().speed, 0.5);
    EXPECT_EQ(ship().frames, game.player_frames);
}

TEST_F(GameLife, TheNextGameStartsCleanButUnderTheSameStars) {
    add_invader(100, 100);
    add_shot(weapons::missiles, 100, 100);
    add_bonus(100, 100, 1);
    game.explosions.emplace_back(100, 100, game.explosion_frames);
    ship().score = 500;
    ship().ammo[weapons::missiles] = 3;
    game.game_speed = 3.0;
    clock = 777;
    game.last_tick = 700;
    game.saved_ticks = 40;
    game.fps_frames = 12;
    game.fps_start_tick = 5;
    key[KEY_SPACE] = 1;
    Star** stars = game.star_field;
    const Star some_star = stars[3][7];
    clear_to_color(game.buffer, makecol(255, 255, 255));

    game.end_game();
    EXPECT_EQ(game.player, nullptr);
    EXPECT_EQ(getpixel(game.buffer, 10, 10), 0);  // faded to black
    EXPECT_EQ(key[KEY_SPACE], 0);

    key[KEY_LEFT] = 1;  // held from the menu
    game.start_game(&clock);
    EXPECT_EQ(clock, 0);
    EXPECT_EQ(game.last_tick, 0);
    EXPECT_EQ(game.saved_ticks, 0);
    EXPECT_EQ(game.fps_frames, 0);
    EXPECT_EQ(game.fps_start_tick, 0);
    EXPECT_EQ(game.game_speed, 1.0);
    EXPECT_EQ(key[KEY_LEFT], 0);
    EXPECT_TRUE(game.invaders.empty());
    EXPECT_TRUE(game.shots.empty());
    EXPECT_TRUE(game.bonuses.empty());
    EXPECT_TRUE(game.explosions.empty());
    ASSERT_NE(game.player, nullptr);
    EXPECT_EQ(ship().score, 0);
    EXPECT_EQ(ship().ammo[weapons::missiles], 10);
    EXPECT_EQ(ship().armour, 100);
    EXPECT_DOUBLE_EQ(ship().x, 368);
    EXPECT_EQ(game.star_field, stars);
    EXPECT_EQ(game.star_field[3][7].x, some_star.x);
    EXPECT_EQ(game.star_field[3][7].y, some_star.y);
}

TEST_F(GameLife, TheFrameRateWindowRestartsWithTheFramePastThreeThousand) {
    game.fps_frames = 2999;
    clock = 6000;
    game.count_frame();
    EXPECT_EQ(game.fps_frames, 3000);
    EXPECT_EQ(game.fps_start_tick, 0);
    game.count_frame();
    EXPECT_EQ(game.fps_frames, 0);
    EXPECT_EQ(game.fps_start_tick, 6000);
}

// A whole game with no hand on the keys: the invaders come, wreck the ship, the
// game-over picture shows, and play_game returns.
TEST_F(GameLife, AGameLeftAloneEndsWhenTheInvadersWin) {
    delete game.player;
    game.player = nullptr;
    std::atomic<bool> finished{false};
    std::atomic<bool> gave_up{false};
    std::thread timer([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!finished) {
            clock++;
            std::this_thread::sleep_for(std::chrono::microseconds(20));
            if (std::chrono::steady_clock::now() > deadline) {
                // Leave through the quit dialog rather than hang the test run.
                gave_up = true;
                key[KEY_ESC] = 1;
                key[KEY_ENTER] = 1;
            }
        }
    });
    game.play_game(&clock);
    finished = true;
    timer.join();

    EXPECT_FALSE(gave_up);
    EXPECT_EQ(game.player, nullptr);
    EXPECT_GE(game.last_tick, game.saved_ticks + 1000);
}

}  // namespace
