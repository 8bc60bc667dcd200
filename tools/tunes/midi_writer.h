// SPDX-License-Identifier: GPL-3.0-or-later
// Writes Standard MIDI files (format 1) from events placed at absolute times.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// One event of a track: its absolute time in ticks, its rank among events at the
// same tick (set-up first, then note-offs, then note-ons, so that a note repeated
// back to back is released before it starts again) and its bytes, status first.
struct MidiEvent {
    long tick;
    int rank;
    Bytes bytes;
};

class MidiTrack {
public:
    std::string name;
    std::vector<MidiEvent> events;

    explicit MidiTrack(std::string name);

    void add_tempo(long tick, double beats_per_minute);
    void add_time_signature(long tick, int numerator, int denominator);
    void add_program(long tick, int channel, int program);
    void add_control(long tick, int channel, int controller, int value);
    // A note-on at tick and its note-off length ticks later.
    void add_note(long tick, long length, int channel, int key, int velocity);

    // The latest tick of any event (0 for an empty track).
    long last_tick() const;
    // The whole "MTrk" chunk: the name, the events in time order with delta times,
    // and the end-of-track event at exactly end_tick, which is where a looping
    // player jumps back to the start.
    Bytes encode(long end_tick) const;
};

// A whole format 1 file whose every track ends at end_tick.
Bytes encode_midi_file(int ticks_per_quarter, const std::vector<MidiTrack>& tracks, long end_tick);

// Appends a MIDI variable-length quantity (7 bits a byte, high bit = more follows).
void append_variable_length(Bytes& out, unsigned long value);
