// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose.h"

#include <algorithm>

Prng::Prng(std::uint32_t seed) : state(seed != 0 ? seed : 1) {}

std::uint32_t Prng::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

int Prng::around(int centre, int spread) {
    if (spread <= 0) return centre;
    return centre - spread + static_cast<int>(next() % static_cast<std::uint32_t>(2 * spread + 1));
}

Chord major(int root) { return {root, {0, 4, 7}}; }
Chord minor(int root) { return {root, {0, 3, 7}}; }
Chord dominant_seventh(int root) { return {root, {0, 4, 7, 10}}; }
Chord minor_seventh(int root) { return {root, {0, 3, 7, 10}}; }
Chord suspended_fourth(int root) { return {root, {0, 5, 7}}; }

std::vector<Chord> chord_per_beat(const std::vector<std::pair<Chord, int>>& spans) {
    std::vector<Chord> beats;
    for (const auto& [chord, count] : spans)
        for (int i = 0; i < count; ++i) beats.push_back(chord);
    return beats;
}

int key_at_or_above(int pitch_class, int low) {
    int key = low;
    while (((key % 12) + 12) % 12 != ((pitch_class % 12) + 12) % 12) ++key;
    return key;
}

std::vector<int> close_voicing(const Chord& chord, int low) {
    std::vector<int> keys;
    for (int tone : chord.tones) keys.push_back(key_at_or_above(chord.root + tone, low));
    std::sort(keys.begin(), keys.end());
    return keys;
}

std::vector<int> chord_ladder(const Chord& chord, int low, int count) {
    int root = key_at_or_above(chord.root, low);
    std::vector<int> keys;
    for (int octave = 0; static_cast<int>(keys.size()) < count; octave += 12)
        for (int tone : chord.tones)
            if (static_cast<int>(keys.size()) < count) keys.push_back(root + octave + tone);
    return keys;
}

long place_line(MidiTrack& track, long start, long unit, int channel, const std::vector<Step>& steps, int velocity,
                double legato, Prng& prng) {
    long tick = start;
    for (const Step& step : steps) {
        long length = step.units * unit;
        if (step.key != 0) {
            long sounding = std::max(1L, static_cast<long>(length * legato));
            track.add_note(tick, sounding, channel, step.key, prng.around(velocity, 4));
        }
        tick += length;
    }
    return tick;
}

void add_notes(MidiTrack& track, int channel, std::vector<Note> notes, long end_tick) {
    std::stable_sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) { return a.tick < b.tick; });
    for (std::size_t i = 0; i < notes.size(); ++i) {
        long end = std::min(notes[i].tick + notes[i].length, end_tick);
        for (std::size_t j = i + 1; j < notes.size() && notes[j].tick < end; ++j)
            if (notes[j].key == notes[i].key) end = notes[j].tick;
        if (end > notes[i].tick) track.add_note(notes[i].tick, end - notes[i].tick, channel, notes[i].key, notes[i].velocity);
    }
}
