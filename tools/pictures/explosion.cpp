// SPDX-License-Identifier: GPL-3.0-or-later
// The explosion, 25 frames of one size: a white flash, a fireball that swells and
// cools, sparks flying out, and smoke that breaks up and fades away.
#include <vector>

#include "art.h"
#include "pictures.h"

namespace {
constexpr int size = 96;
constexpr float centre = size / 2.0f;
constexpr int last_frame = 24;

// Smooth value noise from a fixed lattice, about 0..1.
class Noise {
public:
    std::vector<float> lattice;
    int n;
    explicit Noise(uint64_t seed, int n = 32) : lattice(size_t(n) * n), n(n) {
        Rng rng(seed);
        for (float& v : lattice) v = rng.uniform(0, 1);
    }
    float value(float x, float y) const {
        float fx = std::floor(x), fy = std::floor(y);
        int ix = int(fx), iy = int(fy);
        float tx = x - fx, ty = y - fy;
        tx = tx * tx * (3 - 2 * tx);
        ty = ty * ty * (3 - 2 * ty);
        auto v = [&](int a, int b) { return lattice[size_t(((b % n) + n) % n) * n + ((a % n) + n) % n]; };
        float top = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * tx;
        float bottom = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * tx;
        return top + (bottom - top) * ty;
    }
    // Three octaves.
    float fractal(float x, float y) const { return (value(x, y) * 4 + value(x * 2.1f, y * 2.1f) * 2 + value(x * 4.3f, y * 4.3f)) / 7.0f; }
};

const Noise& billows() {
    static const Noise noise(11);
    return noise;
}

struct Spark {
    float angle, speed, life, length;
};

const std::vector<Spark>& sparks() {
    static const std::vector<Spark> list = [] {
        std::vector<Spark> out;
        Rng rng(23);
        for (int i = 0; i < 16; ++i)
            out.push_back(Spark{rng.uniform(0, 2 * pi), rng.uniform(4.5f, 7.0f), rng.uniform(7, 12), rng.uniform(4, 8)});
        return out;
    }();
    return list;
}

// The fireball turning to smoke: its radius grows fast then slows down.
void draw_cloud(Canvas& c, int frame) {
    const Noise& noise = billows();
    float age = frame / float(last_frame);
    float radius = 5 + 34 * (1 - std::exp(-frame / 4.0f));
    float breakup = smoothstep(8, 34, float(frame));
    float drift = frame * 0.08f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float px = x + 0.5f - centre, py = y + 0.5f - centre;
            float n = noise.fractal(px / 13.0f + 7 + drift, py / 13.0f + 3 - drift * 1.5f);
            float edge = radius * (0.78f + 0.5f * n);
            float dist = std::hypot(px, py);
            float coverage = clamp01(edge - dist + 0.5f);
            if (coverage <= 0) continue;
            // Late smoke thins out into separate puffs, from the outside in.
            float hole = noise.fractal(px / 8.0f + 19, py / 8.0f + 5 + drift);
            float keep = hole + 0.45f * (1 - dist / edge) - breakup * 1.05f;
            if (keep < 0.05f) continue;
            float heat_level = 0.1f + 0.75f * dist / edge + 1.5f * std::max(0.0f, age - 0.06f) + (0.5f - n) * 0.6f;
            Colour col;
            if (heat_level < 1) {
                col = heat(heat_level);
            } else {
                float smoke = clamp01(heat_level - 1);
                float grey = 0.42f - 0.18f * smoke + 0.2f * (hole - 0.5f);
                col = mix(heat(1), Colour{grey, grey * 0.92f, grey * 0.88f, 1}, clamp01(smoke * 2.5f));
            }
            col.a = clamp01((keep - 0.05f) * 6.0f);
            c.blend(x, y, col, coverage);
        }
}

void draw_flash(Canvas& c, int frame) {
    // Strongest on the first frames, gone by frame 5.
    float power = clamp01(1 - frame / 5.0f);
    if (power <= 0) return;
    float r = 5 + frame * 3.0f;
    Field core(size, size, [&](float x, float y) { return circle(x, y, centre, centre, r); });
    Field rays(size, size, [&](float x, float y) {
        float len = 16 + frame * 7.0f;
        float best = 1e9f;
        for (int k = 0; k < 4; ++k) {
            float a = k * pi / 4 + 0.2f;
            float dx = std::cos(a) * len, dy = std::sin(a) * len;
            best = std::min(best, segment(x, y, centre - dx, centre - dy, centre + dx, centre + dy, 1.6f * power));
        }
        return best;
    });
    c.halo(rays, rgb(255, 240, 200), 3, 0.9f * power);
    c.halo(core, rgb(255, 250, 220), 10, 0.8f * power);
    c.paint(core, with_alpha(rgb(255, 255, 245), power));
}

void draw_sparks(Canvas& c, int frame) {
    for (const Spark& s : sparks()) {
        if (frame < 1 || frame > s.life) continue;
        float t = frame / s.life;
        float head = 10 + s.speed * frame * (1 - frame / 40.0f);
        float tail = std::max(0.0f, head - s.length * (1 - t * 0.6f));
        if (head > centre - 2) continue;
        float ca = std::cos(s.angle), sa = std::sin(s.angle);
        Field streak(size, size, [&](float x, float y) {
            return segment(x, y, centre + ca * tail, centre + sa * tail, centre + ca * head, centre + sa * head, 0.8f);
        });
        Colour col = heat(t * 0.8f);
        c.halo(streak, col, 2.5f, 0.6f * (1 - t));
        c.paint(streak, with_alpha(col, 1.0f - t * 0.3f));
    }
}
}  // namespace

Canvas explosion_picture(int frame) {
    Canvas c(size, size);
    if (frame == 0) {
        // Never shown by the game (an explosion is advanced once before it is drawn), still a proper spark.
        Field dot(size, size, [](float x, float y) { return circle(x, y, centre, centre, 4); });
        c.halo(dot, rgb(255, 240, 200), 6, 0.9f);
        c.paint(dot, rgb(255, 255, 240));
        return c;
    }
    draw_cloud(c, frame);
    draw_sparks(c, frame);
    draw_flash(c, frame);
    return c;
}
