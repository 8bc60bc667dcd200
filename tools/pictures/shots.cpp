// SPDX-License-Identifier: GPL-3.0-or-later
// The shots: the ship's three weapons fly up, the invaders' bolt flies down.
// Three frames each, one size per weapon.
#include "art.h"
#include "pictures.h"

namespace {
float turn(int frame) { return 2 * pi * frame / 3.0f; }

// A small rocket, nose up, its flame flickering.
Canvas missile(int frame) {
    const int w = 8, h = 22;
    const float m = w / 2.0f;
    Canvas c(w, h);
    const float flame[3] = {4.5f, 6.5f, 5.5f};
    Field fire(w, h, [&](float x, float y) {
        float t = clamp01((y - 15) / flame[frame]);
        return std::max(std::fabs(x - m) - 1.8f * (1 - t * 0.8f), std::max(15 - y, y - 15 - flame[frame]));
    });
    c.halo(fire, rgb(255, 140, 40), 2, 0.7f);
    c.paint(fire, [&](const Spot& s) { return heat((s.py - 15) / flame[frame]); });
    Field fins(w, h, [&](float x, float y) { return polygon(std::fabs(x - m), y, {0, 10, 3.9f, 14, 3.9f, 16.5f, 0, 15}); });
    Field body(w, h, [&](float x, float y) { return std::min(box(x, y, m - 1.9f, 5, m + 1.9f, 15.5f, 0.5f), ellipse(x, y, m, 5.5f, 1.9f, 4.8f)); });
    c.paint(fins, plate(rgb(200, 50, 40), 1, h));
    c.paint(body, [&](const Spot& s) {
        Colour base = s.py < 6.5f ? rgb(230, 60, 50) : rgb(225, 228, 235);
        float round = 1.15f - 0.5f * std::fabs(s.px - m + 0.6f) / 2.0f;
        return shade(base, round);
    });
    return c;
}

// A ball of fire with a short flickering tail below it.
Canvas fireball(int frame) {
    const int w = 16, h = 22;
    const float m = w / 2.0f, cy = 8;
    Canvas c(w, h);
    float p = turn(frame);
    Field tail(w, h, [&](float x, float y) {
        float t = clamp01((y - cy) / 13.0f);
        float sway = std::sin(p + t * 5) * 1.2f * t;
        return std::max(std::fabs(x - m - sway) - 5.0f * (1 - t), cy - y);
    });
    c.halo(tail, rgb(255, 90, 20), 3, 0.6f);
    c.paint(tail, [&](const Spot& s) { return heat(0.35f + 0.6f * (s.py - cy) / 13.0f); });
    Field core(w, h, [&](float x, float y) {
        float a = std::atan2(y - cy, x - m);
        return circle(x, y, m, cy, 5.6f + 0.7f * std::sin(a * 5 + p));
    });
    c.halo(core, rgb(255, 160, 40), 3, 0.8f);
    c.paint(core, [&](const Spot& s) {
        float r = std::hypot(s.px - m + 1, s.py - cy + 1) / 6.0f;
        return heat(r * 0.55f);
    });
    return c;
}

// A crescent shock wave, bulging forward (up), shimmering blue-white.
Canvas choc(int frame) {
    const int w = 40, h = 16;
    const float m = w / 2.0f;
    Canvas c(w, h);
    float p = turn(frame);
    float thick = 2.2f + 0.5f * std::cos(p);
    Field wave(w, h, [&](float x, float y) {
        float ring = std::fabs(ellipse(x, y, m, 15, 18.5f, 12)) - thick;
        return std::max(ring, y - 13.0f);
    });
    Field inner(w, h, [&](float x, float y) {
        float ring = std::fabs(ellipse(x, y, m, 15.5f, 15.5f, 9)) - 1.0f;
        return std::max(ring, y - 12.0f);
    });
    c.halo(wave, rgb(80, 160, 255), 3, 0.8f);
    c.paint(wave, [&](const Spot& s) {
        float shimmer = 0.5f + 0.5f * std::sin((s.px - m) * 0.7f + p * 2);
        Colour base = mix(rgb(90, 170, 255), rgb(220, 240, 255), clamp01(-s.d / thick));
        return mix(base, rgb(255, 255, 255), shimmer * 0.35f);
    });
    c.paint(inner, with_alpha(rgb(150, 210, 255), 0.8f));
    return c;
}

// The invaders' bolt: a hot red head at the bottom, a fading trail above.
Canvas bolt(int frame) {
    const int w = 8, h = 18;
    const float m = w / 2.0f;
    Canvas c(w, h);
    float p = turn(frame);
    Field trail(w, h, [&](float x, float y) {
        float t = clamp01((13 - y) / 12.0f);
        float sway = std::sin(p + t * 6) * 0.8f * t;
        return std::max(std::fabs(x - m - sway) - 2.0f * (1 - t * 0.8f), std::max(y - 13.0f, 1.0f - y));
    });
    c.halo(trail, rgb(255, 40, 40), 2, 0.6f);
    c.paint(trail, [&](const Spot& s) { return mix(rgb(255, 110, 90), rgb(170, 20, 40), clamp01((13 - s.py) / 12.0f)); });
    float r = 3.0f + 0.35f * std::cos(p);
    Field head(w, h, [&](float x, float y) { return circle(x, y, m, 13.5f, r); });
    c.halo(head, rgb(255, 60, 50), 3, 0.9f);
    c.paint(head, [&](const Spot& s) { return mix(rgb(255, 245, 235), rgb(255, 60, 50), clamp01(std::hypot(s.px - m, s.py - 13.5f) / r)); });
    return c;
}
}  // namespace

Canvas shot_picture(int weapon, int frame) {
    switch (weapon) {
    case 0: return missile(frame);
    case 1: return fireball(frame);
    case 2: return choc(frame);
    default: return bolt(frame);
    }
}

// A capsule glowing green, a band of light sweeping round it.
Canvas bonus_picture(int frame) {
    const int w = 24, h = 24;
    const float m = w / 2.0f;
    Canvas c(w, h);
    Field pill(w, h, [&](float x, float y) { return box(x, y, 5, 2.5f, 19, 21.5f, 7); });
    c.halo(pill, rgb(80, 255, 140), 3.5f, 0.55f);
    outline(c, pill, rgb(6, 40, 20), 1.0f);
    float sweep = -5 + frame * 6.0f;
    c.paint(pill, [&](const Spot& s) {
        float dx = (s.px - m) / 7.0f;
        float nz = std::sqrt(clamp01(1 - dx * dx));
        Colour base = s.py < m ? rgb(90, 230, 120) : rgb(40, 170, 90);
        Colour col = lit(base, clamp01(-0.5f * dx + 0.75f * nz), 0.5f);
        // The shine runs diagonally and moves down a step each frame.
        float band = std::fabs((s.py - m) - (s.px - m) * 0.6f - sweep);
        return mix(col, rgb(255, 255, 255), clamp01(1.6f - band) * 0.75f);
    });
    Field cross(w, h, [&](float x, float y) {
        return std::min(box(x, y, m - 1.5f, m - 5, m + 1.5f, m + 5), box(x, y, m - 5, m - 1.5f, m + 5, m + 1.5f));
    });
    c.paint(grow(cross, 0.8f), rgb(10, 70, 30));
    c.paint(cross, rgb(250, 255, 240));
    return c;
}
