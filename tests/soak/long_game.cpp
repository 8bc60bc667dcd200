// A long game on memory bitmaps with the real data file: a million frame updates
// (ZUDADUVIZ_SOAK_UPDATES to change it) with random held keys and random clock steps
// from fixed seeds. Neither Escape nor Print Screen is ever held, and the armour and the
// ammunition are topped up between updates, so no modal screen opens and the game goes
// on firing. After every update each actor list must stay under the count the rules
// allow it and every actor must still be where the rules keep it; at the end the heap
// must hold no more than it did after the warm-up, apart from the lists' own growth.
// Built with the sanitizers, any memory or undefined-behaviour fault ends the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime (GCC ships no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

#include "../unit/support.h"
#include "frame/game.h"

namespace {

// Bytes the program holds on the heap now. Under AddressSanitizer its allocator keeps
// the exact sum of live requests; resident memory would only show its quarantine.
size_t heap_in_use() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

long updates_to_soak() {
    const char* asked = std::getenv("ZUDADUVIZ_SOAK_UPDATES");
    return asked ? std::atol(asked) : 1000000;
}

// The longest clock step the test makes, in ticks: a bonus left behind by an early end
// of the bonus pass misses at most one step of this size per update.
constexpr int longest_step = 40;

// The rules' figures the bounds are made of (pixels, pixels per tick, updates).
constexpr double invader_start_y = -100, invader_descent = 0.5;
constexpr double invader_chance = 1.0 / 200;
constexpr double slowest_shot = 0.6 * 0.5, slowest_bonus = 0.25 * 0.5;  // at game speed 0.5
constexpr double shots_gone_above = -100;
constexpr int ship_fire_delay = 10, explosion_updates = 24;

// What the test saw of one update: its clock step and the lists it left behind.
struct Past {
    int elapsed;
    size_t invaders, shots, choc_shots, bonuses;
};

struct Counts {
    size_t invaders, ship_shots, invader_shots, explosions, bonuses;
};

class LongGame : public ::testing::Test {
protected:
    bool allegro = (start_headless_allegro(), true);
    std::atomic<int> clock{0};
    Game game{800, 600, 5, 100};
    std::mt19937 input{20240611};
    std::vector<Past> history;
    // The most bonuses and invaders left by any update so far, together.
    size_t most_crowded = 0;
    // Tallest frame of the ships' shots, of the bonuses, of the invaders.
    int shot_height = 0, bonus_height = 0, invader_height = 0;

    void SetUp() override {
        DATAFILE* data = load_datafile(DATA_FILE);
        ASSERT_NE(data, nullptr) << "cannot load " << DATA_FILE;
        game.take_objects(data);  // the game unloads it
        for (auto& strip : game.shot_frames)
            for (BITMAP* frame : strip) shot_height = std::max(shot_height, frame->h);
        for (BITMAP* frame : game.bonus_frames) bonus_height = std::max(bonus_height, frame->h);
        for (auto& look : game.invader_frames)
            for (BITMAP* frame : look) invader_height = std::max(invader_height, frame->h);
        game.start_game(&clock);
        game.replay.random.seed(7);
    }

    void TearDown() override {
        delete game.player;
        game.player = nullptr;
        game.reset_keyboard();
    }

    // Each key changes now and then, so holds last from one update to a few hundred.
    // Fire is held most of the time, so that shots, hits and explosions abound.
    void press_random_keys() {
        static const int keys[] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_1, KEY_2, KEY_3, KEY_SPACE};
        for (int k : keys) {
            if (input() % 40 != 0) continue;
            key[k] = k == KEY_SPACE ? input() % 5 != 0 : input() % 2;
        }
    }

    // 1 to 40 ticks, now and then none: a frame faster than a tick.
    int random_step() { return input() % 25 == 0 ? 0 : 1 + int(input() % longest_step); }

