// SPDX-License-Identifier: GPL-3.0-or-later
// What the two tunes are built from: chords, melodic lines, a fixed-seed random
// source for the player's small imprecisions, and the tune that comes out.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "midi_writer.h"

// A tune ready to write. Every track ends at end_tick, the loop point.
struct Tune {
    int ticks_per_quarter;
    long end_tick;
    std::vector<MidiTrack> tracks;
};

Tune compose_menu_tune();
Tune compose_game_tune();

// xorshift32: the same numbers on every build and every machine.
class Prng {
public:
    std::uint32_t state;
    explicit Prng(std::uint32_t seed);
    std::uint32_t next();
    // centre plus or minus up to spread.
    int around(int centre, int spread);
};

// Pitch classes, 0 = C.
namespace pitch {
enum : int { c, c_sharp, d, e_flat, e, f, f_sharp, g, g_sharp, a, b_flat, b };
}

// A chord: its root's pitch class and its tones in semitones above the root (root first).
struct Chord {
    int root;
    std::vector<int> tones;
};
Chord major(int root);
Chord minor(int root);
Chord dominant_seventh(int root);
Chord minor_seventh(int root);
Chord suspended_fourth(int root);

// The chord of each beat, from (chord, number of beats) spans.
std::vector<Chord> chord_per_beat(const std::vector<std::pair<Chord, int>>& spans);

// The lowest key at or above low whose pitch class is pitch_class.
int key_at_or_above(int pitch_class, int low);
// The chord's tones, each at or above low: a close voicing within one octave.
std::vector<int> close_voicing(const Chord& chord, int low);
// The chord's tones spread upward from the root at or above low, over several octaves,
// as far as count tones: the rungs an arpeggio climbs.
std::vector<int> chord_ladder(const Chord& chord, int low, int count);

// One step of a melodic line: a MIDI key (60 = middle C, 0 = rest) and its length in units.
struct Step {
    int key;
    int units;
};

// Places a line from start; each note sounds for legato (0..1] of its length, so
// that it is released before the next one starts. Returns the tick after the line.
long place_line(MidiTrack& track, long start, long unit, int channel, const std::vector<Step>& steps, int velocity,
                double legato, Prng& prng);

// A note to place: start, wished length, key, velocity.
struct Note {
    long tick;
    long length;
    int key;
    int velocity;
};

// Adds the notes, each cut short where the same key starts again or where the tune
// loops, so that no key is struck while it still sounds and nothing hangs over the loop.
void add_notes(MidiTrack& track, int channel, std::vector<Note> notes, long end_tick);
