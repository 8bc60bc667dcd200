// SPDX-License-Identifier: GPL-3.0-or-later
// The replay file: a short header, then the sky, the run-coded updates and the checks,
// packed with zlib. Read back with every count and size bounded, so a damaged or foreign
// file gets a message, never a crash or a wait.
#include <zlib.h>

#include <cmath>
#include <cstring>

#include "files/files.h"
#include "game/game.h"
#include "replay/replay.h"

namespace {
const char magic[8] = {'Z', 'D', 'Z', 'R', 'E', 'J', 'E', 'U'};
// Format 2 adds the level; a file of format 1 plays at level 1.
constexpr uint16_t format_version = 2, first_format = 1;
// Bounds a file must keep: what the recorder keeps at most, so that a forged file asks for
// no more memory than a real game of a day would.
constexpr int most_screen_side = 4096, most_layers = 16, most_stars_per_layer = 10000;
constexpr size_t most_version_length = 32;
constexpr size_t header_bytes = 8 + 2 + 1 + 4 + 2 + 2 + 1 + 2 + 1 + 4 + 4;  // without the version
constexpr size_t star_bytes = 12, most_check_bytes = 5 + 3 * 5 + 8 + 4 + 4, most_count_bytes = 3 * 5;
// Deflate's own limit: a 2-bit code gives at most 258 bytes. A body claimed larger than its
// packed bytes could ever give is a forged claim, turned away before any memory is taken.
constexpr uint64_t most_inflation = 1032;

// The largest body a game of this sky can have.
size_t most_body_bytes(int star_layers, int stars_per_layer) {
    return size_t(star_layers) * size_t(stars_per_layer) * star_bytes + most_count_bytes +
           ReplayDeck::most_stream_bytes + size_t(ReplayDeck::most_checks) * most_check_bytes;
}

std::string body_of(const ReplayFile& file) {
    ByteWriter w;
    for (const Star& star : file.sky) {
        w.u16(uint32_t(star.x)), w.u16(uint32_t(star.grey));
        w.real(star.y);
    }
    w.varint(file.updates);
    w.varint(file.stream.size());
    w.bytes += file.stream;
    w.varint(file.checks.size());
    for (const ReplayCheck& check : file.checks) {
        w.varint(check.update);
        w.signed_varint(check.score), w.signed_varint(check.kills), w.signed_varint(check.armour);
        w.real(check.ship_x);
        w.u32(check.draws), w.u32(check.state);
    }
    return w.bytes;
}

// The part of the file where the damage lies.
std::string damaged(const char* part) { return printed(_("le fichier de partie est abîmé (%s)"), part); }

std::string read_body(const std::string& body, ReplayFile& file) {
    ByteReader r{body};
    file.sky.resize(size_t(file.star_layers) * file.stars_per_layer);
    for (size_t i = 0; i < file.sky.size(); i++) {
        Star& star = file.sky[i];
        const int layer = int(i / file.stars_per_layer);
        star.x = r.u16();
        star.grey = int(r.u16());
        star.y = r.real();
        // A star lies on a column of the screen; it may be a step below the bottom edge.
        if (star.x >= file.width || star.grey > 134 + 40 * layer || !(std::fabs(star.y) < 1e9))
            return damaged(_("étoiles"));
    }
    const uint64_t updates = r.varint(), stream_length = r.varint();
    if (!r.ok || updates == 0 || updates > ReplayDeck::most_updates || stream_length > ReplayDeck::most_stream_bytes ||
        stream_length > body.size() - r.at)
        return damaged(_("déroulement"));
    file.updates = uint32_t(updates);
    file.stream = body.substr(r.at, size_t(stream_length));
    r.at += size_t(stream_length);
    // Every run is checked now, so playing it back meets no surprise.
    ByteReader runs{file.stream};
    uint64_t counted = 0;
    while (runs.ok && !runs.done() && counted <= updates) {
        const uint64_t count = runs.varint();
        runs.u8();
        const uint64_t elapsed = runs.varint();
        // A step longer than play allows would hold the picture still for as long.
        if (count == 0 || elapsed > uint64_t(ReplayDeck::most_step_ticks)) runs.ok = false;
        counted += count;
    }
    if (!runs.ok || counted != updates) return damaged(_("déroulement"));

    const uint64_t check_count = r.varint();
    if (!r.ok || check_count == 0 || check_count > updates || check_count > ReplayDeck::most_checks)
        return damaged(_("contrôles"));
    file.checks.clear();
    uint32_t last_update = 0;
    for (uint64_t i = 0; i < check_count && r.ok; i++) {
        ReplayCheck check;
        const uint64_t update = r.varint();
        check.score = r.signed_varint(), check.kills = r.signed_varint(), check.armour = r.signed_varint();
        check.ship_x = r.real();
        check.draws = r.u32(), check.state = r.u32();
        if (update <= last_update || update > updates || !std::isfinite(check.ship_x)) r.ok = false;
        check.update = last_update = uint32_t(update);
        file.checks.push_back(check);
    }
    if (!r.ok || last_update != updates || !r.done()) return damaged(_("contrôles"));
    return "";
}
}  // namespace

