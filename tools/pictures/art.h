// SPDX-License-Identifier: GPL-3.0-or-later
// Shared looks of the pictures: lit surfaces, glass, flames and glows.
#pragma once

#include "canvas.h"

// Brushed metal or painted plate: bevelled, lit from the top left, a little
// darker toward the bottom of the picture.
inline Shader plate(Colour base, float bevel, float height) {
    return [=](const Spot& s) {
        float fall = 1.0f - 0.25f * clamp01(s.py / height);
        return lit(shade(base, fall), bevel_light(s, bevel));
    };
}

// A dome of glass or a lens: a sphere-like body with a sharp highlight.
inline Shader glass(Colour base, float cx, float cy, float rx, float ry) {
    return [=](const Spot& s) {
        float dx = (s.px - cx) / rx, dy = (s.py - cy) / ry;
        float r2 = dx * dx + dy * dy;
        float nz = std::sqrt(clamp01(1 - r2));
        float light = clamp01(-0.45f * dx - 0.6f * dy + 0.66f * nz);
        Colour c = lit(base, light, 0.0f);
        float hx = dx + 0.35f, hy = dy + 0.45f;
        float spot = clamp01(1 - (hx * hx + hy * hy) / 0.08f);
        return mix(c, rgb(255, 255, 255), spot * 0.9f);
    };
}

// A ball lit from the top left, for round bodies (not see-through).
inline Shader ball(Colour base, float cx, float cy, float r, float gloss = 0.5f) {
    return [=](const Spot& s) {
        float dx = (s.px - cx) / r, dy = (s.py - cy) / r;
        float nz = std::sqrt(clamp01(1 - dx * dx - dy * dy));
        float light = clamp01(-0.45f * dx - 0.6f * dy + 0.66f * nz);
        return lit(base, light, gloss);
    };
}

// Heat colour from white-hot (0) through yellow and orange to dark red (1).
inline Colour heat(float t) {
    t = clamp01(t);
    if (t < 0.25f) return mix(rgb(255, 255, 235), rgb(255, 236, 120), t / 0.25f);
    if (t < 0.5f) return mix(rgb(255, 236, 120), rgb(255, 160, 40), (t - 0.25f) / 0.25f);
    if (t < 0.75f) return mix(rgb(255, 160, 40), rgb(230, 70, 20), (t - 0.5f) / 0.25f);
    return mix(rgb(230, 70, 20), rgb(120, 24, 16), (t - 0.75f) / 0.25f);
}

// A dark rim one pixel outside a shape, so sprites read over the star field.
inline void outline(Canvas& c, const Field& shape, Colour rim, float width = 1.2f) {
    c.paint(grow(shape, width), rim);
}
