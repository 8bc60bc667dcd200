// SPDX-License-Identifier: GPL-3.0-or-later
// --verifier: a recorded game replayed without a window, as fast as the machine goes.
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "game/game.h"
#include "replay/replay.h"

namespace {
int refused(const std::string& path, const std::string& why) {
    std::fprintf(stderr, _("zudaduviz : %s : %s\n"), path.c_str(), why.c_str());
    return 1;
}
}  // namespace

DATAFILE* data_for_replays(const std::string& data_file, int width, int height, const std::string& for_path) {
    // The pictures decide every collision: the game's own data file, loaded as the game does.
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(16);
    std::string failure;
    DATAFILE* loaded = load_data_file(data_file, "zudaduviz.dat", this_program_places(), width, height, failure);
    if (!loaded) refused(for_path, failure);
    return loaded;
}

ReplayOutcome replay_without_window(const ReplayFile& file, DATAFILE* objects) {
    Game game(file.width, file.height, file.star_layers, file.stars_per_layer);
    game.take_objects(objects);
    game.data = nullptr;  // lent: the caller unloads it
    const auto start = std::chrono::steady_clock::now();
    std::atomic<int> clock{0};
    game.replay.playback = &file;
    // As the title's demo: nothing the player does meanwhile reaches the game played back.
    game.replay.demo = true;
    game.start_game(&clock);
    while (!game.replay.finished() && !game.update_frame()) {
    }
    ReplayOutcome outcome;
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.score = game.player->score, outcome.kills = game.player->kills;
    outcome.ticks = game.replay.ticks_played();
    outcome.mismatch = game.replay.mismatch;
    game.player.reset();
    return outcome;
}

int verify_replay(const std::string& path, const std::string& data_file) {
    ReplayFile file;
    if (std::string wrong = load_replay(path, file); !wrong.empty()) return refused(path, wrong);
    if (file.game_version != ZUDADUVIZ_VERSION)
        std::fprintf(stderr, _("zudaduviz : %s : partie enregistrée par la version %s, vérifiée par la %s\n"),
                     path.c_str(), file.game_version.c_str(), ZUDADUVIZ_VERSION);
    DATAFILE* objects = data_for_replays(data_file, file.width, file.height, path);
    if (!objects) return 1;
    const ReplayOutcome outcome = replay_without_window(file, objects);
    unload_datafile(objects);
    if (!outcome.mismatch.empty()) return refused(path, printed(_("différence %s"), outcome.mismatch.c_str()));
    std::printf(_("%s : rapidité %d, %u mises à jour, %zu contrôles en accord, score %d (%.0f mises à jour par seconde)\n"),
                path.c_str(), file.level, file.updates, file.checks.size(), outcome.score,
                file.updates / std::max(outcome.seconds, 1e-9));
    return 0;
}
