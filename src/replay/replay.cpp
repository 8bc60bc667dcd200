// SPDX-License-Identifier: GPL-3.0-or-later
// Recording a game as it runs and playing a recorded one back, update for update.
#include "replay/replay.h"

#include <cstring>
#include <ctime>

#include "game/game.h"

uint8_t UpdateInputs::bits() const {
    return uint8_t(fire | left << 1 | right << 2 | weapon[0] << 3 | weapon[1] << 4 | weapon[2] << 5 | faster << 6 |
                   slower << 7);
}

UpdateInputs UpdateInputs::from_bits(uint8_t bits) {
    UpdateInputs inputs;
    inputs.fire = bits & 1, inputs.left = bits & 2, inputs.right = bits & 4;
    for (int w = 0; w < 3; w++) inputs.weapon[w] = bits & (8 << w);
    inputs.faster = bits & 64, inputs.slower = bits & 128;
    return inputs;
}

namespace {
// FNV-1a over the values' bytes: the same state gives the same sum on every run.
struct StateSum {
    uint32_t sum = 2166136261u;
    template <class T>
    void add(const T& value) {
        unsigned char bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        for (unsigned char b : bytes) sum = (sum ^ b) * 16777619u;
    }
    void actor(const Actor& a) { add(a.x), add(a.y), add(a.frame), add(a.anim_tick), add(a.speed); }
};
}  // namespace

ReplayCheck check_of(const Game& game, uint32_t update) {
    const PlayerShip& ship = *game.player;
    StateSum s;
    s.add(game.game_speed);
    s.actor(ship);
    s.add(ship.hull), s.add(ship.fire_delay), s.add(ship.weapon), s.add(ship.ammo);
    for (const Invader& invader : game.invaders) s.actor(invader), s.add(invader.kind), s.add(invader.hull), s.add(invader.fire_delay);
    for (const Shot& shot : game.shots) s.actor(shot), s.add(shot.weapon);
    for (const Bonus& bonus : game.bonuses) s.actor(bonus), s.add(bonus.kind);
    for (const Explosion& explosion : game.explosions) s.add(explosion.x), s.add(explosion.y), s.add(explosion.frame);
    for (int layer = 0; layer < game.star_layers; layer++)
        for (int i = 0; i < game.stars_per_layer; i++) {
            const Star& star = game.star_field[layer][i];
            s.add(star.x), s.add(star.y), s.add(star.grey);
        }
    return {update, ship.score, ship.kills, ship.armour, ship.x, game.replay.random.draws, s.sum};
}

std::string difference(const ReplayCheck& played, const ReplayCheck& recorded) {
    auto differs = [](const char* what, auto now, auto then) {
        return printed(_("%s %s au lieu de %s"), what, std::to_string(now).c_str(), std::to_string(then).c_str());
    };
    if (played.score != recorded.score) return differs(_("score"), played.score, recorded.score);
    if (played.kills != recorded.kills) return differs(_("tués"), played.kills, recorded.kills);
    if (played.armour != recorded.armour) return differs(_("armure"), played.armour, recorded.armour);
    if (played.ship_x != recorded.ship_x) return differs(_("position du vaisseau"), played.ship_x, recorded.ship_x);
    if (played.draws != recorded.draws) return differs(_("tirages au hasard"), played.draws, recorded.draws);
    if (played.state != recorded.state) return _("envahisseurs, tirs, bonus ou étoiles");
    return "";
}