std::string write_replay(const ReplayFile& file) {
    ByteWriter w;
    w.bytes.assign(magic, sizeof magic);
    w.u16(format_version);
    w.u8(uint32_t(file.game_version.size()));
    w.bytes += file.game_version;
    w.u32(file.seed);
    w.u16(file.width), w.u16(file.height), w.u8(file.star_layers), w.u16(file.stars_per_layer);
    w.u8(uint32_t(file.level));
    const std::string body = body_of(file);
    uLongf packed_size = compressBound(body.size());
    std::string packed(packed_size, '\0');
    compress2(reinterpret_cast<Bytef*>(&packed[0]), &packed_size, reinterpret_cast<const Bytef*>(body.data()),
              body.size(), Z_BEST_COMPRESSION);
    packed.resize(packed_size);
    w.u32(uint32_t(body.size()));
    w.u32(uint32_t(packed.size()));
    return w.bytes + packed;
}

std::string read_replay(const std::string& bytes, ReplayFile& file) {
    if (bytes.size() < sizeof magic || bytes.compare(0, sizeof magic, magic, sizeof magic) != 0)
        return _("ce fichier n'est pas une partie enregistrée de Zudaduviz");
    ByteReader r{bytes, sizeof magic};
    const uint32_t format = r.u16();
    if (r.ok && format != format_version && format != first_format)
        return printed(_("cette partie a été enregistrée dans un autre format (%u)"), format);
    const size_t version_length = r.u8();
    if (version_length > most_version_length || version_length > bytes.size() - r.at) r.ok = false;
    if (r.ok) file.game_version = bytes.substr(r.at, version_length), r.at += version_length;
    file.seed = r.u32();
    file.width = int(r.u16()), file.height = int(r.u16());
    file.star_layers = int(r.u8()), file.stars_per_layer = int(r.u16());
    file.level = format == first_format ? 1 : int(r.u8());
    const uint32_t body_size = r.u32(), packed_size = r.u32();
    if (!r.ok || packed_size != bytes.size() - r.at) return _("le fichier de partie est tronqué");
    if (file.width < 1 || file.width > most_screen_side || file.height < 1 || file.height > most_screen_side ||
        file.star_layers < 1 || file.star_layers > most_layers || file.stars_per_layer < 1 ||
        file.stars_per_layer > most_stars_per_layer)
        return damaged(_("en-tête"));
    const size_t most_body = most_body_bytes(file.star_layers, file.stars_per_layer);
    if (body_size > most_body || packed_size > compressBound(most_body) || body_size > packed_size * most_inflation)
        return damaged(_("trop grand"));
    if (!known_level(file.level))
        return printed(_("cette partie a été jouée en rapidité %d, inconnue (de 1 à %d)"), file.level, level_count);
    std::string body(body_size, '\0');
    uLongf unpacked = body_size;
    if (uncompress(reinterpret_cast<Bytef*>(&body[0]), &unpacked, reinterpret_cast<const Bytef*>(&bytes[r.at]),
                   packed_size) != Z_OK ||
        unpacked != body_size)
        return damaged(_("données compressées"));
    return read_body(body, file);
}

std::string load_replay(const std::string& path, ReplayFile& file) {
    GuardedFile in(path);
    if (!in.opened()) return printed(_("impossible de lire « %s »"), path.c_str());
    // Sized before it is read: a file larger than any game's is read no further.
    const uint64_t largest = header_bytes + most_version_length +
                             compressBound(most_body_bytes(most_layers, most_stars_per_layer));
    if (in.size > largest) return damaged(_("trop grand"));
    std::string bytes(size_t(in.size), '\0');
    size_t got;
    if (!in.read(&bytes[0], bytes.size(), got)) return printed(_("impossible de lire « %s »"), path.c_str());
    bytes.resize(got);  // cut short meanwhile: the reader says so
    return read_replay(bytes, file);
}

std::string unsuitable_replay(const ReplayFile& file, const Game& game) {
    if (file.width != game.width || file.height != game.height || file.star_layers != game.star_layers ||
        file.stars_per_layer != game.stars_per_layer)
        return printed(_("cette partie a été jouée sur un écran de %dx%d avec %dx%d étoiles"), file.width, file.height,
                       file.star_layers, file.stars_per_layer);
    return "";
}
