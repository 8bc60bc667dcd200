// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas.h"

#include <allegro.h>

#include <algorithm>

Field::Field(int w, int h, const std::function<float(float, float)>& f) : w(w), h(h), d(size_t(w) * h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) d[size_t(y) * w + x] = f(x + 0.5f, y + 0.5f);
}

namespace {
Field combine(const Field& a, const Field& b, float (*op)(float, float)) {
    Field out(a.w, a.h, 0.0f);
    for (size_t i = 0; i < out.d.size(); ++i) out.d[i] = op(a.d[i], b.d[i]);
    return out;
}
}  // namespace

Field unite(const Field& a, const Field& b) {
    return combine(a, b, [](float p, float q) { return std::min(p, q); });
}
Field intersect(const Field& a, const Field& b) {
    return combine(a, b, [](float p, float q) { return std::max(p, q); });
}
Field subtract(const Field& a, const Field& b) {
    return combine(a, b, [](float p, float q) { return std::max(p, -q); });
}
Field grow(const Field& a, float r) {
    Field out = a;
    for (float& v : out.d) v -= r;
    return out;
}

void Canvas::blend(int x, int y, Colour c, float coverage) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    float k = clamp01(c.a * coverage);
    if (k <= 0) return;
    Colour& p = at(x, y);
    p.r = c.r * k + p.r * (1 - k);
    p.g = c.g * k + p.g * (1 - k);
    p.b = c.b * k + p.b * (1 - k);
    p.a = k + p.a * (1 - k);
}

void Canvas::glow(int x, int y, Colour c, float amount) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    float k = clamp01(amount * c.a);
    if (k <= 0) return;
    Colour& p = at(x, y);
    p.r += c.r * k;
    p.g += c.g * k;
    p.b += c.b * k;
    p.a = p.a + (1 - p.a) * k;
}

void Canvas::paint(const Field& shape, const Shader& shader) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float d = shape.at(x, y);
            float coverage = clamp01(0.5f - d);
            if (coverage <= 0) continue;
            Spot s{x, y, x + 0.5f, y + 0.5f, d, 0, 0};
            shape.gradient(x, y, s.gx, s.gy);
            float len = std::sqrt(s.gx * s.gx + s.gy * s.gy);
            if (len > 1e-4f) {
                s.gx /= len;
                s.gy /= len;
            }
            blend(x, y, shader(s), coverage);
        }
}

void Canvas::paint(const Field& shape, Colour c) {
    paint(shape, [c](const Spot&) { return c; });
}

void Canvas::halo(const Field& shape, Colour c, float radius, float strength) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float d = shape.at(x, y);
            float t = d <= 0 ? 1.0f : clamp01(1 - d / radius);
            if (t > 0) glow(x, y, c, strength * t * t);
        }
}

void Canvas::draw(const Canvas& other, int ox, int oy, float opacity) {
    for (int y = 0; y < other.h; ++y)
        for (int x = 0; x < other.w; ++x) {
            int tx = x + ox, ty = y + oy;
            if (tx < 0 || ty < 0 || tx >= w || ty >= h) continue;
            Colour s = other.at(x, y);
            float k = s.a * opacity;
            if (k <= 0) continue;
            Colour& p = at(tx, ty);
            p.r = s.r * opacity + p.r * (1 - k);
            p.g = s.g * opacity + p.g * (1 - k);
            p.b = s.b * opacity + p.b * (1 - k);
            p.a = k + p.a * (1 - k);
        }
}

float bevel_light(const Spot& s, float bevel) {
    // Height rises from the edge over `bevel` pixels; its slope tilts the normal outward.
    float depth = -s.d;
    float slope = depth < bevel ? 1.0f - depth / bevel : 0.0f;
    slope *= 1.6f;
    float nx = s.gx * slope, ny = s.gy * slope, nz = 1.0f;
    float len = std::sqrt(nx * nx + ny * ny + nz * nz);
    const float lx = -0.45f, ly = -0.6f, lz = 0.66f;
    return (nx * lx + ny * ly + nz * lz) / len;
}

Colour lit(Colour base, float light, float gloss) {
    // 0.66 is what a flat face receives: keep it at the base colour.
    float k = 0.35f + light * 0.98f;
    Colour c = shade(base, k);
    float highlight = std::pow(clamp01((light - 0.75f) / 0.25f), 2.0f) * gloss;
    return Colour{c.r + highlight, c.g + highlight, c.b + highlight, base.a};
}

float circle(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }

float ellipse(float x, float y, float cx, float cy, float rx, float ry) {
    // Scaled-circle approximation, corrected by the local stretch so edges stay about a pixel wide.
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    float k = std::sqrt(dx * dx + dy * dy);
    if (k < 1e-6f) return -std::min(rx, ry);
    float gx = dx / rx, gy = dy / ry;
    float g = std::sqrt(gx * gx + gy * gy) / k;
    return (k - 1) / g;
}

