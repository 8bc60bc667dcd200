// SPDX-License-Identifier: GPL-3.0-or-later
// The title picture: the game's name in big chrome-and-fire letters over a small
// battle scene (the ship firing up at two invaders, one of them hit).
#include "art.h"
#include "pictures.h"

namespace {
constexpr int title_w = 680, title_h = 214;
const char* const name = "ZUDADUVIZ";

// A four-pointed twinkle.
void sparkle(Canvas& c, float x, float y, float size) {
    Field star(c.w, c.h, [&](float px, float py) {
        return std::min(segment(px, py, x - size, y, x + size, y, 0.7f), segment(px, py, x, y - size, x, y + size, 0.7f));
    });
    c.halo(star, rgb(200, 220, 255), 3, 0.5f);
    c.paint(star, rgb(255, 255, 255));
}

void draw_scene(Canvas& c) {
    const float mid = title_w / 2.0f;
    // A thin glowing horizon under the letters.
    Field horizon(title_w, title_h, [&](float x, float y) {
        float fade = std::fabs(x - mid) / 300.0f;
        return segment(x, y, mid - 300, 118, mid + 300, 118, 0.9f * (1 - fade)) + fade * 1.5f;
    });
    c.halo(horizon, rgb(255, 120, 60), 5, 0.6f);
    c.paint(horizon, rgb(255, 210, 150));

    Canvas ship = ship_picture(1);
    c.draw(ship, int(mid) - ship.w / 2, title_h - ship.h);
    // Two missiles on their way up.
    Canvas rocket = shot_picture(0, 1);
    c.draw(rocket, int(mid) - 4 - 14, 128);
    c.draw(rocket, int(mid) - 4 + 14, 140);
    Canvas left = invader_picture(0, 0);
    c.draw(left, int(mid) - 180 - left.w / 2, 132);
    Canvas right = invader_picture(1, 1);
    c.draw(right, int(mid) + 170 - right.w / 2, 128);
    Canvas bang = explosion_picture(4);
    c.draw(bang, int(mid) + 170 - bang.w / 2 + 30, 140 - bang.h / 2);
    Canvas bolt = shot_picture(3, 0);
    c.draw(bolt, int(mid) - 180 - bolt.w / 2, 180);
}

void draw_name(Canvas& c) {
    Lettering style;
    style.cell = 8.0f;
    style.cell_y = 11.0f;
    style.weight = 1.15f;
    float width = lettering_width(name, style);
    float left = title_w / 2.0f - width / 2, top = 12;
    float bottom = top + 8 * style.cell_y;
    Field letters = lettering(title_w, title_h, name, left, top, style);
    // Shadow, glow and a thick dark rim first, then the lettering itself.
    Field shadow(title_w, title_h, 0.0f);
    for (int y = 0; y < title_h; ++y)
        for (int x = 0; x < title_w; ++x) shadow.ref(x, y) = letters.at(x - 6, y - 7);
    c.paint(grow(shadow, 3), with_alpha(rgb(20, 0, 40), 0.85f));
    c.halo(letters, rgb(255, 60, 160), 16, 0.55f);
    c.paint(grow(letters, 3.5f), rgb(30, 6, 40));
    c.paint(grow(letters, 2.0f), rgb(255, 240, 200));
    c.paint(letters, [&](const Spot& s) {
        float t = clamp01((s.py - top) / (bottom - top));
        // Chrome sky in the upper half, molten gold below the horizon line.
        Colour base;
        if (t < 0.5f)
            base = mix(rgb(120, 200, 255), rgb(250, 252, 255), t / 0.5f);
        else
            base = mix(rgb(255, 200, 40), rgb(200, 50, 20), (t - 0.5f) / 0.5f);
        if (std::fabs(t - 0.5f) < 0.025f) base = rgb(90, 30, 60);
        return lit(base, bevel_light(s, 4.5f), 0.6f);
    });
    sparkle(c, left + 8, top + 6, 9);
    sparkle(c, left + width - 40, bottom - 10, 7);
    sparkle(c, left + width * 0.45f, top + 2, 6);
}
}  // namespace

Canvas title_picture() {
    Canvas c(title_w, title_h);
    draw_scene(c);
    draw_name(c);
    return c;
}
