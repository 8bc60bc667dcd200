// Every sound effect is heard at its event, once, from where it happens, and never
// otherwise: a recorder stands in for Allegro's mixer. The middle of the screen (400, where
// the ship's middle starts) is heard at pan 128, 320 at pan 116.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "test_play_scene.h"

using Heard = std::vector<std::pair<Effect, int>>;  // each effect with its pan

class Effects : public PlayScene {
protected:
    Heard heard;
    void SetUp() override {
        PlayScene::SetUp();
        game.effect_player = [this](Effect effect, int pan) { heard.emplace_back(effect, pan); };
    }
    void TearDown() override { game.frame_observer = nullptr, PlayScene::TearDown(); }
};

// Each weapon has its sound, heard only when a shot leaves; an invader's shot likewise.
TEST_F(Effects, ShotsAreHeardWhenTheyLeaveEachWeaponWithItsOwnSound) {
    key[KEY_SPACE] = 1;
    for (int& shots : ship().ammo) shots = 5;
    for (int weapon : {weapons::missiles, weapons::fireball, weapons::choc}) {
        ship().weapon = weapon;
        ship().fire_delay = 0;
        game.fire(game.read_inputs());
    }
    game.fire(game.read_inputs());  // the fire delay is running
    ship().fire_delay = 0;
    ship().ammo[weapons::choc] = 0;
    game.fire(game.read_inputs());  // no ammunition left
    ship().weapon = weapons::missiles;
    game.settings.effects_on = false;
    game.fire(game.read_inputs());  // the player turned the effects off: a shot, unheard
    game.settings.effects_on = true;
    ship().fire_delay = 0;
    ship().x = 0;  // the ship's middle at 32: heard from the left, yet from both speakers
    game.fire(game.read_inputs());
    key[KEY_SPACE] = 0;
    ship().x = 368;
    add_invader(381, 100);                 // not lined up
    add_invader(380, 100).fire_delay = 1;  // lined up, and its delay runs out
    game.move_invaders(0);
    game.move_invaders(0);
    EXPECT_EQ(game.shots.size(), 6u);
    EXPECT_EQ(heard, (Heard{{Effect::missiles_fired, 128}, {Effect::fireball_fired, 128}, {Effect::choc_fired, 128},
                            {Effect::missiles_fired, 128 + (64 - 800) * 64 / 800}, {Effect::invader_fired, 128}}));
}

// A hit that leaves the invader standing sounds unlike one that destroys it; a Choc shot
// is heard destroying each invader it goes through.
TEST_F(Effects, HitsSoundByWhatTheyDo) {
    struct Case {
        const char* what;
        int weapon, hull, invaders;
        Heard expected;
    };
    const Case cases[] = {
        {"a first missile", weapons::missiles, 100, 1, {{Effect::invader_hit, 116}}},
        {"a second missile", weapons::missiles, 50, 1, {{Effect::invader_destroyed, 116}}},
        {"a fireball", weapons::fireball, 100, 1, {{Effect::invader_destroyed, 116}}},
        {"a Choc shot through three", weapons::choc, 100, 3, Heard(3, {Effect::invader_destroyed, 116})},
        {"a shot that misses", weapons::missiles, 100, 0, {}},
        {"an invader's shot on the ship", weapons::invader, 100, 0, {{Effect::ship_hit, 128}}},
    };
    for (const Case& c : cases) {
        game.invaders.clear(), game.shots.clear(), heard.clear();
        for (int i = 0; i < c.invaders; i++) add_invader(300, 200).hull = c.hull;
        const bool down = c.weapon == weapons::invader;
        add_shot(c.weapon, down ? 390 : 315, down ? 560 : 210);
        game.move_shots(0);
        EXPECT_EQ(heard, c.expected) << c.what;
    }
}

TEST_F(Effects, ACaughtBonusAndARamAreHeardNearMissesAreNot) {
    add_bonus(100, 300, 0);  // out of reach
    add_bonus(388, 560, 1);  // caught, its middle at 400
    game.move_bonuses(0);
    add_invader(100, 100);  // far from the ship
    add_invader(380, 540);  // on it, its middle at 400
    game.ram_invaders();
    EXPECT_EQ(heard, (Heard{{Effect::bonus_collected, 128}, {Effect::ram, 128}}));
}

// The game-over sound comes with the game-over picture, in the update that empties the
// gauge; the quit dialog's chime when it opens. Each screen is let go after a few frames.
TEST_F(Effects, TheGameOverAndTheQuitDialogAreHeardWhenTheyOpen) {
    ship().armour = 0;
    ship().hull = 2;
    game.frame_observer = [this](BITMAP*) { clock += 100; };  // the game-over picture's time runs
    EXPECT_FALSE(update_after(1));
    EXPECT_TRUE(heard.empty());
    EXPECT_TRUE(update_after(1));
    ship().hull = ship().armour = 100;
    key[KEY_ESC] = 1;
    game.frame_observer = [](BITMAP*) { key[KEY_ESC] = 1; };  // the dialog closes at once
    EXPECT_FALSE(update_after(1));
    EXPECT_EQ(heard, (Heard{{Effect::game_over, 128}, {Effect::quit_dialog_opened, 128}}));
}

// A click that changes the music, the effects or starts a game is heard; switching the
// effects off is silent, switching them on is heard, and each change is saved at once.
TEST_F(Effects, ClicksOnTheTitleMenusWidgetsAreHeardAndTheEffectsChoiceIsSaved) {
    TestStrip picture{100, 40, 7};
    game.title_image = game.mouse_pointer = game.play_button_normal = game.play_button_hover =
        game.play_button_pressed = picture.bitmaps[0];
    game.settings_path = ::testing::TempDir() + "zudaduviz-settings-" + std::to_string(getpid());
    auto saved = [this] { return std::string(std::istreambuf_iterator<char>(std::ifstream(game.settings_path).rdbuf()), {}); };
    // From the frame after each of these, the pointer is held (or not) over a widget: the
    // music option, the effects option twice (off, then on), the play button.
    const int steps[][4] = {{1, 150, 352, 1}, {2, 150, 352, 0}, {6, 120, 372, 1}, {7, 120, 372, 0},
                            {12, 120, 372, 1}, {13, 120, 372, 0}, {18, 400, 510, 1}};
    int frame = 0;
    std::string saved_when_off;
    game.frame_observer = [&](BITMAP*) {
        if (++frame == 8) saved_when_off = saved();
        for (const auto& s : steps)
            if (s[0] == frame) mouse_x = s[1], mouse_y = s[2], mouse_b = s[3];
    };
    EXPECT_FALSE(game.title_menu());
    mouse_b = 0;
    EXPECT_EQ(heard, Heard(3, {Effect::menu_click, 128}));
    EXPECT_EQ(std::pair(game.music_on, game.settings.effects_on), std::pair(1, true));
    EXPECT_NE(saved_when_off.find("effects=off"), std::string::npos) << saved_when_off;
    EXPECT_NE(saved().find("effects=on"), std::string::npos) << saved();
    std::remove(game.settings_path.c_str());
}
