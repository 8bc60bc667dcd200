// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing kit for the generated pictures: a float canvas painted through signed
// distance fields (so every edge is antialiased), then quantised to what a 16-bit
// screen can show and saved as a PCX whose transparent pixels are exactly the mask.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Colour {
    float r, g, b, a;
};

// A colour from 0-255 components, fully opaque unless told otherwise.
inline Colour rgb(int r, int g, int b, float a = 1.0f) { return Colour{r / 255.0f, g / 255.0f, b / 255.0f, a}; }
inline Colour mix(Colour p, Colour q, float t) {
    return Colour{p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t, p.a + (q.a - p.a) * t};
}
// Brightness scaled, alpha kept.
inline Colour shade(Colour c, float k) { return Colour{c.r * k, c.g * k, c.b * k, c.a}; }
inline Colour with_alpha(Colour c, float a) { return Colour{c.r, c.g, c.b, a}; }

inline float clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
inline float smoothstep(float e0, float e1, float v) {
    float t = clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
constexpr float pi = 3.14159265358979f;

// A signed distance field sampled at every pixel centre: negative inside the
// shape, positive outside, in pixels.
class Field {
public:
    int w, h;
    std::vector<float> d;

    Field(int w, int h, float fill) : w(w), h(h), d(size_t(w) * h, fill) {}
    // Samples f(x, y) at each pixel centre (x + 0.5, y + 0.5).
    Field(int w, int h, const std::function<float(float, float)>& f);

    float at(int x, int y) const {
        x = x < 0 ? 0 : x >= w ? w - 1 : x;
        y = y < 0 ? 0 : y >= h ? h - 1 : y;
        return d[size_t(y) * w + x];
    }
    float& ref(int x, int y) { return d[size_t(y) * w + x]; }
    // Direction in which the distance grows (outward), not normalised.
    void gradient(int x, int y, float& gx, float& gy) const {
        gx = (at(x + 1, y) - at(x - 1, y)) * 0.5f;
        gy = (at(x, y + 1) - at(x, y - 1)) * 0.5f;
    }
};

Field unite(const Field& a, const Field& b);
Field intersect(const Field& a, const Field& b);
Field subtract(const Field& a, const Field& b);
// The shape grown by r pixels (shrunk when r is negative).
Field grow(const Field& a, float r);

// What a shader knows about the pixel it colours.
struct Spot {
    int x, y;       // pixel
    float px, py;   // pixel centre
    float d;        // signed distance to the shape's edge
    float gx, gy;   // outward gradient of the distance, normalised when possible
};
using Shader = std::function<Colour(const Spot&)>;

class Canvas {
public:
    int w, h;
    std::vector<Colour> px;  // premultiplied alpha

    Canvas(int w, int h) : w(w), h(h), px(size_t(w) * h, Colour{0, 0, 0, 0}) {}

    Colour& at(int x, int y) { return px[size_t(y) * w + x]; }
    const Colour& at(int x, int y) const { return px[size_t(y) * w + x]; }
    // Source-over with a straight-alpha colour, scaled by coverage.
    void blend(int x, int y, Colour c, float coverage);
    // Light added on top: brightens and makes more opaque, like a glow over black.
    void glow(int x, int y, Colour c, float amount);

    // Covers the shape's inside, with an antialiased edge, in the shader's colours.
    void paint(const Field& shape, const Shader& shader);
    void paint(const Field& shape, Colour c);
    // Adds light that fades with distance outside the shape (and is full inside).
    void halo(const Field& shape, Colour c, float radius, float strength);
    // Draws another canvas over this one at (ox, oy).
    void draw(const Canvas& other, int ox, int oy, float opacity = 1.0f);
};

// Colour of a bevelled surface at a spot: the shape is raised by `bevel` pixels
// at its edge and lit from the top left.
float bevel_light(const Spot& s, float bevel);
// Lit colour: `base` darkened or brightened by the light, with a white highlight.
Colour lit(Colour base, float light, float gloss = 0.35f);

// Shapes as distance functions of a point.
float circle(float x, float y, float cx, float cy, float r);
float ellipse(float x, float y, float cx, float cy, float rx, float ry);
float box(float x, float y, float x0, float y0, float x1, float y1, float radius = 0);
float segment(float x, float y, float ax, float ay, float bx, float by, float r);
// Closed polygon given as x0, y0, x1, y1, ...
float polygon(float x, float y, const std::vector<float>& pts);
// Exact union of pixel rectangles: inclusive pixel bounds, the field's edges fall
// on pixel boundaries so coverage is all or nothing.
float pixel_box(float x, float y, int left, int top, int right, int bottom);

// Bitmap-font lettering: Allegro's 8x8 font, each lit pixel a node of `cell`
// pixels joined to its neighbours by strokes, so diagonals come out smooth.
struct Lettering {
    float cell = 4;         // width of one font pixel
    float cell_y = 0;       // its height, when taller than wide (0: square)
    float weight = 1.0f;    // stroke width in font pixels
    bool rounded = true;    // round stroke ends, or square ones
    float height() const { return cell_y > 0 ? cell_y : cell; }
};
// Width in pixels that `text` takes with these settings.
float lettering_width(const char* text, const Lettering& style);
// Where the centre of font column `column` of `text` lands, from the text's left edge.
float lettering_column(const char* text, int column, const Lettering& style);
// Field of `text` with its top-left font pixel at (x, y).
Field lettering(int w, int h, const char* text, float x, float y, const Lettering& style);

// Small deterministic generator, so every build draws the same "random" details.
class Rng {
public:
    uint64_t state;
    explicit Rng(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi).
    float uniform(float lo, float hi) { return lo + (hi - lo) * float(next() >> 40) / float(1ull << 24); }
};

// The picture as the game will see it: each pixel is either the mask colour or
// an opaque colour of the 5-6-5 grid that never equals the mask.
struct Quantised {
    int w, h;
    std::vector<uint8_t> rgb;  // 3 bytes a pixel, mask pixels are 255, 0, 255
    std::vector<uint8_t> opaque;
};
// Pixels at least `threshold` covered become opaque, their partial coverage
// mixed with black (the play field's background); the rest become mask.
Quantised quantise(const Canvas& c, float threshold = 0.45f);
// Writes a 24-bit PCX through Allegro. Returns false on failure.
bool save_pcx_file(const Quantised& q, const std::string& path);
