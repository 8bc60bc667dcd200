// SPDX-License-Identifier: GPL-3.0-or-later
// Checks of the data file. Allegro's loader trusts every size it reads, so a
// truncated or damaged file can crash it: the structure is walked here first, and
// what the game relies on is checked once the file is loaded.
#include "data/data_file.h"
#include "language/language.h"

#include <allegro.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "files/files.h"

namespace {

// Far above any real data file (this game's is under 1 MB), far below what a machine can spare.
constexpr uint64_t largest_data_file = uint64_t(256) << 20;

std::string vprinted(const char* format, va_list args) {
    char text[256];
    vsnprintf(text, sizeof text, format, args);
    return text;
}

// The file's structure is broken at byte `offset`.
std::string damaged(const char* what, size_t offset) {
    char text[256];
    snprintf(text, sizeof text, _("Le fichier 'zudaduviz.dat' est endommagé : %s (octet %zu)\n"), what, offset);
    return text;
}

// The file is sound but does not hold what the game needs.
std::string unsuitable(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string unsuitable(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string what = vprinted(format, args);
    va_end(args);
    return printed(_("Le fichier 'zudaduviz.dat' ne convient pas : %s\n"), what.c_str());
}

constexpr uint32_t id(const char (&text)[5]) {
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
           uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

// Big-endian reader; every read is checked against the end of what is being read
// (the whole file, or the one object being looked into).
struct Reader {
    const std::vector<uint8_t>& bytes;
    size_t at;
    size_t limit;

    bool has(size_t n) const { return at <= limit && n <= limit - at; }
    uint32_t long_at(size_t p) const {
        return uint32_t(bytes[p]) << 24 | uint32_t(bytes[p + 1]) << 16 | uint32_t(bytes[p + 2]) << 8 | bytes[p + 3];
    }
    bool read_long(uint32_t& value) {
        if (!has(4)) return false;
        value = long_at(at);
        at += 4;
        return true;
    }
    bool read_word(int& value) {
        if (!has(2)) return false;
        value = bytes[at] << 8 | bytes[at + 1];
        at += 2;
        return true;
    }
};

std::string check_objects(Reader& in, uint32_t count, int depth);

// A tune as Allegro's MIDI player reads it. The player, and its scan for the instruments
// a tune needs, trust every byte: a length runs them past the track, a data byte of 128 or
// more indexes their 128-entry tables out of bounds, divisions of 0 divide by zero, a
// track without its end-of-track event is read past its end, and a looping tune that
// lasts no time at all restarts forever. So every event is walked here exactly as they
// will read it, and anything they could misread is turned away.

// A variable-length number: at most four bytes, as in a MIDI file.
bool read_number(Reader& in, uint32_t& value) {
    value = 0;
    for (int count = 0; count < 4 && in.has(1); count++) {
        const uint8_t byte = in.bytes[in.at++];
        value = value << 7 | (byte & 0x7F);
        if (!(byte & 0x80)) return true;
    }
    return false;
}

// The player's speed for a tempo (microseconds a beat), as it computes it; it ignores a
// tempo whose speed comes out as 0.
long player_speed(uint32_t tempo, int divisions) { return tempo / 1000 * (TIMERS_PER_SECOND / 1000) / divisions; }

// One track's events, up to and including its end-of-track event, which must end the track.
// `waits` is set when some event comes after a delay.
std::string check_track(Reader& in, int divisions, bool& waits) {
    uint8_t running_status = 0;  // the player keeps it across meta and system-exclusive events
    for (;;) {
        if (!in.has(1)) return damaged(_("piste de morceau sans fin"), in.at);
        uint32_t delay;
        if (!read_number(in, delay)) return damaged(_("délai illisible dans un morceau"), in.at);
        if (!in.has(1)) return damaged(_("piste de morceau sans fin"), in.at);
        if (delay > 0) waits = true;
        const size_t event = in.at;
        uint8_t status = in.bytes[in.at];
        if (status & 0x80) {
            in.at++;
        } else if (running_status) {
            status = running_status;  // the byte is the first data byte
        } else {
            return damaged(_("événement sans statut dans un morceau"), event);
        }

        if (status == 0xFF) {
            uint32_t length;
            if (!in.has(1) || in.bytes[in.at++] & 0x80 || !read_number(in, length) || !in.has(length))
                return damaged(_("méta-événement illisible dans un morceau"), event);
            const uint8_t meta_type = in.bytes[event + 1];
            if (meta_type == 0x2F) {
                if (length != 0 || in.at != in.limit) return damaged(_("fin de piste mal placée dans un morceau"), event);
                return {};
            }
            if (meta_type == 0x51) {
                if (length != 3) return damaged(_("tempo illisible dans un morceau"), event);
                const uint32_t tempo = uint32_t(in.bytes[in.at]) << 16 | in.bytes[in.at + 1] << 8 | in.bytes[in.at + 2];
                if (player_speed(tempo, divisions) == 0) return damaged(_("tempo illisible dans un morceau"), event);
            }
            in.at += length;
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t length;
            if (!read_number(in, length) || !in.has(length))
                return damaged(_("message système exclusif illisible dans un morceau"), event);
            in.at += length;
        } else if (status > 0xF0) {
            // System common and real-time messages have no place in a tune: the player
            // would take them as a running status and misread the bytes after them.
            return damaged(_("message système inattendu dans un morceau"), event);
        } else {
            running_status = status;
            const int data_bytes = (status & 0xE0) == 0xC0 ? 1 : 2;  // program change and channel pressure: 1
            for (int b = 0; b < data_bytes; b++, in.at++)
                if (!in.has(1) || in.bytes[in.at] & 0x80) return damaged(_("octet de données invalide dans un morceau"), event);
        }
    }
}

// An Allegro MIDI object: divisions (a big-endian word), then 32 tracks, each a big-endian
// length and that many bytes of events; an empty track is not played.
std::string check_tune(Reader& in, size_t start) {
    int divisions;
    if (!in.read_word(divisions)) return damaged(_("morceau tronqué"), start);
    // 0 divides by zero; the high bit marks SMPTE time, which the player reads as beats.
    if (divisions == 0 || divisions >= 0x8000) return damaged(_("divisions de morceau illisibles"), start);
    bool waits = false;
    for (int track = 0; track < 32; track++) {
        uint32_t length;
        if (!in.read_long(length) || !in.has(length)) return damaged(_("piste de morceau incohérente"), start);
        if (length == 0) continue;
        const size_t outer_limit = in.limit;
        in.limit = in.at + length;
        std::string wrong = check_track(in, divisions, waits);
        in.limit = outer_limit;
        if (!wrong.empty()) return wrong;
    }
    if (!waits) return damaged(_("morceau sans durée"), start);
    return {};
}

std::string check_inside(Reader& in, uint32_t type, size_t size, int depth);

// The contents of one object, exactly `size` bytes from the reader's position.
std::string check_contents(Reader& in, uint32_t type, size_t size, int depth) {
    size_t start = in.at;
    size_t end = start + size;
    size_t outer_limit = in.limit;
    in.limit = end;
    std::string wrong = check_inside(in, type, size, depth);
    in.limit = outer_limit;
    in.at = end;
    return wrong;
}

std::string check_inside(Reader& in, uint32_t type, size_t size, int depth) {
    size_t start = in.at;
    size_t end = start + size;
    if (type == id("BMP ")) {
        int bits, w, h;
        if (!in.read_word(bits) || !in.read_word(w) || !in.read_word(h)) return damaged(_("image tronquée"), start);
        int bytes_per_pixel = bits == 8 ? 1 : bits == 15 || bits == 16 ? 2 : bits == 24 ? 3 : bits == 32 || bits == 0xFFE0 ? 4 : 0;
        if (!bytes_per_pixel) return damaged(_("profondeur d'image inconnue"), start);
        if (w == 0 || h == 0) return damaged(_("image vide"), start);
        if (size != 6 + size_t(w) * size_t(h) * bytes_per_pixel) return damaged(_("taille d'image incohérente"), start);
    } else if (type == id("MIDI")) {
        if (std::string wrong = check_tune(in, start); !wrong.empty()) return wrong;
        if (in.at != end) return damaged(_("taille de morceau incohérente"), start);
    } else if (type == id("SAMP")) {
        // Allegro reads 8-bit samples as bytes and any other as 16-bit words; a negative
        // size is a stereo sample, with two values a frame.
        int bits, frequency;
        uint32_t length;
        if (!in.read_word(bits) || !in.read_word(frequency) || !in.read_long(length))
            return damaged(_("son tronqué"), start);
        const int channels = bits >= 0x8000 ? 2 : 1, bytes_per_value = bits == 8 || bits == 0xFFF8 ? 1 : 2;
        if (bits != 8 && bits != 16 && bits != 0xFFF8 && bits != 0xFFF0) return damaged(_("format de son inconnu"), start);
        if (size != 8 + uint64_t(length) * channels * bytes_per_value) return damaged(_("taille de son incohérente"), start);
    } else if (type == id("FILE")) {
        uint32_t count;
        if (depth >= 8 || !in.read_long(count)) return damaged(_("sous-fichier incohérent"), start);
        if (std::string wrong = check_objects(in, count, depth + 1); !wrong.empty()) return wrong;
        if (in.at != end) return damaged(_("taille de sous-fichier incohérente"), start);
    } else if (type != id("DATA")) {
        // Other kinds have structures of their own that the game neither uses nor checks.
        return damaged(_("type d'objet inconnu"), start);
    }
    return {};
}

std::string check_objects(Reader& in, uint32_t count, int depth) {
    for (uint32_t object = 0; object < count; object++) {
        uint32_t type;
        for (;;) {
            size_t start = in.at;
            if (!in.read_long(type)) return damaged(_("fichier tronqué"), start);
            if (type != id("prop")) break;
            uint32_t property_type, property_size;
            if (!in.read_long(property_type) || !in.read_long(property_size) || !in.has(property_size))
                return damaged(_("propriété tronquée"), start);
            // The loader cannot keep a property of the end marker's type, and loses its text.
            if (property_type == uint32_t(DAT_END)) return damaged(_("propriété incohérente"), start);
            in.at += property_size;
        }
        size_t start = in.at;
        uint32_t stored_size, full_size;
        if (!in.read_long(stored_size) || !in.read_long(full_size)) return damaged(_("fichier tronqué"), start);
        if (stored_size != full_size) return damaged(_("objet compressé"), start);
        if (!in.has(stored_size)) return damaged(_("objet tronqué"), start);
        if (std::string wrong = check_contents(in, type, stored_size, depth); !wrong.empty()) return wrong;
    }
    return {};
}

int count_loaded(const DATAFILE* data) {
    int count = 0;
    while (data[count].type != DAT_END) count++;
    return count;
}

BITMAP* picture(const DATAFILE* data, int index) { return static_cast<BITMAP*>(data[index].dat); }

}  // namespace

std::vector<std::string> data_folders(const DataPlaces& places) {
    std::vector<std::string> folders;
    auto add = [&folders](const std::string& folder) {
        if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    };
    add(places.working_dir);
    add(places.executable_dir);
    if (!places.executable_dir.empty()) {
        // Lexically: the executable's folder comes from the kernel with every link resolved.
        const size_t slash = places.executable_dir.rfind('/');
        const std::string prefix = slash == std::string::npos ? "." : places.executable_dir.substr(0, slash);
        add(prefix + "/share/zudaduviz");
    }
    add(places.compiled_in_dir);
    return folders;
}

FoundFile find_data_file(const std::string& name, const DataPlaces& places,
                         const std::function<bool(const std::string&)>& usable) {
    FoundFile found;
    for (const std::string& folder : data_folders(places)) {
        found.tried.push_back(folder == "/" ? "/" + name : folder + "/" + name);
        if (usable(found.tried.back())) {
            found.path = found.tried.back();
            break;
        }
    }
    return found;
}

std::string data_file_missing(const std::vector<std::string>& tried) {
    std::string message = data_file_failed;
    message += _("Cherché dans :\n");
    for (const std::string& path : tried) message += "  " + path + "\n";
    return message;
}

std::string check_data_file(const char* file_name) {
    GuardedFile file(file_name);
    // A folder, a FIFO or a device is no data file, and an empty file none either: they get
    // the message of a missing file, as Allegro's loader alone gave them. The size is known
    // before a byte is read, so a huge file is turned away at once.
    if (!file.opened() || file.size == 0) return data_file_failed;
    if (file.size > largest_data_file) return damaged(_("fichier trop gros"), size_t(file.size));
    // The header first: a file of another kind is turned away before its body is read.
    std::vector<uint8_t> bytes(12);
    size_t got;
    if (!file.read(bytes.data(), bytes.size(), got) || got == 0) return data_file_failed;
    bytes.resize(got);
    Reader in{bytes, 0, bytes.size()};
    uint32_t magic, dat_magic, count;
    if (!in.read_long(magic) || !in.read_long(dat_magic)) return damaged(_("fichier tronqué"), in.at);
    if (magic == F_PACK_MAGIC) return damaged(_("fichier compressé"), size_t(0));
    if (magic != F_NOPACK_MAGIC || dat_magic != DAT_MAGIC) return damaged(_("ce n'est pas un fichier de données"), size_t(0));
    if (!in.read_long(count)) return damaged(_("fichier tronqué"), in.at);
    bytes.resize(size_t(file.size));
    if (!file.read(bytes.data() + got, bytes.size() - got, got)) return data_file_failed;
    bytes.resize(in.at + got);  // a file cut short meanwhile is checked as it now stands
    in.limit = bytes.size();
    return check_objects(in, count, 0);
}

DATAFILE* load_data_file(const std::string& named, const char* name, const DataPlaces& places, int screen_width,
                         int screen_height, std::string& failure) {
    FoundFile found{named, {named}};
    if (named.empty()) found = find_data_file(name, places, is_readable_file);
    // An empty or unreadable file gets the message of a missing one, with the places tried.
    if (found.path.empty() || !is_readable_file(found.path)) {
        failure = data_file_missing(found.tried);
        return nullptr;
    }
    // Allegro's loader crashes on damaged files: the structure first, then what the game
    // relies on once loaded.
    failure = check_data_file(found.path.c_str());
    if (failure == data_file_failed) failure = data_file_missing(found.tried);
    DATAFILE* loaded = failure.empty() ? load_datafile(found.path.c_str()) : nullptr;
    if (failure.empty() && !loaded) failure = data_file_missing(found.tried);
    if (loaded) failure = check_data_objects(loaded, screen_width, screen_height);
    if (loaded && !failure.empty()) {
        unload_datafile(loaded);
        loaded = nullptr;
    }
    return loaded;
}

std::string check_data_objects(const DATAFILE* data, int screen_width, int screen_height) {
    using namespace data_layout;
    // The pictures and tunes alone, with every sound, or with the pictures in English too: half
    // a set is a mistake.
    const int count = count_loaded(data);
    if (count != required_object_count && count != with_sounds_count && count < object_count)
        return unsuitable(_("%d objets au lieu de %d, de %d avec les sons ou de %d avec les images en anglais"), count,
                          required_object_count, with_sounds_count, object_count);
    const int checked = count >= object_count ? object_count : count;
    for (int index = 0; index < checked; index++) {
        const Slot& slot = slots[index];
        if (slot.kind == Kind::tune && data[index].type != DAT_MIDI)
            return unsuitable(_("l'objet %d devrait être un morceau MIDI"), index);
        if (slot.kind == Kind::picture && data[index].type != DAT_BITMAP)
            return unsuitable(_("l'objet %d devrait être une image"), index);
        if (slot.kind == Kind::sound && data[index].type != DAT_SAMPLE)
            return unsuitable(_("l'objet %d devrait être un son"), index);
        if (!data[index].dat) return unsuitable(_("l'objet %d est vide"), index);
        // A sample at 0 Hz would hold its voice for ever.
        if (slot.kind == Kind::sound && static_cast<const SAMPLE*>(data[index].dat)->freq == 0)
            return unsuitable(_("le son %d n'a pas de fréquence"), index);
    }

    // Every frame of an animation is the size of its first frame: the game takes the
    // size of an actor, and of its collision box, from frame 0.
    for (int index = 0; index < checked; index++) {
        const Slot& slot = slots[index];
        if (slot.kind != Kind::picture) continue;
        const int first = index_of(slot.role, slot.set, 0);
        BITMAP *frame = picture(data, index), *frame0 = picture(data, first);
        if (frame->w != frame0->w || frame->h != frame0->h)
            return unsuitable(_("les images %d et %d n'ont pas la même taille"), first, index);
    }

    // An invader starts 100 pixels above the screen at a random column drawn
    // modulo the room left beside it: it must be hidden there and leave room.
    for (int look = 0; look < 11; look++) {
        const int index = index_of(Role::invader, look);
        BITMAP* frame = picture(data, index);
        if (frame->h > 100 || frame->w > screen_width / 2)
            return unsuitable(_("l'envahisseur %d est trop grand (%dx%d, au plus %dx100)"), index, frame->w, frame->h,
                              screen_width / 2);
    }
    const int bonus = index_of(Role::bonus);
    if (picture(data, bonus)->w > screen_width / 2) return unsuitable(_("le bonus (objet %d) est trop large"), bonus);
    const int ship = index_of(Role::player);
    if (picture(data, ship)->w >= screen_width || picture(data, ship)->h > screen_height)
        return unsuitable(_("le vaisseau (objet %d) est plus grand que l'écran"), ship);
    // The pointer is confined to the dialog picture: every area must be reachable, in every language.
    for (int language = 0; language < language_count; language++) {
        const int dialog = index_of(Role::quit_image, language);
        if (dialog < 0 || dialog >= checked) continue;
        const int w = picture(data, dialog)->w, h = picture(data, dialog)->h;
        if (w < quit_image_min_width || h < quit_image_min_height)
            return unsuitable(_("la fenêtre de confirmation (objet %d) mesure %dx%d, il faut au moins %dx%d"), dialog, w,
                              h, quit_image_min_width, quit_image_min_height);
    }
    return {};
}
