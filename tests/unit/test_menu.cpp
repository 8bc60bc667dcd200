// SPDX-License-Identifier: GPL-3.0-or-later
// The title menu's widgets and the fade, on memory bitmaps with a mouse state
// the test sets itself.
#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <locale>
#include <iterator>
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

// Every text the screens draw, in every language, fits its place at 800x600 with the longest
// values it shows, and every character of every catalogue is one the font draws (not its '^').
TEST(Catalogues, EveryTextFitsItsPlaceAndTheFontDrawsEveryCharacter) {
    start_headless_allegro();
    // The text (its numbers and names as %...), what they are at their longest, and its room in
    // pixels: from where it starts (or between the edges it is centred in) to what comes next.
    const std::tuple<const char*, const char*, int> places[] = {
        // The title: a label ends before its value at x 200 (at 100), the keys line across the screen.
        {"Rapidité", "", 96}, {"Rapidité %d", "5", 600}, {"Musique", "", 96}, {"Effets", "", 96}, {"Touches", "", 96},
        {"Langue", "", 96},
        {"Entrée : jouer      Échap : quitter", "", 800}, {"Record : %i", "2147483647", 800},
        // The HUD: the weapons before the armour gauge (x 10 to 150), the armour before the score
        // (150 to 282), the score and kills before the frame rate (282 to 600), which ends the line.
        {"ARMES", "", 140}, {"Missiles -> %i", "999", 140}, {"Fireball -> %i", "999", 140}, {"Choc -> %i", "999", 140},
        {"ARMURE", "", 132}, {"SCORE : %i", "-999999", 318}, {"TUES : %i", "99999", 318}, {"FPS : %g", "999", 200},
        {"DÉMO", "", 200},
        // The keys screen's columns: actions from x 180, keys from 360, buttons from 530.
        {"Action", "", 180}, {"Gauche", "", 170}, {"Droite", "", 170}, {"Tir", "", 180}, {"Plus vite", "", 180},
        {"Moins vite", "", 180}, {"Pause", "", 180}, {"Clavier", "", 170}, {"Haut", "", 170}, {"Bas", "", 170},
        {"Espace", "", 170}, {"Retour arrière", "", 170}, {"Maj gauche", "", 170}, {"Maj droite", "", 170},
        {"Ctrl gauche", "", 170}, {"Ctrl droit", "", 170}, {"Page préc.", "", 170}, {"Page suiv.", "", 170},
        {"Verr. Maj", "", 170}, {"Entrée pavé", "", 170}, {"Manette", "", 270}, {"Aucun", "", 270},
        {"Bouton %d", "32", 270}, {"Par défaut", "", 212}, {"Retour", "", 324}, {"Tir automatique", "", 180},
        {"Cliquez sur une action, ou flèches et Entrée", "", 800},
        {"Appuyez sur une touche ou un bouton      Échap : annuler", "", 800},
        {"Cette touche est réservée au jeu      Échap : annuler", "", 800},
        {"Ce bouton est réservé au jeu      Échap : annuler", "", 800},
        {"%s et %s échangent leurs touches", "Retour arrière", 800}, {"Les touches et les boutons d'origine sont remis", "", 800},
        {"Entrée : choisir      Échap : retour", "", 800},
        // The pause: the word four times the font's size, the keys under it; the game-over lines
        // under its 460-pixel picture; the full screen's notice.
        {"PAUSE", "", 200}, {"%s : reprendre      Échap : quitter", "Retour arrière", 800},
        {"Score : %i", "-999999", 460}, {"Record : %i", "2147483647", 460}, {"Nouveau record !", "", 460},
        {"Plein écran x%d - F9 : remplir l'écran", "9", 800}, {"Plein écran rempli - F9 : échelle entière", "", 800},
    };
    BITMAP* glyph = create_bitmap(8, 8);
    auto drawn = [glyph](int c) {
        clear_bitmap(glyph);
        const char text[] = {char(0xC0 | c >> 6), char(0x80 | (c & 0x3F)), 0};
        textout_ex(glyph, font, c < 0x80 ? std::string(1, char(c)).c_str() : text, 0, 0, 1, -1);
        std::string pixels;
        for (int i = 0; i < 64; i++) pixels += char(getpixel(glyph, i % 8, i / 8));
        return pixels;
    };
    const std::string missing = drawn(allegro_404_char);
    for (int language = 0; language < language_count; language++) {
        ASSERT_EQ(speak(language, {LOCALE_DIR}), language) << languages[language].code;
        for (const auto& [text, longest, room] : places) {
            std::string shown = _(text);
            for (size_t at; (at = shown.find('%')) != std::string::npos;)
                shown.replace(at, shown.find_first_of("dgis", at) - at + 1, longest);
            EXPECT_LE(text_length(font, shown.c_str()), room) << languages[language].code << ": " << shown;
        }
        if (language == french) continue;
        std::ifstream file(std::string(LOCALE_DIR "/") + languages[language].code + "/LC_MESSAGES/zudaduviz.mo");
        for (const auto& [original, translation] : read_catalogue(std::string(std::istreambuf_iterator<char>(file), {})))
            for (const std::string& text : {original, translation})
                for (size_t at = 0; at < text.size(); at++) {
                    // Past U+07FF (three bytes and more) is far past the font's last letter.
                    const uint8_t lead = text[at];
                    const int c = lead < 0x80 ? lead : lead >= 0xE0 ? 0x800 : (lead & 0x1F) << 6 | (text[at + 1] & 0x3F);
                    at += c >= 0x80;
                    EXPECT_TRUE(c == '\n' || (c >= ' ' && c < 0x800 && (c == '^' || drawn(c) != missing))) << text;
                }
    }
    speak(french, {});
    destroy_bitmap(glyph);
}

