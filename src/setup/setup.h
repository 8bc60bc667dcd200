// What the program is asked for before its first frame: the command line, the display
// mode to try, and a quiet terminal.
#pragma once

#include <string>
#include <vector>

#include "../files/files.h"

// What the command line asks for. With no arguments: play, as the player last chose.
struct Options {
    enum class Action { play, help, version, usage_error };
    Action action = Action::play;
    // unchosen: the saved choice, or Allegro's pick on a first start.
    Settings::Display display = Settings::Display::unchosen;
    // Empty: the data file is looked for (see data_folders).
    std::string data_file;
    // For usage_error: what was wrong, in French.
    std::string error;
    // A recorded game to watch before the title (--rejouer), or to check without a window
    // (--verifier).
    std::string replay_to_watch, replay_to_verify;
};
Options parse_options(int argc, const char* const* argv);
// What --help and --version print (French).
std::string help_text();
std::string version_text();
// What a wrong command line gets on standard error, before the exit with 2.
std::string usage_text(const std::string& error);
constexpr int usage_exit_code = 2;

// The graphics drivers to try, in order, for a display choice: Allegro's own pick on a
// first start, else the one chosen then the other.
std::vector<int> graphics_cards_for(Settings::Display display);
// The start-up failure that a change of display mode can meet too.
inline const char* const graphics_failed = "Le mode graphique ne peut etre mis en place :(\n";

// Keeps alsa-lib from printing its errors on the terminal (no sound card: nine lines).
void silence_alsa();
