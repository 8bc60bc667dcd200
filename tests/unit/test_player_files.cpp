// SPDX-License-Identifier: GPL-3.0-or-later
// The player's files: whatever state the settings file is in, the game gets usable
// settings, and a write replaces the file whole or leaves the old one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/game.h"
#include "support.h"

// Allegro's own key names, as the settings file keeps them.
#include <allegro/internal/aintern.h>

namespace {

struct Folder {
    std::string path = ::testing::TempDir() + "zudaduviz-player-" + std::to_string(getpid());
    Folder() {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~Folder() {
        std::error_code left_as_is;  // a test that fails half-way must not also throw here
        std::filesystem::remove_all(path, left_as_is);
    }
};

std::string read(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The display (u, w or f) and effects, the keys by Allegro's names, then the buttons counted
// from 1 (- for none), then the music, and the level, name, language and auto-fire when chosen.
std::string summary(const Settings& settings) {
    std::string text = std::string(1, "uwf"[int(settings.display)]) + (settings.effects_on ? " effects |" : " quiet |");
    for (int key : settings.bindings.keys) text += std::string(" ") + _keyboard_common_names[key];
    text += " |";
    for (int button : settings.bindings.buttons) text += " " + (button < 0 ? "-" : std::to_string(button + 1));
    text += settings.music_on ? " | music on" : " | music off";
    if (settings.level != 1) text += " | level " + std::to_string(settings.level);
    if (!settings.name.empty()) text += " | " + settings.name;
    if (settings.language >= 0) text += std::string(" | ") + languages[settings.language].code;
    return text + (settings.auto_fire ? " | auto-fire" : "");
}

// Whatever the file holds, usable settings: the defaults for what is damaged or missing, good
// lines kept among bad ones. A missing, damaged, reserved or already given key (or button)
// falls back to the action's default, else to the first default key free (a button: none).
// Saved, then loaded, the same choices, in a folder made on the way.
TEST(Settings, AnyDamageGivesTheDefaultsGoodLinesSurviveAndSavedChoicesComeBack) {
    start_headless_allegro();
    Folder folder;
    const std::string path = folder.path + "/settings";
    const std::string keys = " | LEFT RIGHT SPACE 1 2 3 UP DOWN P | - - 1 2 3 4 - - - | music off", defaults = "u effects" + keys;
    const std::pair<const char*, std::string> cases[] = {
        {"", defaults}, {"\x01\xff garbage\n===\n", defaults}, {"display=sideways\neffects=maybe\n", defaults},
        {"junk\n display = window \r\n effects=off\nunknown=1\n", "w quiet" + keys}, {"display=fullscreen\n", "f effects" + keys},
        {"key_fire=K\nbutton_fire=6\nmusic=on\n", "u effects | LEFT RIGHT K 1 2 3 UP DOWN P | - - 6 2 3 4 - - - | music on"},
        {" key_fire = lcontrol \r\nbutton_fire=none\nbutton_left=11\n",
         "u effects | LEFT RIGHT LCONTROL 1 2 3 UP DOWN P | 11 - - 2 3 4 - - - | music off"},
        {"key_fire=NOPE\nkey_left=ESC\nkey_pause=F1\nkey_right\nkey_jump=A\nbutton_fire=0\nbutton_choc=99\n"
         "button_missiles=8\nbutton_slower=x\nmusic=loud\n", defaults},
        {"key_fire=LEFT\nkey_left=LEFT\n", "u effects | SPACE RIGHT LEFT 1 2 3 UP DOWN P | - - 1 2 3 4 - - - | music off"},
        {"key_fire=K\nkey_pause=K\nkey_fire=J\n", "u effects | LEFT RIGHT K 1 2 3 UP DOWN P | - - 1 2 3 4 - - - | music off"},
        {"key_fire=UP\n", "u effects | LEFT RIGHT UP 1 2 3 SPACE DOWN P | - - 1 2 3 4 - - - | music off"},
        {"button_fire=2\nbutton_missiles=2\n", "u effects | LEFT RIGHT SPACE 1 2 3 UP DOWN P | - - 2 - 3 4 - - - | music off"},
        {"level=5\nauto_fire=on\n", defaults + " | level 5 | auto-fire"},
        {"level=0\nauto_fire=1\n", defaults}, {"level=6\n", defaults}, {"level=22\n", defaults}, {"level=x\n", defaults},
        // A name keeps the letters the font draws, twelve at most; a language is one with its catalogue, by its code.
        {"name= Zoé \nlanguage=en\n", defaults + " | Zoé | en"}, {"language=fr\n", defaults + " | fr"},
        {"name=a b\t\x01" "c\xff\xe2\x82\xac" "d0123456789\nlanguage=EN\n", defaults + " | abcd01234567"},
        {"name=\nlanguage=de\n", defaults}, {"language=en_GB\n", defaults},
    };
    for (const auto& [contents, expected] : cases) {
        std::ofstream(path) << contents;
        EXPECT_EQ(summary(load_settings(path)), expected) << contents;
    }
    for (const std::string& odd : {folder.path + "/none", folder.path, std::string()})  // missing, a folder, no home
        EXPECT_EQ(summary(load_settings(odd)), defaults) << odd;
    Settings chosen;
    chosen.music_on = true;
    chosen.display = Settings::Display::fullscreen;
    chosen.level = 4;
    chosen.auto_fire = true;
    chosen.name = "Zoé", chosen.language = 1;
    const int keys_chosen[actions::count] = {KEY_A, KEY_D, KEY_0_PAD, KEY_RSHIFT, KEY_COMMA, KEY_TAB, KEY_W, KEY_S, KEY_PGDN};
    for (int action = 0; action < actions::count; action++) chosen.bindings.give_key(action, keys_chosen[action]);
    chosen.bindings.give_button(actions::pause, 8);
    chosen.bindings.give_button(actions::fire, 1);
    // Fire took the missiles' button, and they fire's.
    ASSERT_EQ(summary(chosen), "f effects | A D 0 PAD RSHIFT KEY72 TAB W S PGDN | - - 2 1 3 4 - - 9 | music on | level 4 | Zoé | en | auto-fire");
    ASSERT_TRUE(save_settings(chosen, folder.path + "/a/b/settings"));
    EXPECT_EQ(summary(load_settings(folder.path + "/a/b/settings")), summary(chosen));
    const std::string saved = read(folder.path + "/a/b/settings");
    EXPECT_TRUE(saved.find("\nkey_fire=0 PAD\n") != saved.npos && saved.find("\nbutton_pause=9\n") != saved.npos) << saved;
}

// Missing, damaged or in an odd place (a folder where the file goes, or below a regular file:
// not even root writes there), a record file counts as none and stops nothing, without a word.
// A write that fails leaves the old file and no temporary. (Beaten or not: the game-over test.)
TEST(Record, DamageCountsAsNone) {
    Folder folder;
    const std::string path = folder.path + "/made/record";
    ASSERT_EQ(keep_record(path, 150), 0);
    // Each level has its own, beside level 1's (which is the file from before there were levels).
    EXPECT_EQ(keep_record(level_path(path, 2), 120), 0);
    EXPECT_EQ(read(path) + read(path + "-2"), "150\n120\n");
    EXPECT_EQ(best_game_path(level_path(path, 3)), folder.path + "/made/best-game-3.replay");
    for (const char* damaged : {"", "abc\n", "12x\n", "-5\n", " 12\n", "12\n\n", "2147483648\n"}) {
        std::ofstream(path, std::ios::binary) << damaged;
        EXPECT_EQ(load_record(path), 0) << damaged;
    }
    EXPECT_EQ(keep_record(path, 30) + keep_record(path, 20), 30);  // the lower one leaves it
    ::testing::internal::CaptureStderr();
    for (const std::string& odd : {path + "/below", folder.path + "/made", std::string()})
        EXPECT_EQ(keep_record(odd, 500) + load_record(odd), 0) << odd;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(read(path), "30\n");
    EXPECT_EQ(std::system(("test \"$(ls -A '" + folder.path + "')\" = made").c_str()), 0) << "a temporary was left";
}

// The scores of a table's level, each with its name and a * for an entry with a game.
std::string scores(const HonourTable& table, int level) {
    std::string text;
    for (const HonourEntry& e : table.levels[level - 1]) text += " " + std::to_string(e.score) + e.name + (e.game.empty() ? "" : "*");
    return text;
}

// Whatever stands at a name the game reads or writes in its folders: the read gives the
// defaults (or no kept game) without blocking, the write puts a regular file in the name's place, and nothing
// outside the folders is read, written or made.
TEST(PlayerFiles, OddThingsAtTheirNamesNeitherHoldUpNorLeadOutside) {
    Folder folder;
    const std::string up = folder.path + "/", inside = up + "zudaduviz/", tmp = ".tmp" + std::to_string(getpid());
    // Planted from inside the folder: ../outside is a file, ../nowhere is not there.
    const std::string plants[] = {
        "mkfifo settings", "mkfifo record", "mkfifo record.lock", "ln -s /dev/zero settings", "ln -s /dev/zero record",
        "ln -s /dev/urandom settings", "ln -s ../outside settings", "ln -s ../outside record", "ln -s ../nowhere record.lock",
        "ln -s ../outside settings" + tmp, "ln -s ../outside record" + tmp, "ln -s ../nowhere settings" + tmp,
        "ln -s ../nowhere record" + tmp, "mkfifo best-game.replay", "ln -s /dev/zero best-game.replay",
        // The last: a good line, the file past the limit.
        "ln -s ../nowhere record" + tmp, "mkfifo scores", "ln -s /dev/zero scores",
        "{ echo effects=off; yes '' | head -n 65536; } > settings",
    };
    alarm(20);  // a read that blocks ends the test here
    for (const std::string& plant : plants) {
        ASSERT_EQ(std::system(("cd '" + folder.path + "' && rm -rf zudaduviz nowhere && mkdir zudaduviz && echo outside > outside"
                     " && cd zudaduviz && " + plant).c_str()), 0) << plant;
        ReplayFile game;  // no kept game at all, and not a wait or a read of a device either
        EXPECT_NE(load_replay(inside + "best-game.replay", game).find("impossible de lire"), std::string::npos) << plant;
        Settings settings = load_settings(inside + "settings");
        EXPECT_TRUE(settings.effects_on && settings.display == Settings::Display::unchosen && !load_record(inside + "record") &&
                    scores(load_table(inside + "record", "a"), 1).empty()) << plant;
        settings.effects_on = false;
        EXPECT_TRUE(save_settings(settings, inside + "settings") && keep_record(inside + "record", 50) == 0) << plant;
        EXPECT_FALSE(load_settings(inside + "settings").effects_on) << plant;
        // Nothing was written through a link: outside is as it was, nowhere still not there.
        EXPECT_EQ(read(inside + "record") + read(up + "outside") + read(up + "nowhere"), "50\noutside\n") << plant;
    }
    alarm(0);
}

// Ten games end together, first with the lock free, then with it held elsewhere all along (a
// stuck game) so that each writes unlocked: the record ends up the highest score every round, the
// best game beside it the game that scored it, and the table of honour holds all ten.
TEST(Record, TenGamesEndingTogetherKeepTheHighestAndItsGameWithOrWithoutTheLock) {
    Folder folder;
    const int stuck_game = open(folder.path.c_str(), O_RDONLY | O_DIRECTORY);
    const auto entry = [](int game, int round) {
        HonourEntry e;
        e.level = 1 + round % level_count, e.score = 10 + (game + 3 * round) % 10 * 10, e.name = "b";
        return e;
    };
    HonourTable kept;
    for (int round = 0; round < 6; round++) {
        ASSERT_TRUE(round != 2 || flock(stuck_game, LOCK_EX) == 0);
        const std::string path = folder.path + "/record" + std::to_string(round);
        int start[2], go;
        ASSERT_EQ(pipe(start), 0);
        // Each game waits for the pipe to close (its own end of writing closed first): they all start at once.
        for (int game = 0; game < 10; game++) {
            const int score = 10 + (game + 3 * round) % 10 * 10;
            if (fork() == 0 && close(start[1]) == 0)
                _exit(::read(start[0], &go, 1) == 0 ? (enter_table(path, entry(game, round), "game", kept),
                                                       keep_record(path, score, "game of " + std::to_string(score)), 0) : 1);
        }
        close(start[0]);
        close(start[1]);
        while (wait(nullptr) > 0) {}
        EXPECT_EQ(load_record(path), 100) << "round " << round;
        // Every game entered its level of the table, in order, once.
        EXPECT_EQ(scores(load_table(path, ""), 1 + round % level_count),
                  " 100b* 90b* 80b* 70b* 60b* 50b* 40b* 30b* 20b* 10b*") << "round " << round;
        std::filesystem::remove(folder.path + "/scores");  // a table of its own for each round
        EXPECT_EQ(read(best_game_path(path)), "game of 100") << "round " << round;
        unlink(best_game_path(path).c_str());
    }
    close(stuck_game);
}

// A game enters its level after the scores above or equal to it, its game written beside; past
// the tenth it does not enter, and the one it pushes out leaves with its game. Lines that cannot
// be read are skipped, the rest kept; before any table, each level's record is its first entry.
TEST(HonourTable, EntersInOrderTiesAfterTheTenthLeavesDamageSkippedRecordCarriedOver) {
    Folder folder;
    const std::string record = folder.path + "/record", table = folder.path + "/scores";
    std::string ten;
    for (int score = 1000; score >= 100; score -= 100) ten += "1 " + std::to_string(score) + " 3 12.500 - a 1-" + std::to_string(score) + ".replay\n";
    const struct { const char* name; std::string before; int level, score; const char* after; bool entered; } rows[] = {
        {"carried over", "", 1, 300, " 500b 300b*", true},
        {"insert", "1 900 1 1.000 - a -\n1 100 1 1.000 - a -\n", 1, 500, " 900a 500b* 100a", true},
        {"tie", "2 500 1 1.000 2024-05-01T12:30 a -\n", 2, 500, " 500a 500b*", true},
        {"the eleventh", ten, 1, 100, " 1000a* 900a* 800a* 700a* 600a* 500a* 400a* 300a* 200a* 100a*", false},
        {"pushes the tenth out", ten, 1, 150, " 1000a* 900a* 800a* 700a* 600a* 500a* 400a* 300a* 200a* 150b*", true},
        {"damaged lines", "junk\n1 800\n9 800 1 1.000 - a -\n1 --800 1 1.000 - a -\n1 800 1 1.001 - a -\n"
         "1 800 1 1.000 yesterday a -\n1 800 1 1.000 - thirteenchars -\n1 800 1 1.000 - a ../record\n"
         "1 800 1 1.000 - a - more\n1 700 - - - c -\n\xff\n1 600 2 1.000 - d 1-600.replay\n1 -800 1 1.000 - e -\n",
         1, 650, " 700c 650b* 600d* -800e", true},
    };
    for (const auto& row : rows) {
        std::filesystem::remove_all(folder.path);
        std::filesystem::create_directories(folder.path + "/scores-games");
        if (!row.before.empty()) std::ofstream(table) << row.before;
        std::ofstream(record) << "500\n";
        std::ofstream(folder.path + "/scores-games/1-100.replay") << "a game";
        HonourEntry entry;
        entry.level = row.level, entry.score = row.score, entry.name = "b";
        HonourTable before;
        if (row.before.empty()) {
            EXPECT_EQ(scores(load_table(record, "Zoé"), 1), " 500Zoé") << row.name;
        }
        EXPECT_EQ(enter_table(record, entry, "its game", before), row.entered) << row.name;
        const HonourTable after = load_table(record, "Zoé");
        EXPECT_EQ(scores(after, row.level), row.after) << row.name;
        // The game it names is there, and the one pushed out has gone.
        for (const HonourEntry& e : after.levels[row.level - 1])
            EXPECT_TRUE(e.name != "b" || e.game.empty() || read(folder.path + "/scores-games/" + e.game) == "its game")
                << row.name;
        EXPECT_EQ(std::filesystem::exists(folder.path + "/scores-games/1-100.replay"),
                  std::string(row.after).find(" 100a*") != std::string::npos) << row.name;
        EXPECT_TRUE(!row.entered || read(table) == table_text(after)) << row.name;  // written as it reads back
    }
}

TEST(PlayerFolders, FollowTheXdgVariablesElseTheHomeFolder) {
    const char* names[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"};
    std::string kept[3];
    for (int i = 0; i < 3; i++) kept[i] = std::getenv(names[i]) ? std::getenv(names[i]) : "\n";  // \n: unset
    const struct { const char* set[3]; std::string config, data; } cases[] = {
        {{"/home/player", "/cfg", nullptr}, "/cfg/zudaduviz", "/home/player/.local/share/zudaduviz"},
        {{"/home/player", "relative", "/data"}, "/home/player/.config/zudaduviz", "/data/zudaduviz"},  // not absolute: ignored
        {{nullptr, nullptr, nullptr}, "", ""}};
    for (const auto& c : cases) {
        for (int i = 0; i < 3; i++) c.set[i] ? setenv(names[i], c.set[i], 1) : unsetenv(names[i]);
        EXPECT_EQ(std::pair(player_config_dir(), player_data_dir()), std::pair(c.config, c.data)) << c.config;
    }
    for (int i = 0; i < 3; i++) kept[i] != "\n" ? setenv(names[i], kept[i].c_str(), 1) : unsetenv(names[i]);
}

}  // namespace
