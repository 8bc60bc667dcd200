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
//        bench_pace --table FOLDER [--seconds S]
//   --row plays level L with another row of the table (to try rows before choosing them).
//   --table fills the table of honour beside FOLDER/record with ten games of each level, recorded
//   as play records them, each lasting at least S seconds of play (180 unless told): a full table
//   to time its proof. The player lives that long by going back before each hit and steering
//   at random from there, until a way past it is found; then it plays on until it dies.
#include <allegro.h>

#include <atomic>
#include <random>
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

// For the long games of the table: away from an invader's shot or an invader coming down over the ship.
void dodge(Game& game) {
    const PlayerShip& ship = *game.player;
    const double left = ship.x - 12, right = ship.x + game.player_frames[0]->w + 12, middle = (left + right) / 2;
    auto away = [&](double x, double width) {
        if (x + width < left || x > right) return;
        key[KEY_LEFT] = x + width / 2 >= middle, key[KEY_RIGHT] = x + width / 2 < middle;
    };
    for (const Shot& shot : game.shots)
        if (shot.direction == 1 && shot.y > ship.y - 300) away(shot.x, 8);
    for (const Invader& invader : game.invaders)
        if (invader.y + invader.height > ship.y - 120) away(invader.x, invader.width);
}

// The keys held, one bit each: left, right, fire, the three weapons.
uint8_t held_keys() {
    uint8_t bits = 0;
    for (int k : {KEY_LEFT, KEY_RIGHT, KEY_SPACE, KEY_1, KEY_2, KEY_3}) bits = uint8_t(bits << 1 | (key[k] ? 1 : 0));
    return bits;
}
void hold_keys(uint8_t bits) {
    for (int k : {KEY_3, KEY_2, KEY_1, KEY_SPACE, KEY_RIGHT, KEY_LEFT}) key[k] = bits & 1, bits >>= 1;
}

// One game of `level` from `seed`: the keys of `moves`, then the policy's (steering at random
// up to update `wander_until`), added to `moves`. The update the ship was first hit at while
// protected (before `protect` updates), or -1 once the game has ended past it.
int play_moves(Game& game, std::atomic<int>& clock, const std::vector<Star>& sky, int level, uint32_t seed,
               std::vector<uint8_t>& moves, int protect, int wander_until, std::mt19937& wander) {
    for (int layer = 0; layer < game.star_layers; layer++)
        for (int i = 0; i < game.stars_per_layer; i++) game.star_field[layer][i] = sky[size_t(layer) * game.stars_per_layer + i];
    game.settings.level = level;
    game.start_game(&clock);
    game.replay.random.seed(seed);
    game.replay.tape.seed = seed;
    int hit = -1, steer = 0;
    for (int update = 0;; update++) {
        if (size_t(update) < moves.size()) {
            hold_keys(moves[size_t(update)]);
        } else {
            decide(game);
            dodge(game);
            if (update < wander_until) {
                if (wander() % 8 == 0) steer = int(wander() % 3);
                key[KEY_LEFT] = steer == 1, key[KEY_RIGHT] = steer == 2;
            }
            moves.push_back(held_keys());
        }
        const int armour = game.player->armour;
        clock += clock_step;
        const bool ended = game.update_frame();
        if (update < protect && (ended || game.player->armour < armour)) {
            hit = update;
            break;
        }
        if (ended) break;
    }
    game.player.reset();
    game.reset_keyboard();
    return hit;
}

// Ten games a level, each found without a hit for `seconds`, then played once more recorded and
// entered in the table beside `record_path` by the game-over screen, as a game of the player's.
void fill_table(Game& game, std::atomic<int>& clock, const std::vector<Star>& sky, const std::string& record_path,
                int seconds) {
    const int protect = seconds * ticks_per_second / clock_step;
    for (int level = 1; level <= level_count; level++)
        for (uint32_t seed = 1; seed <= uint32_t(table_size); seed++) {
            std::vector<uint8_t> moves;
            std::mt19937 wander(seed);
            int tries = 0, furthest = -1, wander_until = 0;
            for (int hit; (hit = play_moves(game, clock, sky, level, seed, moves, protect, wander_until, wander)) >= 0;) {
                // Further back each time no further than the furthest hit is reached.
                tries = hit <= furthest ? tries + 1 : 0, furthest = std::max(furthest, hit);
                const int back = std::min(hit, 10 + 15 * tries + int(wander() % 20));
                moves.resize(size_t(hit - back));
                wander_until = hit + 30;
            }
            game.record_path = record_path, game.replay.recording = true;
            play_moves(game, clock, sky, level, seed, moves, 0, 0, wander);
            game.record_path.clear(), game.replay.recording = false;
            std::printf("level %d seed %u: %.1f s, the level's record %d\n", level, seed,
                        moves.size() * double(clock_step) / ticks_per_second, game.records[level - 1]);
            std::fflush(stdout);
        }
}

}  // namespace

int main(int argc, char** argv) {
    int games = 200, only_level = 0, seconds = 180;
    std::string table_folder;
    Pace rows[level_count];
    std::copy(paces, paces + level_count, rows);
    for (int i = 1; i < argc; i++) {
        const std::string argument = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        int level = 0;
        Pace row{};
        if (argument == "--games" && std::atoi(value) > 0) {
            games = std::atoi(value), i++;
        } else if (argument == "--table" && *value) {
            table_folder = value, i++;
        } else if (argument == "--seconds" && std::atoi(value) > 0) {
            seconds = std::atoi(value), i++;
        } else if (argument == "--level" && known_level(std::atoi(value))) {
            only_level = std::atoi(value), i++;
        } else if (argument == "--row" && std::sscanf(value, "%d=%d,%lf,%d,%d,%lf", &level, &row.invader_chance,
                                                      &row.invader_side_speed, &row.invader_fire_delay,
                                                      &row.random_bonus_chance, &row.speed) == 6 && known_level(level) &&
                   row.invader_chance > 0 && row.random_bonus_chance > 0 && row.speed > 0) {
            rows[level - 1] = row, i++;
        } else {
            std::fprintf(stderr, "usage: bench_pace [--games N] [--level L] [--row L=CHANCE,SIDE,DELAY,BONUS,SPEED]...\n"
                                 "       bench_pace --table FOLDER [--seconds S]\n");
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

    if (!table_folder.empty()) {
        fill_table(game, clock, sky, table_folder + "/record", seconds);
        return 0;
    }
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
