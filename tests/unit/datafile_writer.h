// SPDX-License-Identifier: GPL-3.0-or-later
// Writes small Allegro data files byte by byte, so that tests can make exactly
// the file they need: well-formed, with objects of any kind and size, or broken.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct TestObject {
    std::string type;  // four characters: "BMP ", "MIDI", ...
    Bytes contents;
};

// Appends each value big-endian in `size` bytes, as Allegro stores its numbers.
template <class... T> Bytes& put(Bytes& out, int size, T... values) {
    for (uint64_t value : {uint64_t(values)...})
        for (int b = size - 1; b >= 0; b--) out.push_back(uint8_t(value >> 8 * b));
    return out;
}
template <class T> Bytes& add(Bytes& out, const T& more) {
    out.insert(out.end(), more.begin(), more.end());
    return out;
}

// An object is its header, then filler up to its size. A picture of one colour in 24 bits:
inline TestObject bitmap_object(int w, int h) {
    TestObject object{"BMP ", {}};
    put(object.contents, 2, 24, w, h).resize(6 + 3 * size_t(w) * h, 0x60);
    return object;
}

// A sound of `length` frames: 8 or 16 bits a value, negative bits for stereo (two values a frame).
inline TestObject sample_object(int bits, int frequency, uint32_t length) {
    TestObject object{"SAMP", {}};
    put(put(object.contents, 2, bits, frequency), 4, length).resize(8 + length * (bits < 0 ? 2 : 1) * (abs(bits) / 8), 0x80);
    return object;
}

// A tune as Allegro stores it: divisions, then 32 tracks (length and events); tracks not
// given are empty.
inline TestObject tune_object(int divisions, std::vector<Bytes> tracks) {
    TestObject object{"MIDI", {}};
    put(object.contents, 2, divisions);
    tracks.resize(32);
    for (const Bytes& track : tracks) add(put(object.contents, 4, track.size()), track);
    return object;
}

// The events given, then the end of track one beat later.
inline Bytes ended_track(Bytes events) { return add(events, Bytes{0x60, 0xFF, 0x2F, 0x00}); }

// Every kind of event a tune may hold: tempo, a name, program, notes (the note-off by
// running status, across a meta event), pitch bend, channel pressure, a controller,
// system-exclusive messages (F0 and F7), a four-byte delay.
inline const Bytes varied_track = ended_track(
    {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x03, 0x04, 'L',  'e',  'a',  'd',  0x00,
     0xC0, 0x18, 0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x01, 0x01, 'x',  0x60, 0x3C, 0x00, 0x00, 0xE0,
     0x00, 0x40, 0x00, 0xD0, 0x10, 0x00, 0xB0, 0x07, 0x64, 0x00, 0xF0, 0x03, 0x7E, 0x09, 0xF7, 0x00,
     0xF7, 0x01, 0xF8, 0x81, 0x80, 0x80, 0x00, 0x80, 0x3C, 0x00});
inline const Bytes drum_track = ended_track({0x00, 0x99, 0x24, 0x64, 0x60, 0x89, 0x24, 0x40});
// The varied track, an empty track, then drums.
inline TestObject varied_tune_object() { return tune_object(480, {varied_track, {}, drum_track}); }

// The whole file: uncompressed magic, "ALL.", the count, then each object with a name property.
inline Bytes datafile_bytes(const std::vector<TestObject>& objects) {
    Bytes out = {'s', 'l', 'h', '.', 'A', 'L', 'L', '.'};
    put(out, 4, objects.size());
    for (size_t i = 0; i < objects.size(); i++) {
        const std::string name = "OBJECT_" + std::to_string(i);
        const Bytes& contents = objects[i].contents;
        add(put(add(out, std::string("propNAME")), 4, name.size()), name);
        add(put(add(out, objects[i].type), 4, contents.size(), contents.size()), contents);
    }
    return out;
}

inline Bytes file_bytes(const std::string& path) {
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

inline void write_bytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The first `count` of the game's objects, at the indices it expects: 86 pictures and tunes,
// then the 12 sound effects, obeying every rule the game checks (20x20 pictures, a 301x151
// dialog); then `with` at each index of `at`.
inline Bytes game_file(size_t count = 98, std::vector<int> at = {}, const TestObject& with = {}) {
    std::vector<TestObject> objects;
    for (size_t index = 0; index < count; index++)
        objects.push_back(index >= 86 ? sample_object(16, 22050, 50)
                          : index == 0 || index == 66 ? tune_object(96, {drum_track})
                          : index == 72 ? bitmap_object(301, 151) : bitmap_object(20, 20));
    for (int index : at) objects[index] = with;
    return datafile_bytes(objects);
}
