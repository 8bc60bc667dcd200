// SPDX-License-Identifier: GPL-3.0-or-later
// Writes small Allegro data files byte by byte, so that tests can make exactly
// the file they need: well-formed, with objects of any kind and size, or broken.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct TestObject {
    std::string type;            // four characters: "BMP ", "MIDI", ...
    std::vector<uint8_t> contents;
};

inline void put_long(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}
inline void put_word(std::vector<uint8_t>& out, int v) { out.insert(out.end(), {uint8_t(v >> 8), uint8_t(v)}); }
inline void put_id(std::vector<uint8_t>& out, const std::string& id) { out.insert(out.end(), id.begin(), id.end()); }

// A 24-bit picture filled with one colour; (255, 0, 255) is the mask colour.
inline TestObject bitmap_object(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    TestObject object{"BMP ", {}};
    put_word(object.contents, 24);
    put_word(object.contents, w);
    put_word(object.contents, h);
    for (int p = 0; p < w * h; p++) object.contents.insert(object.contents.end(), {r, g, b});
    return object;
}

// A tune as Allegro stores it: divisions, then 32 tracks (length and events); tracks
// not given are empty.
inline TestObject tune_object(int divisions, const std::vector<std::vector<uint8_t>>& tracks) {
    TestObject object{"MIDI", {}};
    put_word(object.contents, divisions);
    for (size_t t = 0; t < 32; t++) {
        const std::vector<uint8_t> track = t < tracks.size() ? tracks[t] : std::vector<uint8_t>{};
        put_long(object.contents, uint32_t(track.size()));
        object.contents.insert(object.contents.end(), track.begin(), track.end());
    }
    return object;
}

// A tune of one short note on track 0; the other 31 tracks are empty.
inline TestObject midi_object() {
    return tune_object(96, {{0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00}});
}

// The events given, then the end of track one beat later.
inline std::vector<uint8_t> ended_track(std::vector<uint8_t> events) {
    events.insert(events.end(), {0x60, 0xFF, 0x2F, 0x00});
    return events;
}

// Every kind of event a tune may hold: tempo, a name, program, notes (the note-off by
// running status, across a meta event), pitch bend, channel pressure, a controller,
// system-exclusive messages (F0 and F7), a four-byte delay.
inline const std::vector<uint8_t> varied_track = ended_track(
    {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x03, 0x04, 'L',  'e',  'a',  'd',  0x00,
     0xC0, 0x18, 0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x01, 0x01, 'x',  0x60, 0x3C, 0x00, 0x00, 0xE0,
     0x00, 0x40, 0x00, 0xD0, 0x10, 0x00, 0xB0, 0x07, 0x64, 0x00, 0xF0, 0x03, 0x7E, 0x09, 0xF7, 0x00,
     0xF7, 0x01, 0xF8, 0x81, 0x80, 0x80, 0x00, 0x80, 0x3C, 0x00});
inline const std::vector<uint8_t> drum_track = ended_track({0x00, 0x99, 0x24, 0x64, 0x60, 0x89, 0x24, 0x40});
// The varied track, an empty track, then drums.
inline TestObject varied_tune_object() { return tune_object(480, {varied_track, {}, drum_track}); }

// A sound of `length` frames: 8 or 16 bits a value, negative bits for stereo (two values
// a frame), a rising ramp. Allegro stores 16-bit values little-endian.
inline TestObject sample_object(int bits, int frequency, uint32_t length) {
    TestObject object{"SAMP", {}};
    put_word(object.contents, bits);
    put_word(object.contents, frequency);
    put_long(object.contents, length);
    const uint32_t values = length * (bits < 0 ? 2 : 1);
    for (uint32_t v = 0; v < values; v++) {
        if (bits == 8 || bits == -8) {
            object.contents.push_back(uint8_t(128 + v % 64));
        } else {
            object.contents.insert(object.contents.end(), {uint8_t(v), uint8_t(0x80 + v % 64)});
        }
    }
    return object;
}

// The whole file: uncompressed magic, "ALL.", the count, then each object with a name property.
inline std::vector<uint8_t> datafile_bytes(const std::vector<TestObject>& objects) {
    std::vector<uint8_t> out;
    put_id(out, "slh.");
    put_id(out, "ALL.");
    put_long(out, uint32_t(objects.size()));
    for (size_t i = 0; i < objects.size(); i++) {
        std::string name = "OBJECT_" + std::to_string(i);
        put_id(out, "prop");
        put_id(out, "NAME");
        put_long(out, uint32_t(name.size()));
        put_id(out, name);
        put_id(out, objects[i].type);
        put_long(out, uint32_t(objects[i].contents.size()));
        put_long(out, uint32_t(objects[i].contents.size()));
        out.insert(out.end(), objects[i].contents.begin(), objects[i].contents.end());
    }
    return out;
}

inline std::vector<uint8_t> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

// The 86 pictures and tunes at the indices the game expects, then, with sounds, the 12
// sound effects. Valid ones obey every rule the game checks (20x20 pictures, a 301x151
// dialog); indexed ones carry their own index in their width (1 + index), so their
// strips are of unequal sizes on purpose, and in their length for sounds.
inline std::vector<TestObject> game_objects(bool indexed, bool with_sounds = true) {
    std::vector<TestObject> objects;
    for (int index = 0; index < (with_sounds ? 98 : 86); index++) {
        int w = indexed ? 1 + index : 20, h = indexed ? 1 + index % 7 : 20;
        if (index == 72) w = 301, h = 151;  // the quit dialog must hold its three areas
        if (index >= 86) {
            objects.push_back(sample_object(16, 22050, indexed ? 1 + index : 50));
        } else {
            objects.push_back(index == 0 || index == 66 ? midi_object() : bitmap_object(w, h, 200, 100, 50));
        }
    }
    return objects;
}
