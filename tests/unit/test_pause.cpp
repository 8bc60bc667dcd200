// The pause opened from the frame update: a frozen game that carries on where it stood,
// the quit dialog reached from it, the Pause key and the window's close button.
#include <tuple>
#include <vector>

#include "display/display.h"
#include "test_play_scene.h"

namespace {

// The scaled word lights pixels of the black test buffer in the middle of its band; the
// quit dialog, when open, covers them with its own colour.
bool pause_shown(BITMAP* buffer) {
    const int top = buffer->h / 2 - pause_band_height / 2;
    for (int y = top; y < top + pause_band_height / 2; y++)
        for (int x = buffer->w / 2 - 40; x < buffer->w / 2 + 40; x++)
            if (getpixel(buffer, x, y) != 0 && getpixel(buffer, x, y) != quit_colour) return true;
    return false;
}

bool dialog_shown(BITMAP* buffer) { return getpixel(buffer, 400, 300) == quit_colour; }

}  // namespace

using Pause = PlayScene;

TEST_F(Pause, TheClockAndEveryActorStandStillThenCarryOnFromTheSameState) {
    add_shot(weapons::missiles, 100, 300);
    add_invader(600, 100);
    add_bonus(200, 100, 0);
    game.explosions.emplace_back(10, 10, game.explosion_frames);
    key[KEY_RIGHT] = key[KEY_P] = 1;
    auto state = [this] {
        return std::tuple(ship().x, game.shots[0].y, game.invaders[0].y, game.bonuses[0].y,
                          game.explosions[0].frame, ship().anim_tick);
    };
    bool shown = false, p_forgotten = false, stood_still = false;
    std::thread player([&] {
        shown = wait_until([&] { return pause_shown(game.buffer); });
        p_forgotten = key[KEY_P] == 0;  // else the P that paused would resume at once
        const auto before = state();
        clock += 5000;
        pause_ms(30);
        stood_still = state() == before;
        key[KEY_P] = 1;
    });
    EXPECT_FALSE(update_after(20));
    player.join();
    EXPECT_TRUE(shown && p_forgotten && stood_still);
    // The update moved everything by the 20 ticks before the pause, and the clock was put back.
    EXPECT_EQ(std::tuple(clock.load(), game.last_tick, key[KEY_P]), std::tuple(20, 20, 0));
    EXPECT_DOUBLE_EQ(ship().x, 368 + 20 * 0.5);
    update_after(10);
    EXPECT_NEAR(game.shots[0].y, 300 - 30 * 0.6, 1e-9);
    EXPECT_DOUBLE_EQ(game.invaders[0].y, 100 + 30 * 0.5);
    EXPECT_DOUBLE_EQ(game.bonuses[0].y, 100 + 30 * 0.25);
    EXPECT_EQ(game.explosions[0].frame, 2);
}

// Each step waits for what the player would see, then presses the next key; a screen that
// never shows ends the game through the close button so that the test cannot hang.
TEST_F(Pause, EscapeAsksToQuitANoGivesBackThePauseAYesEndsTheGame) {
    key[KEY_P] = 1;
    std::vector<int> steps_seen;
    std::thread player([&] {
        const std::tuple<bool (*)(BITMAP*), int> steps[] = {
            {pause_shown, KEY_ESC}, {dialog_shown, KEY_ESC}, {pause_shown, KEY_ESC}, {dialog_shown, KEY_ENTER}};
        for (auto [shown, next_key] : steps) {
            // The pause is only back once the dialog's picture is gone.
            if (!wait_until([&] { return shown(game.buffer) && (shown == dialog_shown || !dialog_shown(game.buffer)); }))
                break;
            steps_seen.push_back(next_key);
            key[next_key] = 1;
        }
        if (steps_seen.size() < 4) close_requested = true;
    });
    EXPECT_TRUE(update_after(20));
    player.join();
    close_requested = false;
    EXPECT_EQ(steps_seen, (std::vector<int>{KEY_ESC, KEY_ESC, KEY_ESC, KEY_ENTER}));
}

// Allegro's X11 keyboard reports the Pause key down at one stroke and up at the next: both
// count as a stroke.
TEST_F(Pause, EveryStrokeOfThePauseKeyTogglesAndTheCloseButtonEnds) {
    pause_key_callback(KEY_PAUSE | 0x80);
    bool resumed_by_stroke = false;
    std::thread player([&] {
        if (!wait_until([&] { return pause_shown(game.buffer); })) return;
        pause_key_callback(KEY_PAUSE);
        resumed_by_stroke = wait_until([&] { return !pause_key_struck; });
        if (!resumed_by_stroke) key[KEY_P] = 1;  // a pause deaf to the stroke would never return
    });
    EXPECT_FALSE(update_after(5));
    player.join();
    EXPECT_TRUE(resumed_by_stroke);
    EXPECT_FALSE(pause_key_struck);

    clear_bitmap(game.buffer);
    key[KEY_P] = 1;
    std::thread closer([&] {
        if (wait_until([&] { return pause_shown(game.buffer); })) close_requested = true;
        else key[KEY_P] = 1;
    });
    EXPECT_TRUE(update_after(5));
    closer.join();
    close_requested = false;
}
