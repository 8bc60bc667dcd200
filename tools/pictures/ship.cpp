// SPDX-License-Identifier: GPL-3.0-or-later
// The player's ship: a twin-engine fighter seen from above, nose up; the engine
// flames at the bottom of the picture flicker from frame to frame. The same shapes
// draw the sprite and, scaled for each size, the application icon.
#include <algorithm>

#include "art.h"
#include "pictures.h"

namespace {
constexpr int ship_w = 56, ship_h = 64;
constexpr float mid = ship_w / 2.0f;

// Where the ship lands on a canvas: `scale` canvas pixels per ship pixel, the ship's
// top-left corner at (left, top). Shapes and shaders are written in ship pixels; the
// view turns them into canvas pixels (the sprite's view changes no value at all).
struct ShipView {
    int w, h;  // the canvas
    float scale, left, top;

    float len(float ship_pixels) const { return ship_pixels * scale; }
    // A field of a shape given in ship coordinates, its distances in canvas pixels.
    Field field(const std::function<float(float, float)>& shape) const {
        return Field(w, h, [&](float x, float y) { return shape((x - left) / scale, (y - top) / scale) * scale; });
    }
    // A shader that sees the spot in ship coordinates.
    Shader in_ship(Shader shader) const {
        return [=](const Spot& s) {
            Spot t = s;
            t.px = (s.px - left) / scale;
            t.py = (s.py - top) / scale;
            t.d = s.d / scale;
            return shader(t);
        };
    }
};

// Two flames from the nozzles at y = 51, their length and width per frame.
void draw_flames(Canvas& c, const ShipView& v, int frame) {
    const float length[3] = {10.0f, 12.8f, 11.4f};
    const float width[3] = {3.4f, 3.0f, 3.8f};
    const float wobble[3] = {0.0f, 0.6f, -0.5f};
    for (int side = -1; side <= 1; side += 2) {
        float x = mid + side * 9.0f, top = 50.5f, len = length[frame] + (side > 0 ? 0.6f : -0.4f) * (frame == 1 ? -1 : 1);
        float tip_x = x + wobble[frame] * side;
        Field flame = v.field([&](float px, float py) {
            float t = clamp01((py - top) / len);
            float r = width[frame] * (1 - t * 0.85f);
            float cx = x + (tip_x - x) * t;
            float d = std::fabs(px - cx) - r;
            return std::max(d, std::max(top - py, py - (top + len)));
        });
        c.halo(flame, rgb(255, 110, 30), v.len(4.0f), 0.85f);
        c.paint(flame, v.in_ship([&](const Spot& s) {
            float t = clamp01((s.py - top) / len);
            float core = clamp01(1 + s.d / 2.0f);
            return with_alpha(heat(t * 0.9f + (1 - core) * 0.25f), 1.0f - t * 0.25f);
        }));
    }
}

void draw_ship(Canvas& c, const ShipView& v, int frame) {
    draw_flames(c, v, frame);

    Field fuselage = v.field([](float x, float y) {
        float nose = ellipse(x, y, mid, 20, 6.5f, 19);
        float body = box(x, y, mid - 6.5f, 20, mid + 6.5f, 48, 3);
        return std::min(nose, body);
    });
    Field wings = v.field([](float x, float y) {
        float wing = polygon(x, y, {mid, 16, 52, 38, 54, 46, 38, 46, mid, 42, 18, 46, 2, 46, 4, 38});
        float tips = std::min(box(x, y, 1, 30, 5, 48, 1.5f), box(x, y, ship_w - 5, 30, ship_w - 1, 48, 1.5f));
        return std::min(wing, tips);
    });
    Field engines = v.field([](float x, float y) {
        return std::min(box(x, y, mid - 13, 30, mid - 5, 52, 2.5f), box(x, y, mid + 5, 30, mid + 13, 52, 2.5f));
    });
    Field hull = unite(unite(fuselage, wings), engines);

    // The rim stays at least a canvas pixel wide, so a small icon keeps its edge on any background.
    outline(c, hull, rgb(14, 16, 30), std::max(v.len(1.2f), 1.0f));
    c.paint(wings, v.in_ship(plate(rgb(120, 130, 160), 3.0f, ship_h)));
    // Red chevrons along the wings' leading edges.
    Field stripes = intersect(wings, v.field([](float x, float y) {
        float left = segment(x, y, mid - 6, 24, 6, 40, 1.6f);
        float right = segment(x, y, mid + 6, 24, ship_w - 6, 40, 1.6f);
        return std::min(left, right);
    }));
    c.paint(stripes, v.in_ship(plate(rgb(220, 50, 40), 1.5f, ship_h)));
    c.paint(engines, v.in_ship(plate(rgb(90, 96, 120), 2.5f, ship_h)));
    // Nozzles: dark rings glowing from inside.
    for (int side = -1; side <= 1; side += 2) {
        Field nozzle = v.field([side](float x, float y) { return box(x, y, mid + side * 9 - 3.5f, 48, mid + side * 9 + 3.5f, 52, 1); });
        c.paint(nozzle, v.in_ship([](const Spot& s) { return mix(rgb(40, 30, 40), rgb(255, 150, 60), clamp01((s.py - 48) / 4)); }));
    }
    c.paint(fuselage, v.in_ship(plate(rgb(200, 208, 226), 4.0f, ship_h)));
    // Panel line down the spine and across the body.
    Field spine = intersect(fuselage, v.field([](float x, float y) {
        return std::min(segment(x, y, mid, 30, mid, 46, 0.45f), segment(x, y, mid - 5, 37, mid + 5, 37, 0.45f));
    }));
    c.paint(spine, rgb(110, 116, 140));
    // Canopy.
    Field canopy = v.field([](float x, float y) { return ellipse(x, y, mid, 20, 3.6f, 7.5f); });
    c.paint(grow(canopy, v.len(0.8f)), rgb(30, 34, 60));
    c.paint(canopy, v.in_ship(glass(rgb(60, 150, 255), mid, 20, 3.6f, 7.5f)));
    // Navigation lights on the wing tips: red left, green right, brighter on alternate frames.
    float blink = frame == 1 ? 1.0f : 0.55f;
    for (int side = -1; side <= 1; side += 2) {
        Colour light = side < 0 ? rgb(255, 60, 50) : rgb(70, 255, 110);
        Field lamp = v.field([side](float x, float y) { return circle(x, y, mid + side * 25, 32, 1.4f); });
        c.halo(lamp, light, v.len(3.5f), 0.6f * blink);
        c.paint(lamp, mix(light, rgb(255, 255, 255), 0.4f * blink));
    }
}
}  // namespace

Canvas ship_picture(int frame) {
    Canvas c(ship_w, ship_h);
    draw_ship(c, ShipView{ship_w, ship_h, 1.0f, 0.0f, 0.0f}, frame);
    return c;
}

Canvas ship_icon(int size) {
    // A margin of a sixteenth of the size; at 16 pixels, where every pixel counts, only
    // half a pixel, and the ship half a pixel lower so that the nose's outline stays in.
    float margin = size > 16 ? size / 16.0f : 0.5f;
    float top = size > 16 ? margin : margin + 0.5f;
    float scale = (size - 2 * margin) / ship_h;
    Canvas c(size, size);
    draw_ship(c, ShipView{size, size, scale, (size - ship_w * scale) / 2, top}, 0);
    return c;
}
