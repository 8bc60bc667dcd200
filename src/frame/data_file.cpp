// Checks of the data file. Allegro's loader trusts every size it reads, so a
// truncated or damaged file can crash it: the structure is walked here first, and
// what the game relies on is checked once the file is loaded.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "frame/game.h"

namespace {

char message[256];

const char* say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    return message;
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

const char* const damaged = "Le fichier 'zudaduviz.dat' est endommagé : %s (octet %zu)\n";

const char* check_objects(Reader& in, uint32_t count, int depth);
const char* check_inside(Reader& in, uint32_t type, size_t size, int depth);

// The contents of one object, exactly `size` bytes from the reader's position.
const char* check_contents(Reader& in, uint32_t type, size_t size, int depth) {
    size_t start = in.at;
    size_t end = start + size;
    size_t outer_limit = in.limit;
    in.limit = end;
    const char* wrong = check_inside(in, type, size, depth);
    in.limit = outer_limit;
    in.at = end;
    return wrong;
}

const char* check_inside(Reader& in, uint32_t type, size_t size, int depth) {
    size_t start = in.at;
    size_t end = start + size;
    if (type == id("BMP ")) {
        int bits, w, h;
        if (!in.read_word(bits) || !in.read_word(w) || !in.read_word(h)) return say(damaged, "image tronquée", start);
        int bytes_per_pixel = bits == 8 ? 1 : bits == 15 || bits == 16 ? 2 : bits == 24 ? 3 : bits == 32 || bits == 0xFFE0 ? 4 : 0;
        if (!bytes_per_pixel) return say(damaged, "profondeur d'image inconnue", start);
        if (w == 0 || h == 0) return say(damaged, "image vide", start);
        if (size != 6 + size_t(w) * size_t(h) * bytes_per_pixel) return say(damaged, "taille d'image incohérente", start);
    } else if (type == id("MIDI")) {
        int divisions;
        if (!in.read_word(divisions)) return say(damaged, "morceau tronqué", start);
        for (int track = 0; track < 32; track++) {
            uint32_t length;
            if (!in.read_long(length) || !in.has(length)) return say(damaged, "piste de morceau incohérente", start);
            in.at += length;
        }
        if (in.at != end) return say(damaged, "taille de morceau incohérente", start);
    } else if (type == id("FILE")) {
        uint32_t count;
        if (depth >= 8 || !in.read_long(count)) return say(damaged, "sous-fichier incohérent", start);
        if (const char* wrong = check_objects(in, count, depth + 1)) return wrong;
        if (in.at != end) return say(damaged, "taille de sous-fichier incohérente", start);
    } else if (type != id("DATA")) {
        // Other kinds have structures of their own that the game neither uses nor checks.
        return say(damaged, "type d'objet inconnu", start);
    }
    return nullptr;
}

const char* check_objects(Reader& in, uint32_t count, int depth) {
    for (uint32_t object = 0; object < count; object++) {
        uint32_t type;
        for (;;) {
            size_t start = in.at;
            if (!in.read_long(type)) return say(damaged, "fichier tronqué", start);
            if (type != id("prop")) break;
            uint32_t property_type, property_size;
            if (!in.read_long(property_type) || !in.read_long(property_size) || !in.has(property_size))
                return say(damaged, "propriété tronquée", start);
            in.at += property_size;
        }
        size_t start = in.at;
        uint32_t stored_size, full_size;
        if (!in.read_long(stored_size) || !in.read_long(full_size)) return say(damaged, "fichier tronqué", start);
        if (stored_size != full_size) return say(damaged, "objet compressé", start);
        if (!in.has(stored_size)) return say(damaged, "objet tronqué", start);
        if (const char* wrong = check_contents(in, type, stored_size, depth)) return wrong;
    }
    return nullptr;
}

int object_count(const DATAFILE* data) {
    int count = 0;
    while (data[count].type != DAT_END) count++;
    return count;
}

const char* const wrong_object = "Le fichier 'zudaduviz.dat' ne convient pas : %s\n";

BITMAP* picture(const DATAFILE* data, int index) { return static_cast<BITMAP*>(data[index].dat); }

// The frames from `first` to `last` must all be the size of the first.
const char* check_strip(const DATAFILE* data, int first, int last) {
    for (int index = first + 1; index <= last; index++)
        if (picture(data, index)->w != picture(data, first)->w || picture(data, index)->h != picture(data, first)->h)
            return say("Le fichier 'zudaduviz.dat' ne convient pas : les images %d à %d n'ont pas toutes la même taille\n",
                       first, last);
    return nullptr;
}

}  // namespace

