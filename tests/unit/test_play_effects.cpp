// Every sound effect is heard at its event, once, from where it happens, and never
// otherwise: a recorder stands in for Allegro's mixer. (400 is the middle of the screen,
// heard at pan 128; the ship's middle starts there.)
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "test_play_scene.h"

namespace {
using Heard = std::vector<std::pair<Effect, int>>;  // each effect with its pan
}

class Effects : public PlayScene {
protected:
    Heard heard;
    void SetUp() override {
        PlayScene::SetUp();
        game.effect_player = [this](Effect effect, int pan) { heard.emplace_back(effect, pan); };
    }
    void TearDown() override {
        game.frame_observer = nullptr;
        PlayScene::TearDown();
    }
};

TEST_F(Effects, EachWeaponSoundsItsOwnShotFromTheShipAndNothingSoundsWhenNoShotLeaves) {
    key[KEY_SPACE] = 1;
    for (int& shots : ship().ammo) shots = 5;
    const Effect shot_sounds[] = {Effect::missiles_fired, Effect::fireball_fired, Effect::choc_fired};
    for (int weapon : {weapons::missiles, weapons::fireball, weapons::choc}) {
        heard.clear();
        ship().weapon = weapon;
        ship().fire_delay = 0;
        game.fire();
        EXPECT_EQ(heard, (Heard{{shot_sounds[weapon], 128}})) << "weapon " << weapon;
    }
    heard.clear();
    game.fire();  // the fire delay is running
    ship().fire_delay = 0;
    ship().ammo[weapons::choc] = 0;
    game.fire();  // no ammunition left
    ship().weapon = weapons::missiles;
    game.settings.effects_on = false;
    game.fire();  // the player turned the effects off
    EXPECT_EQ(game.shots.size(), 4u);
    EXPECT_TRUE(heard.empty());

    game.settings.effects_on = true;
    ship().fire_delay = 0;
    ship().x = 0;  // the ship's middle at 32: heard from the left, yet from both speakers
    game.fire();
    EXPECT_EQ(heard, (Heard{{Effect::missiles_fired, 128 + (64 - 800) * 64 / 800}}));
    key[KEY_SPACE] = 0;
}

// An invader fires when lined up with its delay run out; so does its sound.
TEST_F(Effects, AnInvaderIsHeardFiringOnlyWhenItFires) {
    add_invader(381, 100);
    add_invader(380, 100).fire_delay = 2;
    game.move_invaders(0);
    EXPECT_TRUE(heard.empty());
    game.move_invaders(0);
    EXPECT_EQ(heard, (Heard{{Effect::invader_fired, 128}}));
}

// A hit that leaves the invader standing sounds unlike one that destroys it; a Choc shot
// is heard destroying each invader it goes through. (320 is heard at pan 116.)
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
        game.invaders.clear();
        game.shots.clear();
        heard.clear();
        for (int i = 0; i < c.invaders; i++) add_invader(300, 200).hull = c.hull;
        add_shot(c.weapon, c.weapon == weapons::invader ? 390 : 315, c.weapon == weapons::invader ? 560 : 210);
        game.move_shots(0);
        EXPECT_EQ(heard, c.expected) << c.what;
    }
}

TEST_F(Effects, ARamAndACaughtBonusAreHeardAndNearMissesAreNot) {
    add_invader(100, 100);  // far from the ship
    game.ram_invaders();
    add_bonus(100, 300, 0);  // out of reach
    game.move_bonuses(0);
    EXPECT_TRUE(heard.empty());
    add_bonus(388, 560, 1);  // caught, its middle at 400
    game.move_bonuses(0);
    add_invader(380, 540);  // on the ship, its middle at 400
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
    EXPECT_EQ(heard, (Heard{{Effect::game_over, 128}}));

    heard.clear();
    ship().hull = ship().armour = 100;
    key[KEY_ESC] = 1;
    game.frame_observer = [](BITMAP*) { key[KEY_ESC] = 1; };  // the dialog closes at once
    EXPECT_FALSE(update_after(1));
    EXPECT_EQ(heard, (Heard{{Effect::quit_dialog_opened, 128}}));
}

// A click that changes the music, the effects or starts a game is heard; switching the
// effects off is silent, switching them on is heard, and each change is saved at once.
TEST_F(Effects, ClicksOnTheTitleMenusWidgetsAreHeardAndTheEffectsChoiceIsSaved) {
    TestStrip picture{100, 40, 7};
    game.title_image = game.mouse_pointer = game.play_button_normal = game.play_button_hover =
        game.play_button_pressed = picture.bitmaps[0];
    game.settings_path = ::testing::TempDir() + "zudaduviz-settings-" + std::to_string(getpid());
    auto saved = [this] {
        std::ifstream in(game.settings_path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    // The pointer held or released over (x, y) from the frame after each of these frames.
    struct Step {
        int after_frame, x, y, buttons;
    };
    const Step steps[] = {{1, 150, 352, 1}, {2, 150, 352, 0},    // the music option
                          {6, 120, 372, 1}, {7, 120, 372, 0},    // the effects option: off
                          {12, 120, 372, 1}, {13, 120, 372, 0},  // and on again
                          {18, 400, 510, 1}};                    // the play button
    int frame = 0;
    std::string saved_when_off;
    game.frame_observer = [&](BITMAP*) {
        frame++;
        if (frame == 8) saved_when_off = saved();
        for (const Step& s : steps)
            if (s.after_frame == frame) mouse_x = s.x, mouse_y = s.y, mouse_b = s.buttons;
    };
    EXPECT_FALSE(game.title_menu());
    mouse_b = 0;
    EXPECT_EQ(heard, Heard(3, {Effect::menu_click, 128}));
    EXPECT_EQ(std::pair(game.music_on, game.settings.effects_on), std::pair(1, true));
    EXPECT_NE(saved_when_off.find("effects=off"), std::string::npos) << saved_when_off;
    EXPECT_NE(saved().find("effects=on"), std::string::npos) << saved();
    std::remove(game.settings_path.c_str());
}
