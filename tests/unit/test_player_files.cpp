// The player's files: whatever state the settings file is in, the game gets usable
// settings, and a write replaces the file whole or leaves the old one.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "frame/game.h"

namespace {

struct Folder {
    std::string path = ::testing::TempDir() + "zudaduviz-player-" + std::to_string(getpid());
    Folder() { std::system(("rm -rf '" + path + "' && mkdir -p '" + path + "'").c_str()); }
    ~Folder() { std::system(("rm -rf '" + path + "'").c_str()); }
};

std::string read(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Whatever the file holds, usable settings: the defaults for what is damaged or missing, good
// lines kept among bad ones; saved, then loaded, the same choices, in a folder made on the way.
TEST(Settings, AnyDamageGivesTheDefaultsGoodLinesSurviveAndSavedChoicesComeBack) {
    Folder folder;
    using Display = Settings::Display;
    const std::string path = folder.path + "/settings";
    const struct { const char* contents; Display display; bool effects; } cases[] = {
        {"", Display::unchosen, true}, {"\x01\xff garbage\n===\n", Display::unchosen, true},
        {"display=sideways\neffects=maybe\n", Display::unchosen, true},
        {"junk\n display = window \r\n effects=off\nunknown=1\n", Display::window, false},
        {"display=fullscreen\n", Display::fullscreen, true}};
    for (const auto& c : cases) {
        std::ofstream(path) << c.contents;
        const Settings read_back = load_settings(path);
        EXPECT_TRUE(read_back.display == c.display && read_back.effects_on == c.effects) << c.contents;
    }
    for (const std::string& odd : {folder.path + "/none", folder.path, std::string()})  // missing, a folder, no home
        EXPECT_TRUE(load_settings(odd).effects_on && load_settings(odd).display == Display::unchosen) << odd;
    for (auto display : {Display::fullscreen, Display::window, Display::unchosen})
        for (bool effects : {false, true}) {
            Settings chosen;
            chosen.display = display;
            chosen.effects_on = effects;
            ASSERT_TRUE(save_settings(chosen, folder.path + "/a/b/settings"));
            const Settings read_back = load_settings(folder.path + "/a/b/settings");
            EXPECT_TRUE(read_back.display == display && read_back.effects_on == effects);
        }
}

TEST(ReplaceFile, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    Folder folder;
    const std::string path = folder.path + "/record";
    ASSERT_TRUE(replace_file(path, "first"));
    ASSERT_TRUE(replace_file(path, "second"));
    EXPECT_EQ(read(path), "second");
    // A file where a folder should be: nothing can be written below it, even as root.
    EXPECT_FALSE(replace_file(path + "/below", "x"));
    // A folder in the file's place cannot be renamed over.
    mkdir((folder.path + "/taken").c_str(), 0755);
    EXPECT_FALSE(replace_file(folder.path + "/taken", "x"));
    EXPECT_EQ(read(path), "second");
    EXPECT_EQ(std::system(("test $(ls '" + folder.path + "' | wc -l) -eq 2").c_str()), 0) << "a temporary was left";
}

// Missing, damaged or in an odd place (a folder where the file goes, or below a regular file:
// not even root writes there), a record file counts as none and stops nothing, without a word.
TEST(Record, ABeatenOneIsReplacedOneNotBeatenKeptAndDamageCountsAsNone) {
    Folder folder;
    const std::string path = folder.path + "/made/on/the/way/record";
    // In a braced list the calls run in order: missing, first, not beaten, beaten.
    const std::vector<int> records_before{load_record(path), keep_record(path, 100), keep_record(path, 60),
                                          keep_record(path, 150)};
    EXPECT_EQ(records_before, (std::vector<int>{0, 0, 100, 100}));
    EXPECT_EQ(read(path), "150\n");
    for (const char* damaged : {"", "abc\n", "12x\n", "-5\n", " 12\n", "12\n\n", "2147483648\n"}) {
        std::ofstream(path, std::ios::binary) << damaged;
        EXPECT_EQ(load_record(path), 0) << damaged;
    }
    EXPECT_EQ(keep_record(path, 30), 0);
    EXPECT_EQ(read(path), "30\n");
    ::testing::internal::CaptureStderr();
    for (const std::string& odd : {path + "/below", folder.path + "/made", std::string()})
        EXPECT_EQ(keep_record(odd, 500) + load_record(odd), 0) << odd;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(read(path), "30\n");
}

// Two processes hand in interleaved rising scores and check after each that the file holds at
// least that much: without the lock, a writer that read an older record puts a lower one back.
TEST(Record, TwoGamesEndingAtOnceKeepTheHigher) {
    Folder folder;
    const std::string path = folder.path + "/record";
    pid_t writers[2];
    for (int w = 0; w < 2; w++)
        if ((writers[w] = fork()) == 0) {
            int lowered = 0;
            for (int score = 2 + w; score <= 300 + w; score += 2) {
                keep_record(path, score);
                lowered += load_record(path) < score;
            }
            _exit(std::min(lowered, 100));
        }
    int status[2];
    for (int w = 0; w < 2; w++) waitpid(writers[w], &status[w], 0);
    EXPECT_EQ(std::pair(status[0], status[1]), std::pair(0, 0)) << "exit codes: times a record went below a score";
    EXPECT_EQ(load_record(path), 301);
}

TEST(PlayerFolders, FollowTheXdgVariablesElseTheHomeFolder) {
    const char* saved[] = {std::getenv("XDG_CONFIG_HOME"), std::getenv("XDG_DATA_HOME"), std::getenv("HOME")};
    const std::string kept[] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : "", saved[2] ? saved[2] : ""};
    setenv("HOME", "/home/player", 1);
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(player_config_dir(), "/cfg/zudaduviz");
    EXPECT_EQ(player_data_dir(), "/home/player/.local/share/zudaduviz");
    setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(player_config_dir(), "/home/player/.config/zudaduviz");
    unsetenv("HOME");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(player_config_dir(), "");
    const char* names[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME"};
    for (int i = 0; i < 3; i++) saved[i] ? setenv(names[i], kept[i].c_str(), 1) : unsetenv(names[i]);
}

}  // namespace