const char* check_data_file(const char* file_name) {
    FILE* file = fopen(file_name, "rb");
    if (!file) return data_file_failed;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > (size_t(256) << 20)) break;
    }
    bool read_error = ferror(file);
    fclose(file);
    if (read_error) return data_file_failed;
    if (bytes.size() > (size_t(256) << 20)) return say(damaged, "fichier trop gros", bytes.size());

    Reader in{bytes, 0, bytes.size()};
    uint32_t magic, dat_magic, count;
    if (!in.read_long(magic) || !in.read_long(dat_magic)) return say(damaged, "fichier tronqué", in.at);
    if (magic == F_PACK_MAGIC) return say(damaged, "fichier compressé", size_t(0));
    if (magic != F_NOPACK_MAGIC || dat_magic != DAT_MAGIC) return say(damaged, "ce n'est pas un fichier de données", size_t(0));
    if (!in.read_long(count)) return say(damaged, "fichier tronqué", in.at);
    return check_objects(in, count, 0);
}

const char* check_data_objects(const DATAFILE* data, int screen_width, int screen_height) {
    int count = object_count(data);
    if (count < data_index::object_count)
        return say("Le fichier 'zudaduviz.dat' ne convient pas : %d objets au lieu de %d\n", count,
                   data_index::object_count);
    for (int index = 0; index < data_index::object_count; index++) {
        bool tune = index == data_index::game_music || index == data_index::menu_music;
        if (tune && data[index].type != DAT_MIDI)
            return say("Le fichier 'zudaduviz.dat' ne convient pas : l'objet %d devrait être un morceau MIDI\n", index);
        if (!tune && data[index].type != DAT_BITMAP)
            return say("Le fichier 'zudaduviz.dat' ne convient pas : l'objet %d devrait être une image\n", index);
        if (!data[index].dat) return say("Le fichier 'zudaduviz.dat' ne convient pas : l'objet %d est vide\n", index);
    }

    using namespace data_index;
    const int strips[][2] = {
        {bonus_first, bonus_first + 2},         {play_button_normal, play_button_pressed},
        {player_first, player_first + 2},       {invader_shot_first, invader_shot_first + 2},
        {shot_first, shot_first + 2},           {shot_first + 3, shot_first + 5},
        {shot_first + 6, shot_first + 8},       {explosion_first, explosion_last},
    };
    for (const auto& strip : strips)
        if (const char* wrong = check_strip(data, strip[0], strip[1])) return wrong;
    for (int first = invader_look0_first; first <= invader_last; first += 3)
        if (const char* wrong = check_strip(data, first, first + 2)) return wrong;

    // An invader starts 100 pixels above the screen at a random column drawn
    // modulo the room left beside it: it must be hidden there and leave room.
    for (int index = invader_look0_first; index <= invader_last; index += 3) {
        BITMAP* frame = picture(data, index);
        if (frame->h > 100 || frame->w > screen_width / 2)
            return say("Le fichier 'zudaduviz.dat' ne convient pas : l'envahisseur %d est trop grand (%dx%d, au plus %dx100)\n",
                       index, frame->w, frame->h, screen_width / 2);
    }
    BITMAP* bonus = picture(data, bonus_first);
    if (bonus->w > screen_width / 2)
        return say(wrong_object, "le bonus (objet 1) est trop large");
    BITMAP* ship = picture(data, player_first);
    if (ship->w >= screen_width || ship->h > screen_height)
        return say(wrong_object, "le vaisseau (objet 67) est plus grand que l'écran");
    // The pointer is confined to the dialog picture: every area must be reachable.
    BITMAP* dialog = picture(data, data_index::quit_image);
    if (dialog->w < quit_image_min_width || dialog->h < quit_image_min_height)
        return say("Le fichier 'zudaduviz.dat' ne convient pas : la fenêtre de confirmation (objet 72) mesure %dx%d, il faut au moins %dx%d\n",
                   dialog->w, dialog->h, quit_image_min_width, quit_image_min_height);
    return nullptr;
}
