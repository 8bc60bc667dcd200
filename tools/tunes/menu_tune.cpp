// SPDX-License-Identifier: GPL-3.0-or-later
// The title menu's tune: calm, in D major at 72 beats a minute, 16 bars (53 s)
// before it loops. A flute melody over a harp arpeggio and an acoustic bass;
// strings join for the second half of the first theme and stay for the second,
// where the harp changes its figure and the bass starts to move.
#include "compose.h"

namespace {

constexpr int ticks_per_quarter = 480;
constexpr long beat = ticks_per_quarter;
constexpr long eighth = beat / 2;
constexpr long bar = 4 * beat;
constexpr int bars = 16;

// General MIDI programs (0-based) that Debian's freepats has.
constexpr int flute = 73;
constexpr int orchestral_harp = 46;
constexpr int string_ensemble = 48;
constexpr int acoustic_bass = 32;

constexpr int melody_channel = 0;
constexpr int harp_channel = 1;
constexpr int strings_channel = 2;
constexpr int bass_channel = 3;

// Bars 1-8 state the theme twice (the second time climbing higher), bars 9-16
// answer it and end on A, which leads back to D at the loop.
std::vector<Chord> progression() {
    return chord_per_beat({
        {major(pitch::d), 4}, {minor(pitch::b), 4}, {major(pitch::g), 4}, {major(pitch::a), 4},
        {major(pitch::d), 4}, {minor(pitch::b), 4}, {minor_seventh(pitch::e), 4}, {major(pitch::a), 2}, {dominant_seventh(pitch::a), 2},
        {major(pitch::g), 4}, {major(pitch::a), 4}, {minor(pitch::f_sharp), 4}, {minor(pitch::b), 4},
        {minor(pitch::e), 4}, {major(pitch::g), 4}, {suspended_fourth(pitch::a), 4}, {major(pitch::a), 4},
    });
}

// The melody in eighths, one line per bar.
std::vector<Step> melody() {
    return {
        {78, 4}, {76, 2}, {74, 2},
        {78, 3}, {81, 1}, {83, 4},
        {79, 3}, {78, 1}, {76, 4},
        {76, 2}, {73, 2}, {76, 4},
        {78, 4}, {81, 2}, {78, 2},
        {86, 4}, {83, 2}, {81, 2},
        {79, 3}, {78, 1}, {76, 2}, {79, 2},
        {73, 3}, {74, 1}, {76, 4},
        {83, 6}, {81, 2},
        {81, 2}, {83, 2}, {85, 4},
        {85, 3}, {83, 1}, {81, 4},
        {86, 6}, {85, 1}, {83, 1},
        {83, 4}, {79, 4},
        {81, 3}, {79, 1}, {78, 4},
        {76, 4}, {74, 4},
        {73, 6}, {0, 2},
    };
}

void set_up_channel(MidiTrack& track, int channel, int program, int volume, int pan) {
    track.add_program(0, channel, program);
    track.add_control(0, channel, 7, volume);
    track.add_control(0, channel, 10, pan);
}

// Eighth notes up and down the chord of each beat; the second theme climbs
// straight up instead of turning back.
MidiTrack harp_part(const std::vector<Chord>& chords, Prng& prng) {
    MidiTrack track("Harp");
    set_up_channel(track, harp_channel, orchestral_harp, 76, 40);
    const int first_theme[8] = {0, 2, 3, 4, 5, 4, 3, 2};
    const int second_theme[8] = {0, 1, 2, 3, 4, 5, 6, 4};
    std::vector<Note> notes;
    for (int b = 0; b < bars; ++b) {
        const int* figure = b < 8 ? first_theme : second_theme;
        for (int e = 0; e < 8; ++e) {
            int key = chord_ladder(chords[b * 4 + e / 2], 43, 8)[figure[e]];
            int accent = e % 2 == 0 ? 6 : 0;
            // Each string rings on over the next note.
            notes.push_back({b * bar + e * eighth, 2 * eighth, key, prng.around(58 + accent, 4)});
        }
    }
    add_notes(track, harp_channel, notes, bars * bar);
    return track;
}

// Held chords from bar 5 on, one note per chord change.
MidiTrack strings_part(const std::vector<Chord>& chords, Prng& prng) {
    MidiTrack track("Strings");
    set_up_channel(track, strings_channel, string_ensemble, 60, 88);
    int first = 4 * 4;
    for (int start = first; start < bars * 4;) {
        int end = start + 1;
        while (end < bars * 4 && end % 4 != 0 && chords[end].tones == chords[start].tones &&
               chords[end].root == chords[start].root)
            ++end;
        for (int key : close_voicing(chords[start], 60))
            track.add_note(start * beat, (end - start) * beat - 24, strings_channel, key, prng.around(52, 3));
        start = end;
    }
    return track;
}

// Whole-note roots for the first theme; root and fifth in half notes for the second.
MidiTrack bass_part(const std::vector<Chord>& chords, Prng& prng) {
    MidiTrack track("Bass");
    set_up_channel(track, bass_channel, acoustic_bass, 90, 64);
    for (int b = 0; b < bars; ++b) {
        for (int half = 0; half < 2; ++half) {
            const Chord& chord = chords[b * 4 + half * 2];
            int root = key_at_or_above(chord.root, 36);
            bool same_as_before = half == 1 && chords[b * 4].root == chord.root;
            if (b < 8) {
                if (same_as_before) continue;
                long length = chords[b * 4 + 2].root == chords[b * 4].root ? bar : bar / 2;
                track.add_note(b * bar + half * bar / 2, length - 30, bass_channel, root, prng.around(84, 3));
            } else {
                int key = half == 0 ? root : root + 7;
                track.add_note(b * bar + half * bar / 2, bar / 2 - 30, bass_channel, key, prng.around(half == 0 ? 86 : 76, 3));
            }
        }
    }
    return track;
}

}  // namespace

Tune compose_menu_tune() {
    Prng prng(0x6d656e75);
    std::vector<Chord> chords = progression();

    MidiTrack conductor("Menu");
    conductor.add_tempo(0, 72);
    conductor.add_time_signature(0, 4, 4);

    MidiTrack lead("Flute");
    set_up_channel(lead, melody_channel, flute, 100, 64);
    place_line(lead, 0, eighth, melody_channel, melody(), 92, 0.94, prng);

    Tune tune{ticks_per_quarter, bars * bar, {}};
    tune.tracks.push_back(conductor);
    tune.tracks.push_back(lead);
    tune.tracks.push_back(harp_part(chords, prng));
    tune.tracks.push_back(strings_part(chords, prng));
    tune.tracks.push_back(bass_part(chords, prng));
    return tune;
}