float box(float x, float y, float x0, float y0, float x1, float y1, float radius) {
    float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
    float qx = std::fabs(x - cx) - ((x1 - x0) * 0.5f - radius);
    float qy = std::fabs(y - cy) - ((y1 - y0) * 0.5f - radius);
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float segment(float x, float y, float ax, float ay, float bx, float by, float r) {
    float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? clamp01((px * dx + py * dy) / len2) : 0.0f;
    return std::hypot(px - dx * t, py - dy * t) - r;
}

float polygon(float x, float y, const std::vector<float>& pts) {
    size_t n = pts.size() / 2;
    float best = 1e30f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        float ax = pts[2 * j], ay = pts[2 * j + 1], bx = pts[2 * i], by = pts[2 * i + 1];
        float ex = bx - ax, ey = by - ay, wx = x - ax, wy = y - ay;
        float len2 = ex * ex + ey * ey;
        float t = len2 > 0 ? clamp01((wx * ex + wy * ey) / len2) : 0.0f;
        best = std::min(best, std::hypot(wx - ex * t, wy - ey * t));
        if ((ay > y) != (by > y) && x < ax + (y - ay) * ex / ey) inside = !inside;
    }
    return inside ? -best : best;
}

float pixel_box(float x, float y, int left, int top, int right, int bottom) {
    return box(x, y, float(left), float(top), float(right + 1), float(bottom + 1));
}

namespace {
// The lit pixels of `text` in Allegro's font, one byte each.
struct Glyphs {
    int w = 0, h = 0, first = 0, last = -1;
    std::vector<uint8_t> on;
    bool lit(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && on[size_t(y) * w + x]; }
};

Glyphs read_glyphs(const char* text) {
    Glyphs g;
    g.w = text_length(font, text);
    g.h = text_height(font);
    BITMAP* b = create_bitmap_ex(8, g.w, g.h);
    clear_to_color(b, 0);
    textout_ex(b, font, text, 0, 0, 1, 0);
    g.on.resize(size_t(g.w) * g.h);
    g.first = g.w;
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x)
            if (getpixel(b, x, y)) {
                g.on[size_t(y) * g.w + x] = 1;
                g.first = std::min(g.first, x);
                g.last = std::max(g.last, x);
            }
    destroy_bitmap(b);
    return g;
}

// Lowers the field to the distance of one stroke within `margin` pixels of it.
template <class Dist>
void stamp(Field& f, float x0, float y0, float x1, float y1, float margin, Dist dist) {
    int left = std::max(0, int(std::floor(x0 - margin))), right = std::min(f.w - 1, int(std::ceil(x1 + margin)));
    int top = std::max(0, int(std::floor(y0 - margin))), bottom = std::min(f.h - 1, int(std::ceil(y1 + margin)));
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            float d = dist(x + 0.5f, y + 0.5f);
            float& v = f.ref(x, y);
            if (d < v) v = d;
        }
}
}  // namespace

namespace {
// A union of strokes measures depth to the nearest single stroke, so the seam
// between two touching strokes reads as an edge. Depth is measured again here
// against the true outline: each boundary point is found from a pixel just
// outside it, stepping back along the outward gradient.
void measure_depth(Field& f) {
    const int reach = 8;
    struct Edge {
        float x, y;
    };
    std::vector<Edge> edges;
    for (int y = 0; y < f.h; ++y)
        for (int x = 0; x < f.w; ++x) {
            float d = f.at(x, y);
            if (d < 0 || d > 1.5f) continue;
            float gx, gy;
            f.gradient(x, y, gx, gy);
            float len = std::sqrt(gx * gx + gy * gy);
            if (len < 1e-4f) continue;
            edges.push_back(Edge{x + 0.5f - gx / len * d, y + 0.5f - gy / len * d});
        }
    // Bucket the boundary points by pixel so each inside pixel looks only nearby.
    std::vector<std::vector<int>> bucket(size_t(f.w) * f.h);
    for (size_t i = 0; i < edges.size(); ++i) {
        int bx = std::min(f.w - 1, std::max(0, int(edges[i].x))), by = std::min(f.h - 1, std::max(0, int(edges[i].y)));
        bucket[size_t(by) * f.w + bx].push_back(int(i));
    }
    Field out = f;
    for (int y = 0; y < f.h; ++y)
        for (int x = 0; x < f.w; ++x) {
            if (f.at(x, y) >= 0) continue;
            float best = float(reach);
            for (int yy = std::max(0, y - reach); yy <= std::min(f.h - 1, y + reach); ++yy)
                for (int xx = std::max(0, x - reach); xx <= std::min(f.w - 1, x + reach); ++xx)
                    for (int i : bucket[size_t(yy) * f.w + xx])
                        best = std::min(best, std::hypot(x + 0.5f - edges[i].x, y + 0.5f - edges[i].y));
            out.ref(x, y) = -best;
        }
    f = out;
}
}  // namespace

float lettering_width(const char* text, const Lettering& style) {
    Glyphs g = read_glyphs(text);
    return g.last < g.first ? 0.0f : (g.last - g.first + 1) * style.cell;
}

