// SPDX-License-Identifier: GPL-3.0-or-later
// The in-game tune: driving, in A minor at 150 beats a minute, 32 bars (51.2 s)
// before it loops. Drums and an eighth-note synth bass under distorted power
// chords and a square-wave lead. Four bars of intro, a first theme, a second
// theme over four-on-the-floor drums with strings, the first theme again with a
// new ending, and a four-bar break that climbs on E back to the intro's crash.
#include "compose.h"

namespace {

constexpr int ticks_per_quarter = 480;
constexpr long beat = ticks_per_quarter;
constexpr long eighth = beat / 2;
constexpr long sixteenth = beat / 4;
constexpr long bar = 4 * beat;
constexpr int bars = 32;
constexpr long end_tick = bars * bar;

// General MIDI programs (0-based) that Debian's freepats has.
constexpr int square_lead = 80;
constexpr int distortion_guitar = 30;
constexpr int synth_bass = 38;
constexpr int string_ensemble = 48;

constexpr int lead_channel = 0;
constexpr int guitar_channel = 1;
constexpr int bass_channel = 2;
constexpr int strings_channel = 3;
constexpr int drum_channel = 9;

// General MIDI drum keys.
constexpr int kick = 36;
constexpr int snare = 38;
constexpr int closed_hat = 42;
constexpr int open_hat = 46;
constexpr int crash = 49;
constexpr int ride = 51;
constexpr int high_tom = 50;
constexpr int high_mid_tom = 48;
constexpr int low_mid_tom = 47;
constexpr int low_tom = 45;

enum class Section { intro, first_theme, second_theme, first_theme_again, break_to_loop };

Section section_of(int b) {
    if (b < 4) return Section::intro;
    if (b < 12) return Section::first_theme;
    if (b < 20) return Section::second_theme;
    if (b < 28) return Section::first_theme_again;
    return Section::break_to_loop;
}

bool is_first_theme(int b) {
    Section s = section_of(b);
    return s == Section::first_theme || s == Section::first_theme_again;
}

std::vector<Chord> chord_per_bar() {
    return {
        minor(pitch::a), minor(pitch::a), major(pitch::f), major(pitch::g),
        minor(pitch::a), major(pitch::f), major(pitch::c), major(pitch::g), minor(pitch::a), major(pitch::f), major(pitch::g), major(pitch::e),
        major(pitch::f), major(pitch::g), minor(pitch::e), minor(pitch::a), minor(pitch::d), minor(pitch::e), major(pitch::f), major(pitch::e),
        minor(pitch::a), major(pitch::f), major(pitch::c), major(pitch::g), minor(pitch::a), major(pitch::f), major(pitch::e), minor(pitch::a),
        minor(pitch::d), major(pitch::f), major(pitch::e), major(pitch::e),
    };
}

// The lead in eighths, one line per bar, from bar 5 on.
std::vector<Step> lead_line() {
    std::vector<Step> first_half = {
        {76, 2}, {81, 2}, {79, 1}, {76, 1}, {72, 2},
        {72, 1}, {74, 1}, {76, 2}, {77, 2}, {76, 1}, {72, 1},
        {79, 3}, {76, 1}, {72, 2}, {76, 2},
        {74, 4}, {71, 2}, {67, 2},
    };
    std::vector<Step> line = first_half;
    line.insert(line.end(), {
        {76, 2}, {81, 2}, {83, 1}, {84, 1}, {83, 2},
        {81, 3}, {79, 1}, {77, 2}, {81, 2},
        {79, 2}, {77, 1}, {76, 1}, {74, 2}, {71, 2},
        {68, 2}, {71, 2}, {76, 4},
        // Second theme: longer notes, higher.
        {84, 4}, {81, 2}, {84, 2},
        {86, 4}, {83, 2}, {79, 2},
        {83, 4}, {79, 2}, {76, 2},
        {81, 2}, {84, 2}, {88, 4},
        {86, 3}, {84, 1}, {81, 2}, {77, 2},
        {79, 3}, {76, 1}, {83, 4},
        {84, 2}, {83, 2}, {81, 2}, {79, 2},
        {80, 4}, {83, 2}, {86, 2},
        // First theme again, its second and fourth bars reaching higher.
        {76, 2}, {81, 2}, {79, 1}, {76, 1}, {72, 2},
        {72, 1}, {74, 1}, {76, 2}, {81, 2}, {79, 1}, {77, 1},
        {79, 3}, {76, 1}, {72, 2}, {76, 2},
        {74, 2}, {79, 2}, {83, 4},
        {76, 2}, {81, 2}, {83, 1}, {84, 1}, {83, 2},
        {81, 3}, {79, 1}, {77, 2}, {81, 2},
        {80, 2}, {83, 2}, {86, 2}, {83, 2},
        {81, 6}, {0, 2},
        // Break: two bars of rest, then up the E chord to the loop.
        {0, 16},
        {64, 1}, {68, 1}, {71, 1}, {76, 1}, {68, 1}, {71, 1}, {76, 1}, {80, 1},
        {71, 1}, {76, 1}, {80, 1}, {83, 1}, {88, 3}, {0, 1},
    });
    return line;
}

void set_up_channel(MidiTrack& track, int channel, int program, int volume, int pan) {
    track.add_program(0, channel, program);
    track.add_control(0, channel, 7, volume);
    track.add_control(0, channel, 10, pan);
}

// Power chords (root, fifth, octave): let ring in the intro and at the end of the
// break, pushed dotted-quarter rhythm in the first theme, short eighths in the second.
MidiTrack guitar_part(const std::vector<Chord>& chords, Prng& prng) {
    MidiTrack track("Guitar");
    set_up_channel(track, guitar_channel, distortion_guitar, 40, 40);
    std::vector<Note> notes;
    auto strike = [&](long tick, long length, const Chord& chord, int velocity) {
        int root = key_at_or_above(chord.root, 40);
        for (int interval : {0, 7, 12}) notes.push_back({tick, length, root + interval, prng.around(velocity, 4)});
    };
    for (int b = 0; b < bars; ++b) {
        long start = b * bar;
        Section s = section_of(b);
        if ((s == Section::intro && b >= 2) || (s == Section::break_to_loop && b >= 30)) {
            strike(start, bar - 40, chords[b], 92);
        } else if (is_first_theme(b) || s == Section::break_to_loop) {
            long offset = 0;
            for (int eighths : {3, 3, 2}) {
                strike(start + offset, eighths * eighth - 40, chords[b], 96);
                offset += eighths * eighth;
            }
        } else if (s == Section::second_theme) {
            for (int e = 0; e < 8; ++e) strike(start + e * eighth, eighth / 2, chords[b], e % 2 == 0 ? 84 : 70);
        }
    }
    add_notes(track, guitar_channel, notes, end_tick);
    return track;
}

// Eighth notes all the way, jumping an octave (first theme) or moving through the
// fifth (second theme).
MidiTrack bass_part(const std::vector<Chord>& chords, Prng& prng) {
    MidiTrack track("Bass");
    set_up_channel(track, bass_channel, synth_bass, 80, 64);
    const int plain[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    const int octave_jumps[8] = {0, 0, 12, 0, 0, 0, 12, 0};
    const int through_the_fifth[8] = {0, 0, 7, 0, 12, 0, 7, 0};
    std::vector<Note> notes;
    for (int b = 0; b < bars; ++b) {
        Section s = section_of(b);
        const int* figure = s == Section::second_theme ? through_the_fifth
                            : (s == Section::intro && b < 2) || b >= 30 ? plain
                                                                        : octave_jumps;
        int root = key_at_or_above(chords[b].root, 28);
        for (int e = 0; e < 8; ++e)
            notes.push_back({b * bar + e * eighth, eighth - 50, root + figure[e], prng.around(e % 2 == 0 ? 100 : 88, 4)});
    }
    add_notes(track, bass_channel, notes, end_tick);
    return track;
}

// Held chords under the second theme and the first theme's return.
MidiTrack strings_part(const std::vector<Chord>& chords, Prng& prng) {
    MidiTrack track("Strings");
    set_up_channel(track, strings_channel, string_ensemble, 72, 88);
    for (int b = 12; b < 28; ++b)
        for (int key : close_voicing(chords[b], 60))
            track.add_note(b * bar, bar - 30, strings_channel, key, prng.around(60, 3));
    return track;
}

MidiTrack drum_part(Prng& prng) {
    MidiTrack track("Drums");
    track.add_control(0, drum_channel, 7, 50);
    std::vector<Note> hits;
    auto hit = [&](long tick, int key, int velocity, long length = beat) {
        hits.push_back({tick, length, key, prng.around(velocity, 5)});
    };
    for (int b = 0; b < bars; ++b) {
        long start = b * bar;
        Section s = section_of(b);
        if (b == 0 || b == 4 || b == 12 || b == 16 || b == 20 || b == 24) hit(start, crash, 100, 4 * beat);

        if (s == Section::second_theme) {
            for (int e = 0; e < 8; e += 2) hit(start + e * eighth, kick, 112);
            for (int e = 0; e < 8; ++e) hit(start + e * eighth, ride, e % 2 == 0 ? 78 : 62);
        } else if (s == Section::intro || s == Section::break_to_loop) {
            hit(start, kick, 112);
            hit(start + 4 * eighth, kick, 108);
            if (b < 30)
                for (int e = 0; e < 8; ++e) hit(start + e * eighth, closed_hat, e % 2 == 0 ? 74 : 56);
        } else {
            for (int e : {0, 4, 5}) hit(start + e * eighth, kick, e == 5 ? 96 : 112);
            for (int e = 0; e < 8; ++e) {
                bool opens = e == 7 && b % 2 == 1;
                hit(start + e * eighth, opens ? open_hat : closed_hat, e % 2 == 0 ? 74 : 56, opens ? beat : eighth);
            }
        }

        // Backbeat, except in the intro's first two bars and the last two bars, where
        // the snare rolls toward the loop. A fill takes the place of the fourth beat.
        bool fill = b == 3 || b == 11 || b == 19 || b == 27;
        if (b >= 2 && b < 30) {
            hit(start + beat, snare, 104);
            if (!fill) hit(start + 3 * beat, snare, 108);
        }
        if (b == 30)
            for (int e = 0; e < 8; ++e) hit(start + e * eighth, snare, 64 + 5 * e, eighth);
        if (b == 31)
            for (int x = 0; x < 16; ++x) hit(start + x * sixteenth, snare, 76 + 3 * x, sixteenth);

        if (b == 3 || b == 19) {
            const int toms[4] = {high_tom, high_mid_tom, low_mid_tom, low_tom};
            for (int x = 0; x < 4; ++x) hit(start + 3 * beat + x * sixteenth, toms[x], 100, sixteenth * 2);
        } else if (fill) {
            for (int x = 0; x < 4; ++x) hit(start + 3 * beat + x * sixteenth, snare, 84 + 8 * x, sixteenth);
        }
    }
    add_notes(track, drum_channel, hits, end_tick);
    return track;
}

}  // namespace

Tune compose_game_tune() {
    Prng prng(0x6a657521);
    std::vector<Chord> chords = chord_per_bar();

    MidiTrack conductor("Game");
    conductor.add_tempo(0, 150);
    conductor.add_time_signature(0, 4, 4);

    MidiTrack lead("Lead");
    set_up_channel(lead, lead_channel, square_lead, 100, 64);
    place_line(lead, 4 * bar, eighth, lead_channel, lead_line(), 100, 0.9, prng);

    Tune tune{ticks_per_quarter, end_tick, {}};
    tune.tracks.push_back(conductor);
    tune.tracks.push_back(lead);
    tune.tracks.push_back(guitar_part(chords, prng));
    tune.tracks.push_back(bass_part(chords, prng));
    tune.tracks.push_back(strings_part(chords, prng));
    tune.tracks.push_back(drum_part(prng));
    return tune;
}
