// The player's ship: a twin-engine fighter seen from above, nose up; the engine
// flames at the bottom of the picture flicker from frame to frame.
#include "art.h"
#include "pictures.h"

namespace {
constexpr int ship_w = 56, ship_h = 64;
constexpr float mid = ship_w / 2.0f;

// Two flames from the nozzles at y = 51, their length and width per frame.
void draw_flames(Canvas& c, int frame) {
    const float length[3] = {10.0f, 12.8f, 11.4f};
    const float width[3] = {3.4f, 3.0f, 3.8f};
    const float wobble[3] = {0.0f, 0.6f, -0.5f};
    for (int side = -1; side <= 1; side += 2) {
        float x = mid + side * 9.0f, top = 50.5f, len = length[frame] + (side > 0 ? 0.6f : -0.4f) * (frame == 1 ? -1 : 1);
        float tip_x = x + wobble[frame] * side;
        Field flame(ship_w, ship_h, [&](float px, float py) {
            float t = clamp01((py - top) / len);
            float r = width[frame] * (1 - t * 0.85f);
            float cx = x + (tip_x - x) * t;
            float d = std::fabs(px - cx) - r;
            return std::max(d, std::max(top - py, py - (top + len)));
        });
        c.halo(flame, rgb(255, 110, 30), 4.0f, 0.85f);
        c.paint(flame, [&](const Spot& s) {
            float t = clamp01((s.py - top) / len);
            float core = clamp01(1 + s.d / 2.0f);
            return with_alpha(heat(t * 0.9f + (1 - core) * 0.25f), 1.0f - t * 0.25f);
        });
    }
}
}  // namespace

Canvas ship_picture(int frame) {
    Canvas c(ship_w, ship_h);
    draw_flames(c, frame);

    Field fuselage(ship_w, ship_h, [](float x, float y) {
        float nose = ellipse(x, y, mid, 20, 6.5f, 19);
        float body = box(x, y, mid - 6.5f, 20, mid + 6.5f, 48, 3);
        return std::min(nose, body);
    });
    Field wings(ship_w, ship_h, [](float x, float y) {
        float wing = polygon(x, y, {mid, 16, 52, 38, 54, 46, 38, 46, mid, 42, 18, 46, 2, 46, 4, 38});
        float tips = std::min(box(x, y, 1, 30, 5, 48, 1.5f), box(x, y, ship_w - 5, 30, ship_w - 1, 48, 1.5f));
        return std::min(wing, tips);
    });
    Field engines(ship_w, ship_h, [](float x, float y) {
        return std::min(box(x, y, mid - 13, 30, mid - 5, 52, 2.5f), box(x, y, mid + 5, 30, mid + 13, 52, 2.5f));
    });
    Field hull = unite(unite(fuselage, wings), engines);

    outline(c, hull, rgb(14, 16, 30));
    c.paint(wings, plate(rgb(120, 130, 160), 3.0f, ship_h));
    // Red chevrons along the wings' leading edges.
    Field stripes = intersect(wings, Field(ship_w, ship_h, [](float x, float y) {
        float left = segment(x, y, mid - 6, 24, 6, 40, 1.6f);
        float right = segment(x, y, mid + 6, 24, ship_w - 6, 40, 1.6f);
        return std::min(left, right);
    }));
    c.paint(stripes, plate(rgb(220, 50, 40), 1.5f, ship_h));
    c.paint(engines, plate(rgb(90, 96, 120), 2.5f, ship_h));
    // Nozzles: dark rings glowing from inside.
    for (int side = -1; side <= 1; side += 2) {
        Field nozzle(ship_w, ship_h, [side](float x, float y) { return box(x, y, mid + side * 9 - 3.5f, 48, mid + side * 9 + 3.5f, 52, 1); });
        c.paint(nozzle, [](const Spot& s) { return mix(rgb(40, 30, 40), rgb(255, 150, 60), clamp01((s.py - 48) / 4)); });
    }
    c.paint(fuselage, plate(rgb(200, 208, 226), 4.0f, ship_h));
    // Panel line down the spine and across the body.
    Field spine = intersect(fuselage, Field(ship_w, ship_h, [](float x, float y) {
        return std::min(segment(x, y, mid, 30, mid, 46, 0.45f), segment(x, y, mid - 5, 37, mid + 5, 37, 0.45f));
    }));
    c.paint(spine, rgb(110, 116, 140));
    // Canopy.
    Field canopy(ship_w, ship_h, [](float x, float y) { return ellipse(x, y, mid, 20, 3.6f, 7.5f); });
    c.paint(grow(canopy, 0.8f), rgb(30, 34, 60));
    c.paint(canopy, glass(rgb(60, 150, 255), mid, 20, 3.6f, 7.5f));
    // Navigation lights on the wing tips: red left, green right, brighter on alternate frames.
    float blink = frame == 1 ? 1.0f : 0.55f;
    for (int side = -1; side <= 1; side += 2) {
        Colour light = side < 0 ? rgb(255, 60, 50) : rgb(70, 255, 110);
        Field lamp(ship_w, ship_h, [side](float x, float y) { return circle(x, y, mid + side * 25, 32, 1.4f); });
        c.halo(lamp, light, 3.5f, 0.6f * blink);
        c.paint(lamp, mix(light, rgb(255, 255, 255), 0.4f * blink));
    }
    return c;
}
