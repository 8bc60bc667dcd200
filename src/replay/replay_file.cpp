// SPDX-License-Identifier: GPL-3.0-or-later
// The replay file: a short header, then the sky, the run-coded updates and the checks,
// packed with zlib. Read back with every count and size bounded, so a damaged or foreign
// file gets a message, never a crash or a wait.
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "game/game.h"
#include "replay/replay.h"

namespace {
const char magic[8] = {'Z', 'D', 'Z', 'R', 'E', 'J', 'E', 'U'};
constexpr uint16_t format_version = 1;
// Bounds a file must keep: they leave room for any real game (a week of updates) and
// keep a forged one from asking for gigabytes.
constexpr uint32_t most_body_bytes = 64u << 20;
constexpr int most_screen_side = 4096, most_layers = 16, most_stars_per_layer = 10000;
constexpr uint32_t most_updates = 1u << 28;
constexpr uint32_t most_elapsed = 1u << 24;  // ticks in one update: over nine hours
constexpr size_t most_version_length = 32;

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
    if (!r.ok || updates == 0 || updates > most_updates || stream_length > body.size() - r.at)
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
        if (count == 0 || elapsed > most_elapsed) runs.ok = false;
        counted += count;
    }
    if (!runs.ok || counted != updates) return damaged(_("déroulement"));

    const uint64_t check_count = r.varint();
    if (!r.ok || check_count == 0 || check_count > updates) return damaged(_("contrôles"));
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
    if (r.ok && format != format_version)
        return printed(_("cette partie a été enregistrée dans un autre format (%u)"), format);
    const size_t version_length = r.u8();
    if (version_length > most_version_length || version_length > bytes.size() - r.at) r.ok = false;
    if (r.ok) file.game_version = bytes.substr(r.at, version_length), r.at += version_length;
    file.seed = r.u32();
    file.width = int(r.u16()), file.height = int(r.u16());
    file.star_layers = int(r.u8()), file.stars_per_layer = int(r.u16());
    const uint32_t body_size = r.u32(), packed_size = r.u32();
    if (!r.ok || packed_size != bytes.size() - r.at) return _("le fichier de partie est tronqué");
    if (file.width < 1 || file.width > most_screen_side || file.height < 1 || file.height > most_screen_side ||
        file.star_layers < 1 || file.star_layers > most_layers || file.stars_per_layer < 1 ||
        file.stars_per_layer > most_stars_per_layer || body_size > most_body_bytes)
        return damaged(_("en-tête"));
    std::string body(body_size, '\0');
    uLongf unpacked = body_size;
    if (uncompress(reinterpret_cast<Bytef*>(&body[0]), &unpacked, reinterpret_cast<const Bytef*>(&bytes[r.at]),
                   packed_size) != Z_OK ||
        unpacked != body_size)
        return damaged(_("données compressées"));
    return read_body(body, file);
}

std::string load_replay(const std::string& path, ReplayFile& file) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return printed(_("impossible de lire « %s »"), path.c_str());
    // Nothing real comes near this size: a larger file is read no further.
    std::string bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, size_t(in.gcount()));
        if (bytes.size() > most_body_bytes) return damaged(_("trop grand"));
    }
    if (in.bad()) return printed(_("impossible de lire « %s »"), path.c_str());
    return read_replay(bytes, file);
}

std::string unsuitable_replay(const ReplayFile& file, const Game& game) {
    if (file.width != game.width || file.height != game.height || file.star_layers != game.star_layers ||
        file.stars_per_layer != game.stars_per_layer)
        return printed(_("cette partie a été jouée sur un écran de %dx%d avec %dx%d étoiles"), file.width, file.height,
                       file.star_layers, file.stars_per_layer);
    return "";
}