void ReplayDeck::start(Game& game) {
    mismatch.clear();
    played = run_left = next_check = 0;
    stream_at = 0;
    play_ticks = 0;
    check_at = check_every_ticks;
    overflowed = false;
    tape = ReplayFile();
    if (playback) {
        random.seed(playback->seed);
        for (int layer = 0; layer < game.star_layers; layer++)
            for (int i = 0; i < game.stars_per_layer; i++)
                game.star_field[layer][i] = playback->sky[size_t(layer) * game.stars_per_layer + i];
        return;
    }
    uint32_t seed;
    try {
        seed = std::random_device()();
    } catch (const std::exception&) {
        seed = uint32_t(std::time(nullptr)) ^ uint32_t(std::clock());
    }
    random.seed(seed);
    if (!recording) return;
    tape.game_version = ZUDADUVIZ_VERSION;
    tape.seed = seed;
    tape.width = game.width, tape.height = game.height;
    tape.star_layers = game.star_layers, tape.stars_per_layer = game.stars_per_layer;
    tape.level = game.level;
    for (int layer = 0; layer < game.star_layers; layer++)
        tape.sky.insert(tape.sky.end(), game.star_field[layer], game.star_field[layer] + game.stars_per_layer);
}

ReplayDeck::Run ReplayDeck::peek_run() const {
    // The reader checked every run; a stream cut short plays on with nothing held.
    ByteReader r{playback->stream, stream_at};
    Run run{};
    run.count = uint32_t(r.varint());
    run.inputs = uint8_t(r.u8());
    run.elapsed = int(r.varint());
    run.end = r.at;
    if (run.count == 0) run.count = 1;
    return run;
}

UpdateInputs ReplayDeck::next_inputs(int& elapsed) {
    if (run_left == 0) {
        const Run run = peek_run();
        run_left = run.count, run_inputs = run.inputs, run_elapsed = run.elapsed;
        stream_at = run.end;
    }
    run_left--;
    elapsed = run_elapsed;
    return UpdateInputs::from_bits(run_inputs);
}

void ReplayDeck::flush_run() {
    if (run_left == 0) return;
    ByteWriter w;
    w.varint(run_left);
    w.u8(run_inputs);
    w.varint(uint32_t(run_elapsed));
    tape.stream += w.bytes;
    run_left = 0;
}

bool ReplayDeck::after_update(int elapsed, const UpdateInputs& inputs, bool game_ends, const Game& game) {
    played++;
    play_ticks += elapsed;
    if (playback) {
        const std::vector<ReplayCheck>& checks = playback->checks;
        if (next_check < checks.size() && checks[next_check].update == played) {
            const std::string differs = difference(check_of(game, played), checks[next_check]);
            if (!differs.empty()) {
                mismatch = next_check > 0 ? printed(_("à la mise à jour %u (en accord à la %u) : %s"), played,
                                                    checks[next_check - 1].update, differs.c_str())
                                          : printed(_("à la mise à jour %u : %s"), played, differs.c_str());
                return false;
            }
            next_check++;
        }
        if (game_ends && !finished()) {
            mismatch = printed(_("à la mise à jour %u : la partie finit, au lieu de la %u"), played, playback->updates);
            return false;
        }
        return true;
    }
    if (!recording || overflowed) return true;
    const uint8_t bits = inputs.bits();
    if (run_left > 0 && (bits != run_inputs || elapsed != run_elapsed || run_left == UINT32_MAX)) flush_run();
    run_inputs = bits, run_elapsed = elapsed;
    run_left++;
    if (play_ticks >= check_at || game_ends) {
        tape.checks.push_back(check_of(game, played));
        while (check_at <= play_ticks) check_at += check_every_ticks;
    }
    // A game of days stops recording rather than fill the memory (the stream keeps room for
    // its last run), and a stopped clock's game is no game to watch.
    if (tape.stream.size() + 16 > most_stream_bytes || played >= most_updates || tape.checks.size() >= most_checks ||
        elapsed > most_step_ticks) {
        overflowed = true;
        tape = ReplayFile();
    }
    return true;
}

std::string ReplayDeck::finish() {
    if (!recording || overflowed || playback || played == 0) return "";
    flush_run();
    tape.updates = played;
    // Only a game that has ended carries its final check.
    if (tape.checks.empty() || tape.checks.back().update != played) return "";
    return write_replay(tape);
}