float lettering_column(const char* text, int column, const Lettering& style) {
    Glyphs g = read_glyphs(text);
    return (column - g.first + 0.5f) * style.cell;
}

Field lettering(int w, int h, const char* text, float x, float y, const Lettering& style) {
    const float margin = 24;
    Field f(w, h, margin);
    Glyphs g = read_glyphs(text);
    float r = 0.5f * style.cell * style.weight;
    auto centre_x = [&](int gx) { return x + (gx - g.first + 0.5f) * style.cell; };
    auto centre_y = [&](int gy) { return y + (gy + 0.5f) * style.height(); };
    for (int gy = 0; gy < g.h; ++gy)
        for (int gx = 0; gx < g.w; ++gx) {
            if (!g.lit(gx, gy)) continue;
            float ax = centre_x(gx), ay = centre_y(gy);
            if (style.rounded)
                stamp(f, ax - r, ay - r, ax + r, ay + r, margin, [&](float px, float py) { return circle(px, py, ax, ay, r); });
            else
                stamp(f, ax - r, ay - r, ax + r, ay + r, margin,
                      [&](float px, float py) { return box(px, py, ax - r, ay - r, ax + r, ay + r); });
            // Joins to the right and down; diagonals only where no corner pixel already joins them.
            const int steps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
            for (const auto& st : steps) {
                int nx = gx + st[0], ny = gy + st[1];
                if (!g.lit(nx, ny)) continue;
                bool diagonal = st[0] != 0 && st[1] != 0;
                if (diagonal && (g.lit(nx, gy) || g.lit(gx, ny))) continue;
                float bx = centre_x(nx), by = centre_y(ny);
                if (!diagonal && !style.rounded) {
                    stamp(f, std::min(ax, bx) - r, std::min(ay, by) - r, std::max(ax, bx) + r, std::max(ay, by) + r, margin,
                          [&](float px, float py) {
                              return box(px, py, std::min(ax, bx) - r, std::min(ay, by) - r, std::max(ax, bx) + r,
                                         std::max(ay, by) + r);
                          });
                } else {
                    float rr = diagonal ? r * 0.92f : r;
                    stamp(f, std::min(ax, bx) - rr, std::min(ay, by) - rr, std::max(ax, bx) + rr, std::max(ay, by) + rr,
                          margin, [&](float px, float py) { return segment(px, py, ax, ay, bx, by, rr); });
                }
            }
        }
    measure_depth(f);
    return f;
}

namespace {
const int bayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// The 8-bit value a 5- or 6-bit level stands for (the top bits repeated below).
int expand(int level, int bits) { return (level << (8 - bits)) | (level >> (2 * bits - 8)); }

// One component to a level of `bits` bits, with ordered dithering between the two
// nearest levels; a colour that is exactly a level stays flat.
int dither(float v, int bits, int x, int y) {
    int top = (1 << bits) - 1;
    v = clamp01(v);
    int k = 0;
    while (k < top && expand(k + 1, bits) / 255.0f <= v) ++k;
    if (k == top) return top;
    float low = expand(k, bits) / 255.0f, high = expand(k + 1, bits) / 255.0f;
    float t = (bayer4[y & 3][x & 3] + 0.5f) / 16.0f;
    return (v - low) / (high - low) > t ? k + 1 : k;
}
}  // namespace

Quantised quantise(const Canvas& c, float threshold) {
    Quantised q{c.w, c.h, std::vector<uint8_t>(size_t(c.w) * c.h * 3), std::vector<uint8_t>(size_t(c.w) * c.h)};
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const Colour& p = c.at(x, y);
            uint8_t* out = &q.rgb[(size_t(y) * c.w + x) * 3];
            if (p.a < threshold) {
                out[0] = 255, out[1] = 0, out[2] = 255;
                continue;
            }
            q.opaque[size_t(y) * c.w + x] = 1;
            // Premultiplied colour is the colour over black.
            int r5 = dither(p.r, 5, x, y), g6 = dither(p.g, 6, x, y), b5 = dither(p.b, 5, x, y);
            // The 16-bit mask is r 31, g 0, b 31: a visible pixel must never land on it.
            if (r5 == 31 && g6 == 0 && b5 == 31) g6 = 1;
            out[0] = uint8_t(expand(r5, 5));
            out[1] = uint8_t(expand(g6, 6));
            out[2] = uint8_t(expand(b5, 5));
        }
    return q;
}

bool save_pcx_file(const Quantised& q, const std::string& path) {
    BITMAP* b = create_bitmap_ex(24, q.w, q.h);
    if (!b) return false;
    for (int y = 0; y < q.h; ++y)
        for (int x = 0; x < q.w; ++x) {
            const uint8_t* p = &q.rgb[(size_t(y) * q.w + x) * 3];
            putpixel(b, x, y, makecol24(p[0], p[1], p[2]));
        }
    bool ok = save_pcx(path.c_str(), b, nullptr) == 0;
    destroy_bitmap(b);
    return ok;
}
