// SPDX-License-Identifier: GPL-3.0-or-later
// Entry point: the command line, one Game for the whole run, the tick timer, and the
// loop between the title menu and games.
#include <cstdio>
#include <cstdlib>
#include <new>

#include "game/game.h"
#include "host/host.h"
#include "zudaduviz_icon.h"  // generated at build time

// Allegro's X11 window takes its icon from this XPM; its headers do not declare it.
extern "C" void* allegro_icon;

namespace {

int run(int argc, char** argv) {
    // Every word from here on in the player's language, --help's and the errors' too.
    speak(chosen_language(load_settings(player_settings_path())), catalogue_folders(this_program_places().executable_dir));
    const Options options = parse_options(argc, argv);
    switch (options.action) {
        case Options::Action::play: break;
        case Options::Action::help: fputs(help_text().c_str(), stdout); return 0;
        case Options::Action::version: fputs(version_text().c_str(), stdout); return 0;
        case Options::Action::scores: return print_scores(options.data_file);
        case Options::Action::usage_error: fputs(usage_text(options.error).c_str(), stderr); return usage_exit_code;
    }
    if (!options.replay_to_verify.empty()) return verify_replay(options.replay_to_verify, options.data_file);
    // A file that cannot be replayed is told before any window opens.
    ReplayFile replay;
    if (!options.replay_to_watch.empty()) {
        if (std::string wrong = load_replay(options.replay_to_watch, replay); !wrong.empty()) {
            fprintf(stderr, _("zudaduviz : %s : %s\n"), options.replay_to_watch.c_str(), wrong.c_str());
            return 1;
        }
    }
    allegro_icon = const_cast<char**>(zudaduviz_icon_xpm);  // before Game starts Allegro
    Game game(800, 600, "zudaduviz.dat", 5, 100, options);
    if (install_int_ex(tick_callback, BPS_TO_TIMER(ticks_per_second)) < 0) {
        // Without the timer no timed screen could ever end: stop rather than hang.
        end_on_signal_from_now_on();
        allegro_message("%s", _("Le timer ne peut être installé"));
        exit(1);
    }
    if (!options.replay_to_watch.empty()) {
        if (std::string wrong = unsuitable_replay(replay, game); !wrong.empty()) {
            fprintf(stderr, _("zudaduviz : %s : %s\n"), options.replay_to_watch.c_str(), wrong.c_str());
            return 1;
        }
        game.watch_replay(replay, false);
        if (!game.replay.mismatch.empty())
            fprintf(stderr, _("zudaduviz : %s : différence %s\n"), options.replay_to_watch.c_str(), game.replay.mismatch.c_str());
    }
    while (!game.title_menu()) game.play_game(&tick_counter);
    remove_int(tick_callback);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // A huge data file, or a machine out of memory: a message, not a crash.
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        const char* const message = _("Mémoire insuffisante : le jeu s'arrête\n");
        fputs(message, stderr);
        // A game started from a menu has no terminal: the box says it too, while Allegro runs.
        if (system_driver) show_failure(message);
        return 1;
    }
}
END_OF_MAIN()
