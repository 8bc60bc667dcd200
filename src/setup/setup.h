// SPDX-License-Identifier: GPL-3.0-or-later
// What the program is asked for before its first frame: the command line, the display
// mode to try, and a quiet terminal.
#pragma once

#include <string>
#include <vector>

#include "../files/files.h"
#include "../language/language.h"

// What the command line asks for. With no arguments: play, as the player last chose.
struct Options {
    enum class Action { play, help, version, scores, usage_error };
    Action action = Action::play;
    // unchosen: the saved choice, or Allegro's pick on a first start.
    Settings::Display display = Settings::Display::unchosen;
    // --echelle N: a window N times the picture's size (0: not given).
    int scale = 0;
    // Empty: the data file is looked for (see data_folders).
    std::string data_file;
    // For usage_error: what was wrong, in the language spoken.
    std::string error;
    // A recorded game to watch before the title (--rejouer), or to check without a window
    // (--verifier).
    std::string replay_to_watch, replay_to_verify;
};
Options parse_options(int argc, const char* const* argv);
// What --help and --version print (in the language spoken).
std::string help_text();
std::string version_text();
// What a wrong command line gets on standard error, before the exit with 2.
std::string usage_text(const std::string& error);
constexpr int usage_exit_code = 2;
// A display or a scale on the command line is the player's latest choice: it goes into the
// settings, to be kept for the next start (true). A scale asks for a window, unless the full
// screen is asked for too.
bool take_display_choice(const Options& options, Settings& settings);

// The largest scale of a window ever offered.
constexpr int max_scale = 9;
// A graphics mode to try: Allegro's driver, the screen's size, and the picture's whole scale
// on it (0: the largest that fits, or "fill", as the settings say).
struct DisplayMode {
    int card, width, height, scale;
};
// The modes to try, in order, for the player's choices on a desktop of that size (0 x 0 when
// unknown): Allegro's own pick on a first start; a window at the chosen scale (the largest
// that fits when none), then smaller ones; full screen at the desktop's size; then today's
// picture-sized modes, the one chosen first.
std::vector<DisplayMode> display_modes_for(const Settings& settings, int desktop_width, int desktop_height,
                                           int picture_width, int picture_height);
// The largest window scale that fits a desktop, leaving room for its panels and the frame.
int largest_window_scale(int desktop_width, int desktop_height, int picture_width, int picture_height);
// The start-up failure that a change of display mode can meet too.
inline const char* const graphics_failed = N_("Le mode graphique ne peut etre mis en place :(\n");

// Keeps alsa-lib from printing its errors on the terminal (no sound card: nine lines).
void silence_alsa();
