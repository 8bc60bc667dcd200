// SPDX-License-Identifier: GPL-3.0-or-later
// The headless player: seeded games at each level, played through the game's own frame update
// on the real pictures by a small fixed policy, to measure how long a ship lasts at each pace.
// Prints one line per game ("level seed seconds score kills"); scripts/measure-pace.py takes
// the medians.
//
// The policy, read from the field before each update: steer under the nearest invader, hold
// fire while lined up under it (the ship then fires whenever it can; fire held from the start
// spends the ten missiles on an empty sky), and take the first weapon with shots when the one
// in hand runs out. The clock moves 7 ticks an update (about 70 frames a second). Every game
// starts from the same sky, so a game depends on its level and seed alone.
//
// Usage: bench_pace [--games N] [--level L] [--row L=CHANCE,SIDE,DELAY,BONUS,SPEED]...
//   --row plays level L with another row of the table (to try rows before choosing them).
#include <allegro.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game/game.h"

namespace {

constexpr int clock_step = 7;
constexpr int longest_game_ticks = 30 * 60 * ticks_per_second;  // a game that lasts longer is stopped there

struct Outcome {
    double seconds;
    int score, kills;
};

// The inputs for the next update, as held keys.
void decide(Game& game) {
    const PlayerShip& ship = *game.player;
    const double ship_middle = ship.x + game.player_frames[0]->w / 2.0, ship_top = ship.y;
    const Invader* nearest = nullptr;
    double nearest_distance = 0;
    for (const Invader& invader : game.invaders) {
        const double dx = invader.x + invader.width / 2.0 - ship_middle, dy = invader.y + invader.height / 2.0 - ship_top;
        const double distance = dx * dx + dy * dy;
        if (!nearest || distance < nearest_distance) nearest = &invader, nearest_distance = distance;
    }
    const double aim = nearest ? nearest->x + nearest->width / 2.0 - ship_middle : 0;
    key[KEY_LEFT] = aim < -2;
    key[KEY_RIGHT] = aim > 2;
    // Lined up: the invader's middle within a few pixels of the ship's.
    key[KEY_SPACE] = nearest && aim > -8 && aim < 8;
    for (int w = 0; w < 3; w++) key[KEY_1 + w] = 0;
    if (ship.ammo[ship.weapon] == 0)
        for (int w = 0; w < 3; w++)
            if (ship.ammo[w] > 0) {
                key[KEY_1 + w] = 1;
                break;
            }
}

Outcome play(Game& game, std::atomic<int>& clock, const std::vector<Star>& sky, int level, const Pace& pace,
             uint32_t seed) {
    for (int layer = 0; layer < game.star_layers; layer++)
        for (int i = 0; i < game.stars_per_layer; i++) game.star_field[layer][i] = sky[size_t(layer) * game.stars_per_layer + i];
    game.settings.level = level;
    game.start_game(&clock);
    game.pace = pace;
    game.game_speed = pace.speed;
    game.replay.random.seed(seed);
    int updates = 0;
    bool ended = false;
    while (!ended && updates * clock_step < longest_game_ticks) {
        decide(game);
        clock += clock_step;
        updates++;
        ended = game.update_frame();
    }
    const Outcome outcome{updates * double(clock_step) / ticks_per_second, game.player->score, game.player->kills};
    game.player.reset();
    game.reset_keyboard();
    return outcome;
}

}  // namespace

int main(int argc, char** argv) {
    int games = 200, only_level = 0;
    Pace rows[level_count];
    std::copy(paces, paces + level_count, rows);
    for (int i = 1; i < argc; i++) {
        const std::string argument = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        int level = 0;
        Pace row{};
        if (argument == "--games" && std::atoi(value) > 0) {
            games = std::atoi(value), i++;
        } else if (argument == "--level" && known_level(std::atoi(value))) {
            only_level = std::atoi(value), i++;
        } else if (argument == "--row" && std::sscanf(value, "%d=%d,%lf,%d,%d,%lf", &level, &row.invader_chance,
                                                      &row.invader_side_speed, &row.invader_fire_delay,
                                                      &row.random_bonus_chance, &row.speed) == 6 && known_level(level) &&
                   row.invader_chance > 0 && row.random_bonus_chance > 0 && row.speed > 0) {
            rows[level - 1] = row, i++;
        } else {
            std::fprintf(stderr, "usage: bench_pace [--games N] [--level L] [--row L=CHANCE,SIDE,DELAY,BONUS,SPEED]...\n");
            return 2;
        }
    }
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(16);
    Game game(800, 600, 5, 100);
    DATAFILE* data = load_datafile(DATA_FILE);
    if (!data) {
        std::fprintf(stderr, "cannot load %s\n", DATA_FILE);
        return 1;
    }
    game.take_objects(data);  // the game unloads it
    // The game over screen waits two seconds of the game's clock: each frame it shows moves it on.
    std::atomic<int> clock{0};
    game.frame_observer = [&clock](BITMAP*) { clock += 100; };
    std::vector<Star> sky;
    for (int layer = 0; layer < game.star_layers; layer++)
        sky.insert(sky.end(), game.star_field[layer], game.star_field[layer] + game.stars_per_layer);

    for (int level = 1; level <= level_count; level++) {
        if (only_level && level != only_level) continue;
        for (int seed = 1; seed <= games; seed++) {
            const Outcome o = play(game, clock, sky, level, rows[level - 1], uint32_t(seed));
            std::printf("%d %d %.3f %d %d\n", level, seed, o.seconds, o.score, o.kills);
        }
        std::fflush(stdout);
    }
    return 0;
}
