// SPDX-License-Identifier: GPL-3.0-or-later
// One frame update and one frame's composition on fields of 10, 100 and 1,000 actors,
// beside the same on an empty field (the ship and the stars only) in the same run, so
// that the results read as ratios. The pictures are the real data file's.
//
// A field is the same at the start of every timed update: it is put back untimed before
// each one, with the same random seed, no key held and a clock step of 7 ticks (about 70
// frames a second), with the game recording its updates or not. Actors are spread at random over the screen in the game's own mix:
// per ten, three invaders, three of the ship's shots (the three weapons in turn), two
// invaders' shots, one bonus and one explosion.
#include <benchmark/benchmark.h>

#include <allegro.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "game/game.h"

namespace {

constexpr int clock_step = 7;

struct Field {
    std::vector<Invader> invaders;
    std::vector<Shot> shots;
    std::vector<Bonus> bonuses;
    std::vector<Explosion> explosions;
};

// One game for the whole run, on the real pictures.
struct Bench {
    std::atomic<int> clock{0};
    Game game{800, 600, 5, 100};
    PlayerShip ship_at_start{0, 0, nullptr, 0};

    Bench() {
        DATAFILE* data = load_datafile(DATA_FILE);
        if (!data) {
            std::fprintf(stderr, "cannot load %s\n", DATA_FILE);
            std::exit(1);
        }
        game.take_objects(data);
        game.start_game(&clock);
        ship_at_start = *game.player;
    }

    Field make_field(int actors) {
        std::srand(actors);
        auto column = [this](int margin) { return std::rand() % (game.width - margin); };
        auto row = [this]() { return std::rand() % game.height - 60; };
        Field field;
        for (int i = 0; i < actors; i++) {
            switch (i % 10) {
                case 0: case 1: case 2: {
                    const int kind = std::rand() % 11;
                    Invader& invader = field.invaders.emplace_back(kind, column(game.invader_frames[kind][0]->w), game.invader_frames[kind], 0.4);
                    invader.y = row();
                    break;
                }
                case 3: case 4: case 5: {
                    const int weapon = i % 3;
                    field.shots.emplace_back(column(16), row(), weapon, 0, game.shot_frames[weapon], 0.6);
                    break;
                }
                case 6: case 7:
                    field.shots.emplace_back(column(8), row(), weapons::invader, 1, game.invader_shot_frames, 0.6);
                    break;
                case 8:
                    field.bonuses.emplace_back(column(32), row(), std::rand() % 4, game.bonus_frames, 0.25);
                    break;
                default:
                    field.explosions.emplace_back(column(0), row(), game.explosion_frames).frame = 1 + std::rand() % 23;
            }
        }
        return field;
    }

    void put_back(const Field& field) {
        game.invaders = field.invaders;
        game.shots = field.shots;
        game.bonuses = field.bonuses;
        game.explosions = field.explosions;
        *game.player = ship_at_start;
        game.last_tick = 0;
        clock = clock_step;
        game.replay.random.seed(1);
    }
};

Bench& bench() {
    static Bench b;
    return b;
}

void run_updates(benchmark::State& state, bool recording) {
    Bench& b = bench();
    const Field field = b.make_field(state.range(0));
    // Every update then goes into the game's recording, with a check every five seconds of play.
    b.game.replay.recording = recording;
    for (auto _ : state) {
        b.put_back(field);
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(b.game.update_frame());
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.counters["actors"] = double(state.range(0));
}

void update_frame(benchmark::State& state) { run_updates(state, false); }
void update_frame_recording(benchmark::State& state) { run_updates(state, true); }

void draw_frame(benchmark::State& state) {
    Bench& b = bench();
    b.put_back(b.make_field(state.range(0)));
    for (auto _ : state) {
        b.game.draw_frame();
        benchmark::ClobberMemory();
    }
    state.counters["actors"] = double(state.range(0));
}

}  // namespace

BENCHMARK(update_frame)->Arg(0)->Arg(10)->Arg(100)->Arg(1000)->UseManualTime();
BENCHMARK(update_frame_recording)->Arg(0)->Arg(10)->Arg(100)->Arg(1000)->UseManualTime();
BENCHMARK(draw_frame)->Arg(0)->Arg(10)->Arg(100)->Arg(1000);

int main(int argc, char** argv) {
    // Memory bitmaps need no display.
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(16);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