// The environment picks the language in gettext's order, French for "C" and the unknown; a
// damaged, truncated or foreign catalogue speaks French, and a translation that would crash the
// format it replaces is left out.
TEST(Catalogues, TheLocaleChoosesAndABadCatalogueSpeaksFrench) {
    for (const auto& [language, lc_all, lc_messages, lang, expected] :
         {std::tuple{"", "", "", "en_US.UTF-8", 1}, {"", "", "", "C", 0}, {"en", "", "", "C.UTF-8", 0}, {"", "", "", "", 0},
          {"en", "", "", "POSIX", 0}, {"de:en:fr", "", "", "de_DE.UTF-8", 1}, {"", "fr_FR.UTF-8", "en_GB", "en_GB", 0},
          {"", "", "en_GB", "fr_FR", 1}, {"", "", "", "de_DE.UTF-8", 0}}) {
        for (auto [name, value] : {std::pair{"LANGUAGE", language}, {"LC_ALL", lc_all}, {"LC_MESSAGES", lc_messages}, {"LANG", lang}})
            setenv(name, value, 1);
        EXPECT_EQ(language_of_environment(), expected) << language << "|" << lc_all << "|" << lc_messages << "|" << lang;
    }
    std::ifstream file(LOCALE_DIR "/en/LC_MESSAGES/zudaduviz.mo");
    const std::string good(std::istreambuf_iterator<char>(file), {});
    ASSERT_EQ(read_catalogue(good).at("ARMES"), "WEAPONS");
    const size_t score = good.find("SCORE: %i"), header = good.find("charset=UTF-8");
    for (auto [damage, words] : {std::pair{std::function<void(std::string&)>([](std::string& mo) { mo.resize(mo.size() / 2); }), 0},
          {[](std::string& mo) { mo[0] ^= 1; }, 0}, {[](std::string& mo) { mo[8] = mo[9] = mo[10] = '\xff'; }, 0},
          {[](std::string& mo) { mo[19] = '\x7f'; }, 0}, {[&](std::string& mo) { mo.replace(header, 13, "charset=ASCII"); }, 0},
          {[&](std::string& mo) { mo[score + 8] = 's'; }, 1}, {[&](std::string& mo) { mo[score] = '\xc3'; }, 1}}) {
        std::string mo = good;
        damage(mo);
        const Catalogue read = read_catalogue(mo);
        EXPECT_EQ(std::pair(read.size() > 100, read.count("SCORE : %i")), std::pair(words == 1, size_t(0)));
    }
}

std::string read_file(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Numbers in the files are the same bytes whatever the locale: a record, settings and a replay
// written under German and French locales (made on the spot) equal those written under "C".
TEST(Catalogues, FilesWrittenUnderAnyLocaleAreTheSameBytes) {
    start_headless_allegro();
    const std::string folder = ::testing::TempDir() + "zudaduviz-locales-" + std::to_string(getpid());
    std::vector<std::string> written;
    for (const char* locale : {"C", "de_DE.UTF-8", "fr_FR.UTF-8"}) {
        if (locale[0] != 'C') {
            const std::string made = folder + "/" + locale;
            std::system(("localedef -i " + std::string(locale, 5) + " -f UTF-8 " + made + " 2>/dev/null").c_str());
            setenv("LOCPATH", folder.c_str(), 1);
            ASSERT_TRUE(std::setlocale(LC_ALL, locale)) << locale;
            std::locale::global(std::locale(locale));
        }
        Settings settings;
        settings.scale = 3, settings.language = 1;
        save_settings(settings, folder + "/settings");
        keep_record(folder + "/record", 1234567);
        ReplayFile replay;
        replay.game_version = ZUDADUVIZ_VERSION, replay.width = 800, replay.height = 600, replay.updates = 12;
        replay.star_layers = replay.stars_per_layer = 1;
        replay.sky = {Star{3, 123.25, 120}};
        replay.checks = {ReplayCheck{12, 1234567, 5, 80, 312.75, 9, 77}};
        written.push_back(read_file(folder + "/settings") + read_file(folder + "/record") + write_replay(replay));
        std::system(("rm -f '" + folder + "/settings' '" + folder + "/record'").c_str());
    }
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
    std::system(("rm -rf '" + folder + "'").c_str());
    EXPECT_EQ(written[1], written[0]);
    EXPECT_EQ(written[2], written[0]);
}