    // What the rules allow after the current update, from the updates behind it. A thing
    // made in update m has moved, by the end of it, at least by every update after m;
    // "after" is that sum of ticks.
    Counts allowed() const {
        const size_t n = history.size();
        const double ship_top = int(game.player->y);
        // Invaders: at most one an update; gone once the truncated y passes the bottom.
        const double invader_ticks = (game.height + 1 - invader_start_y) / invader_descent;
        // Ships' shots: at most one every ten updates, from the ship's top edge; gone once
        // the whole frame is above the line over the screen.
        const double ship_shot_ticks = (ship_top - shots_gone_above + shot_height) / slowest_shot + 1;
        // Invaders' shots: one for each invader at most, from no higher than an invader
        // starts; first moved in the next update.
        const double invader_shot_ticks = (game.height + 1 - invader_start_y) / slowest_shot + 1;

        // The bonus pass stops after a catch, so a bonus misses a move for each older one
        // caught: at most the bonuses left by the update before its own, and those made
        // before it in that update (from nowhere, or from one of the invaders).
        const long missed = long(most_crowded + 1) * longest_step;

        Counts allowed{};
        size_t ship_shot_updates = 0;
        long after = 0;
        for (size_t m = n; m-- > 0;) {
            // Lists as they stood when update m began.
            const Past before = m > 0 ? history[m - 1] : Past{0, 0, 0, 0, 0};
            // A shot in the shots pass of m (one may be fired in it) hits once, a Choc shot
            // every invader; then every invader (one may be new) can ram.
            const size_t hits = before.shots + 1 + (before.choc_shots + 1) * before.invaders + before.invaders + 1;
            // A bonus from nowhere and one from each invader destroyed.
            const size_t new_bonuses = 1 + before.invaders + 1;
            // Whether what m made of each kind can still be in play.
            const bool invaders = after < invader_ticks, ship_shots = after < ship_shot_ticks,
                       invader_shots = after < invader_shot_ticks, explosions = n - m <= explosion_updates,
                       bonuses = (after - missed) * slowest_bonus < game.height + 1 - invader_start_y + bonus_height;
            if (!(invaders || ship_shots || invader_shots || explosions || bonuses)) break;
            allowed.invaders += invaders;
            ship_shot_updates += ship_shots;
            if (invader_shots) allowed.invader_shots += before.invaders + 1;
            if (explosions) allowed.explosions += hits;
            if (bonuses) allowed.bonuses += new_bonuses;
            after += history[m].elapsed;
        }
        allowed.ship_shots = (ship_shot_updates + ship_fire_delay - 1) / ship_fire_delay;
        return allowed;
    }

    // Counts the lists and checks that each actor is where the rules keep it. An invader
    // fires before it is tested against the bottom edge, and a ramming invader drops its
    // bonus at its centre after the bonus pass: those two may lie below the screen until
    // the next update's pass.
    Counts count_and_check_places(long update) const {
        const int lowest_invader_shot = game.height + int(longest_step * invader_descent);
        const int lowest_bonus = game.height + (invader_height >> 1);
        Counts seen{};
        seen.invaders = game.invaders.size();
        seen.explosions = game.explosions.size();
        seen.bonuses = game.bonuses.size();
        for (const Invader& invader : game.invaders)
            EXPECT_LE(int(invader.y), game.height) << "an invader below the screen, update " << update;
        for (const Shot& shot : game.shots) {
            if (shot.weapon == weapons::invader) {
                seen.invader_shots++;
                EXPECT_LE(int(shot.y), lowest_invader_shot) << "a shot below the screen, update " << update;
            } else {
                seen.ship_shots++;
                EXPECT_GE(shot.y + shot.frames[shot.frame]->h, shots_gone_above)
                    << "a ship's shot far above the screen, update " << update;
            }
        }
        for (const Bonus& bonus : game.bonuses)
            EXPECT_LE(int(bonus.y), lowest_bonus) << "a bonus below the screen, update " << update;
        for (const Explosion& explosion : game.explosions)
            EXPECT_TRUE(explosion.frame >= 1 && explosion.frame <= explosion_updates)
                << "an explosion at frame " << explosion.frame << ", update " << update;
        return seen;
    }

    size_t lists_bytes() const {
        return game.invaders.capacity() * sizeof(Invader) + game.shots.capacity() * sizeof(Shot) +
               game.bonuses.capacity() * sizeof(Bonus) + game.explosions.capacity() * sizeof(Explosion);
    }
};

std::string describe(const Counts& c) {
    char text[160];
    std::snprintf(text, sizeof text, "invaders %zu, ship's shots %zu, invaders' shots %zu, explosions %zu, bonuses %zu",
                  c.invaders, c.ship_shots, c.invader_shots, c.explosions, c.bonuses);
    return text;
}

