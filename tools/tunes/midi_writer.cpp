// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi_writer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int rank_setup = 0;
constexpr int rank_note_off = 1;
constexpr int rank_note_on = 2;

void append_u32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void append_u16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

std::uint8_t data_byte(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 127)); }

std::uint8_t status(int kind, int channel) { return static_cast<std::uint8_t>(kind | (channel & 0x0F)); }

}  // namespace

void append_variable_length(Bytes& out, unsigned long value) {
    std::uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
    out.push_back(groups[0]);
}

MidiTrack::MidiTrack(std::string name) : name(std::move(name)) {}

void MidiTrack::add_tempo(long tick, double beats_per_minute) {
    auto micros = static_cast<std::uint32_t>(std::lround(60000000.0 / beats_per_minute));
    events.push_back({tick, rank_setup,
                      {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(micros >> 16),
                       static_cast<std::uint8_t>(micros >> 8), static_cast<std::uint8_t>(micros)}});
}

void MidiTrack::add_time_signature(long tick, int numerator, int denominator) {
    int power = 0;
    while ((1 << power) < denominator) ++power;
    // 24 MIDI clocks per metronome click, 8 thirty-seconds per quarter note.
    events.push_back({tick, rank_setup,
                      {0xFF, 0x58, 0x04, static_cast<std::uint8_t>(numerator), static_cast<std::uint8_t>(power), 24, 8}});
}

void MidiTrack::add_program(long tick, int channel, int program) {
    events.push_back({tick, rank_setup, {status(0xC0, channel), data_byte(program)}});
}

void MidiTrack::add_control(long tick, int channel, int controller, int value) {
    events.push_back({tick, rank_setup, {status(0xB0, channel), data_byte(controller), data_byte(value)}});
}

void MidiTrack::add_note(long tick, long length, int channel, int key, int velocity) {
    events.push_back({tick, rank_note_on, {status(0x90, channel), data_byte(key), data_byte(std::max(velocity, 1))}});
    events.push_back({tick + length, rank_note_off, {status(0x80, channel), data_byte(key), 64}});
}

long MidiTrack::last_tick() const {
    long last = 0;
    for (const MidiEvent& e : events) last = std::max(last, e.tick);
    return last;
}

Bytes MidiTrack::encode(long end_tick) const {
    std::vector<MidiEvent> ordered = events;
    std::stable_sort(ordered.begin(), ordered.end(), [](const MidiEvent& a, const MidiEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.rank < b.rank;
    });

    Bytes body;
    append_variable_length(body, 0);
    body.insert(body.end(), {0xFF, 0x03});
    append_variable_length(body, name.size());
    body.insert(body.end(), name.begin(), name.end());

    long now = 0;
    for (const MidiEvent& e : ordered) {
        append_variable_length(body, static_cast<unsigned long>(e.tick - now));
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
        now = e.tick;
    }
    append_variable_length(body, static_cast<unsigned long>(end_tick - now));
    body.insert(body.end(), {0xFF, 0x2F, 0x00});

    Bytes chunk = {'M', 'T', 'r', 'k'};
    append_u32(chunk, static_cast<std::uint32_t>(body.size()));
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

Bytes encode_midi_file(int ticks_per_quarter, const std::vector<MidiTrack>& tracks, long end_tick) {
    Bytes file = {'M', 'T', 'h', 'd'};
    append_u32(file, 6);
    append_u16(file, 1);
    append_u16(file, static_cast<unsigned>(tracks.size()));
    append_u16(file, static_cast<unsigned>(ticks_per_quarter));
    for (const MidiTrack& track : tracks) {
        Bytes chunk = track.encode(end_tick);
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}