TEST_F(LongGame, ListsStayWithinTheRulesAndTheHeapStaysFlat) {
    const long updates = updates_to_soak();
    history.reserve(updates);  // the test's own record must not move the heap
    Counts most{}, most_allowed{};
    size_t heap_after_warm_up = 0, lists_after_warm_up = 0;
    long frames_drawn = 0, kills_before = 0, invader_arrivals = 0;

    for (long update = 1; update <= updates; update++) {
        press_random_keys();
        const int step = random_step();
        clock += step;
        const size_t invaders_before = game.invaders.size();
        ASSERT_FALSE(game.update_frame()) << "the game ended at update " << update;
        // Only the one spawn an update adds invaders.
        ASSERT_LE(game.invaders.size(), invaders_before + 1) << "update " << update;
        invader_arrivals += game.invaders.size() > invaders_before;
        // Kept up between updates: the gauge then never falls below 99, and the ship fires on.
        game.player->armour = 100;
        for (int& shots : game.player->ammo) shots = std::max(shots, 5);
        const size_t choc_shots = std::count_if(game.shots.begin(), game.shots.end(),
                                                [](const Shot& s) { return s.weapon == weapons::choc; });
        history.push_back(Past{step, game.invaders.size(), game.shots.size(), choc_shots, game.bonuses.size()});
        most_crowded = std::max(most_crowded, game.bonuses.size() + game.invaders.size());

        const Counts seen = count_and_check_places(update);
        const Counts limit = allowed();
        ASSERT_TRUE(seen.invaders <= limit.invaders && seen.ship_shots <= limit.ship_shots &&
                    seen.invader_shots <= limit.invader_shots && seen.explosions <= limit.explosions &&
                    seen.bonuses <= limit.bonuses)
            << "update " << update << ": " << describe(seen) << "; allowed " << describe(limit);
        if (HasFailure()) return;
        most = {std::max(most.invaders, seen.invaders), std::max(most.ship_shots, seen.ship_shots),
                std::max(most.invader_shots, seen.invader_shots), std::max(most.explosions, seen.explosions),
                std::max(most.bonuses, seen.bonuses)};
        most_allowed = {std::max(most_allowed.invaders, limit.invaders),
                        std::max(most_allowed.ship_shots, limit.ship_shots),
                        std::max(most_allowed.invader_shots, limit.invader_shots),
                        std::max(most_allowed.explosions, limit.explosions),
                        std::max(most_allowed.bonuses, limit.bonuses)};

        // The composition too, now and then: a frame drawn with whatever is on the field.
        if (update % 64 == 0) {
            game.draw_frame();
            game.count_frame();
            frames_drawn++;
        }
        if (update == updates / 10) {
            heap_after_warm_up = heap_in_use();
            lists_after_warm_up = lists_bytes();
            kills_before = game.player->kills;
        }
    }

    // The lists' buffers only grow when a list reaches a length it never had: that is
    // the one growth allowed, and nothing else may stay behind.
    const long heap_growth = long(heap_in_use()) - long(heap_after_warm_up);
    const long lists_growth = long(lists_bytes()) - long(lists_after_warm_up);
    EXPECT_LE(heap_growth - lists_growth, 0) << "the heap grew by " << heap_growth << " bytes";
    // A spawn is a 1-in-200 chance each update: the list grew in about as many updates
    // (within six standard deviations; an invader leaving in the same update hides a few).
    const double expected = updates * invader_chance;
    const double spread = 6 * std::sqrt(expected * (1 - invader_chance));
    EXPECT_TRUE(invader_arrivals <= expected + spread && invader_arrivals >= 0.9 * expected - spread)
        << invader_arrivals << " updates added an invader, for " << expected << " expected";
    // The soak really plays: invaders come and are shot down all along.
    EXPECT_GT(game.player->kills - kills_before, updates / 10000);

    std::printf("%ld updates, %ld frames drawn, %ld added an invader, %d kills, score %d\n", updates, frames_drawn,
                invader_arrivals, game.player->kills, game.player->score);
    std::printf("most seen:    %s\nmost allowed: %s\n", describe(most).c_str(), describe(most_allowed).c_str());
    std::printf("heap after the warm-up %zu bytes, growth since %ld bytes (lists' buffers %ld)\n",
                heap_after_warm_up, heap_growth, lists_growth);
}

}  // namespace
