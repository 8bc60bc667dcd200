// SPDX-License-Identifier: GPL-3.0-or-later
// The eleven invader looks, three frames each. Each look has its own silhouette,
// palette and motion (legs, wings, lights or a pulsing core), and its frames share
// one size.
#include "art.h"
#include "pictures.h"

namespace {
// Phase of a frame on a loop of three: 0, 1/3, 2/3 of a turn.
float turn(int frame) { return 2 * pi * frame / 3.0f; }

// Look 0: the classic arcade crab, claws waving, antennae blinking.
Canvas crab(int frame) {
    const int w = 54, h = 42;
    const float m = w / 2.0f;
    Canvas c(w, h);
    float claw = std::sin(turn(frame)) * 4.0f;
    Field body(w, h, [&](float x, float y) {
        float dx = std::fabs(x - m);
        float dome = std::min(ellipse(x, y, m, 19, 15, 12), box(x, y, m - 15, 17, m + 15, 29, 4));
        float arm = segment(dx, y, 12, 23, 21, 27 + claw * 0.5f, 2.2f);
        float pincer = std::min(segment(dx, y, 21, 27 + claw * 0.5f, 24, 19 + claw, 1.8f),
                                segment(dx, y, 21, 27 + claw * 0.5f, 25.5f, 31 + claw, 1.8f));
        float antenna = segment(dx, y, 5, 9, 10, 2, 1.1f);
        return std::min(std::min(dome, std::min(arm, pincer)), antenna);
    });
    Field legs(w, h, [&](float x, float y) {
        float dx = std::fabs(x - m);
        float splay = frame == 1 ? 2.5f : frame == 2 ? -1.0f : 0.5f;
        return std::min(segment(dx, y, 4, 28, 6 + splay, 38, 1.8f), segment(dx, y, 11, 28, 14 + splay, 39, 1.8f));
    });
    outline(c, unite(body, legs), rgb(8, 30, 10));
    c.paint(legs, plate(rgb(40, 150, 60), 1.5f, h));
    c.paint(body, plate(rgb(90, 220, 80), 3.5f, h));
    // Eyes that blink shut on the last frame.
    float open = frame == 2 ? 1.2f : 3.6f;
    Field eyes(w, h, [&](float x, float y) { return ellipse(std::fabs(x - m), y, 6, 18, 3.4f, open); });
    c.paint(grow(eyes, 1.0f), rgb(20, 50, 20));
    c.paint(eyes, glass(rgb(255, 230, 60), m + 6, 18, 3.4f, open));
    Field pupils(w, h, [&](float x, float y) { return frame == 2 ? 1.0f : circle(std::fabs(x - m), y, 6, 19, 1.3f); });
    c.paint(pupils, rgb(30, 20, 10));
    // Antenna tips light in turn.
    for (int side = -1; side <= 1; side += 2) {
        bool on = (frame + (side > 0)) % 2 == 0;
        Field tip(w, h, [&](float x, float y) { return circle(x, y, m + side * 10, 2.5f, 2.2f); });
        c.halo(tip, rgb(255, 240, 120), 3.5f, on ? 0.8f : 0.2f);
        c.paint(tip, on ? rgb(255, 250, 180) : rgb(150, 160, 60));
    }
    return c;
}

// Look 1: a flying saucer whose rim lights chase round.
Canvas saucer(int frame) {
    const int w = 74, h = 38;
    const float m = w / 2.0f;
    Canvas c(w, h);
    Field disc(w, h, [&](float x, float y) { return ellipse(x, y, m, 22, 35, 9.5f); });
    Field belly(w, h, [&](float x, float y) { return ellipse(x, y, m, 27, 20, 6.5f); });
    Field dome(w, h, [&](float x, float y) { return std::max(ellipse(x, y, m, 16, 14, 13), y - 20.0f); });
    outline(c, unite(unite(disc, belly), dome), rgb(14, 20, 30));
    c.paint(belly, plate(rgb(90, 100, 120), 2.5f, h));
    // Beam emitter under the belly, pulsing.
    Field emitter(w, h, [&](float x, float y) { return ellipse(x, y, m, 32, 6, 2.4f); });
    float pulse = 0.5f + 0.25f * (1 + std::cos(turn(frame)));
    c.halo(emitter, rgb(120, 255, 200), 4, pulse * 0.8f);
    c.paint(emitter, mix(rgb(60, 160, 120), rgb(220, 255, 240), pulse));
    c.paint(disc, [&](const Spot& s) {
        float band = std::fabs(s.py - 22) < 1.0f ? 0.75f : 1.0f;
        return lit(shade(rgb(200, 205, 220), band), bevel_light(s, 5));
    });
    c.paint(dome, glass(rgb(60, 210, 230), m, 15, 14, 13));
    // A small pilot inside the dome.
    Field pilot(w, h, [&](float x, float y) { return std::min(circle(x, y, m, 12, 3.2f), ellipse(x, y, m, 18, 5, 3)); });
    c.paint(pilot, with_alpha(rgb(40, 90, 60), 0.6f));
    for (int i = 0; i < 7; ++i) {
        float t = (i - 3) / 3.0f;
        float lx = m + t * 27.0f, ly = 22 + 5.5f * std::sqrt(clamp01(1 - t * t)) - 1.5f;
        bool on = i % 3 == frame;
        Field lamp(w, h, [&](float x, float y) { return circle(x, y, lx, ly, 1.8f); });
        if (on) c.halo(lamp, rgb(255, 220, 90), 4, 0.9f);
        c.paint(lamp, on ? rgb(255, 250, 200) : rgb(150, 90, 40));
    }
    return c;
}

// Look 2: an armoured beetle crawling head first, legs in a tripod gait.
Canvas beetle(int frame) {
    const int w = 52, h = 58;
    const float m = w / 2.0f;
    Canvas c(w, h);
    float step = frame == 1 ? 3.0f : frame == 2 ? -3.0f : 0.0f;
    Field legs(w, h, [&](float x, float y) {
        float best = 1e9f;
        for (int side = -1; side <= 1; side += 2)
            for (int k = 0; k < 3; ++k) {
                float s = ((k + (side > 0)) % 2 ? step : -step);
                float ay = 16 + k * 10.0f, kx = m + side * 20, ky = ay - 2 + s, fx = m + side * 24, fy = ay + 6 + s;
                best = std::min(best, std::min(segment(x, y, m + side * 10, ay, kx, ky, 1.7f), segment(x, y, kx, ky, fx, fy, 1.3f)));
            }
        return best;
    });
    Field shell(w, h, [&](float x, float y) { return ellipse(x, y, m, 24, 16, 21); });
    Field head(w, h, [&](float x, float y) { return ellipse(x, y, m, 46, 8, 6); });
    float bite = frame == 0 ? 0.0f : frame == 1 ? 2.0f : 1.0f;
    Field jaws(w, h, [&](float x, float y) {
        float dx = std::fabs(x - m);
        return std::min(segment(dx, y, 4, 49, 6 + bite, 54, 1.5f), segment(dx, y, 6 + bite, 54, 2.5f + bite, 56.5f, 1.2f));
    });
    outline(c, unite(unite(legs, shell), unite(head, jaws)), rgb(30, 8, 6));
    c.paint(legs, plate(rgb(70, 40, 36), 1.5f, h));
    c.paint(jaws, plate(rgb(90, 60, 50), 1.2f, h));
    c.paint(head, plate(rgb(60, 40, 40), 3, h));
    c.paint(shell, [&](const Spot& s) {
        Colour base = rgb(230, 70, 40);
        float dx = s.px - m;
        float spots = std::min(std::min(circle(std::fabs(dx), s.py, 8, 14, 3.2f), circle(std::fabs(dx), s.py, 9, 30, 3.8f)),
                               circle(std::fabs(dx), s.py, 4, 38, 2.2f));
        if (spots < 0) base = rgb(40, 20, 20);
        if (std::fabs(dx) < 0.8f && s.py > 6) base = rgb(40, 14, 10);
        return lit(base, bevel_light(s, 7), 0.6f);
    });
    // Eyes glow brighter as the jaws open.
    Field eyes(w, h, [&](float x, float y) { return circle(std::fabs(x - m), y, 4, 46, 1.6f); });
    c.halo(eyes, rgb(255, 230, 60), 3, 0.3f + 0.25f * bite);
    c.paint(eyes, rgb(255, 235, 120));
    return c;
}

// Look 3: a manta ray gliding head down, wings beating.
Canvas manta(int frame) {
    const int w = 84, h = 50;
    const float m = w / 2.0f;
    Canvas c(w, h);
    float beat = 5.0f * std::sin(turn(frame) + 0.3f);
    Field body(w, h, [&](float x, float y) {
        float dx = std::fabs(x - m);
        float wing = polygon(dx, y, {0, 4, 12, 9, 39, 15 + beat, 41, 19 + beat, 24, 29, 10, 42, 0, 46});
        float tail = segment(x, y, m, 6, m, 0.8f, 0.9f);
        float horns = segment(dx, y, 5, 42, 7, 48, 1.4f);
        return std::min(std::min(wing, tail), horns);
    });
    outline(c, body, rgb(24, 8, 36));
    c.paint(body, [&](const Spot& s) {
        float dx = std::fabs(s.px - m);
        Colour base = mix(rgb(120, 60, 190), rgb(70, 40, 140), clamp01(dx / 40));
        float ridge = clamp01(1 - dx / 3.0f);
        base = mix(base, rgb(190, 140, 255), ridge * 0.6f);
        float rib = std::fabs(std::fmod(dx + 100, 6.0f) - 3.0f) < 0.6f && dx > 8 ? 0.85f : 1.0f;
        return lit(shade(base, rib), bevel_light(s, 4), 0.4f);
    });
    // Glowing spots along the wings pulse outward in turn.
    for (int k = 0; k < 3; ++k) {
        float bright = (k == frame) ? 1.0f : 0.35f;
        Field spots(w, h, [&](float x, float y) {
            float dx = std::fabs(x - m);
            float sx = 11 + k * 8.0f, sy = 16 + beat * (sx / 40) + 2;
            return circle(dx, y, sx, sy, 1.5f);
        });
        c.halo(spots, rgb(255, 90, 220), 3, 0.6f * bright);
        c.paint(spots, mix(rgb(150, 60, 160), rgb(255, 200, 250), bright));
    }
    Field eyes(w, h, [&](float x, float y) { return ellipse(std::fabs(x - m), y, 4.5f, 38, 1.8f, 2.4f); });
    c.halo(eyes, rgb(255, 60, 140), 3, 0.7f);
    c.paint(eyes, rgb(255, 190, 220));
    return c;
}

// Look 4: a glowing jellyfish, its core pulsing and tentacles swaying.
Canvas jellyfish(int frame) {
    const int w = 48, h = 64;
    const float m = w / 2.0f;
    Canvas c(w, h);
    float p = turn(frame);
    Field tentacles(w, h, [&](float x, float y) {
        float best = 1e9f;
        for (int k = 0; k < 5; ++k) {
            float x0 = m + (k - 2) * 7.0f;
            float px = x0, py = 26;
            for (int s = 1; s <= 6; ++s) {
                float t = s / 6.0f;
                float nx = x0 + (k - 2) * 2.0f * t + std::sin(p + t * 4.0f + k) * 3.0f * t;
                float ny = 26 + t * 35.0f;
                best = std::min(best, segment(x, y, px, py, nx, ny, 1.7f - 0.9f * t));
                px = nx, py = ny;
            }
        }
        return best;
    });
    float squeeze = 1.0f + 0.06f * std::cos(p);
    Field bell(w, h, [&](float x, float y) {
        float dome = std::max(ellipse(x, y, m, 20, 20 * squeeze, 18 / squeeze), y - 26.0f);
        float frill = 1e9f;
        for (int k = 0; k < 6; ++k) frill = std::min(frill, circle(x, y, m - 17.5f + k * 7.0f, 25.5f, 3.6f));
        return std::min(dome, std::max(frill, -ellipse(x, y, m, 20, 23, 40) - 0.0f));
    });
    c.halo(bell, rgb(255, 80, 200), 5, 0.35f);
    c.paint(tentacles, [&](const Spot& s) { return mix(rgb(250, 120, 220), rgb(140, 50, 170), clamp01((s.py - 26) / 36)); });
    outline(c, bell, rgb(60, 10, 60), 1.0f);
    c.paint(bell, [&](const Spot& s) {
        float rim = clamp01(1 + s.d / 3.0f);
        Colour base = mix(rgb(170, 60, 170), rgb(255, 170, 240), rim);
        return lit(base, bevel_light(s, 6), 0.8f);
    });
    float core_r = 5.0f + 1.6f * std::cos(p);
    Field core(w, h, [&](float x, float y) { return circle(x, y, m, 17, core_r); });
    c.halo(core, rgb(255, 230, 255), 6, 0.7f);
    c.paint(core, ball(rgb(255, 220, 250), m, 17, core_r, 0.8f));
    return c;
}

// Look 5: an armoured eye whose pupil widens and narrows.
Canvas eye(int frame) {
    const int w = 52, h = 52;
    const float m = w / 2.0f;
    Canvas c(w, h);
    Field shell(w, h, [&](float x, float y) {
        float body = circle(x, y, m, m, 20);
        float dx = std::fabs(x - m), dy = std::fabs(y - m);
        float spikes = std::min(segment(dx, dy, 12, 12, 22, 22, 2.2f), std::min(segment(x, y, m, 4, m, 1.5f, 2.5f), segment(x, y, m, 48, m, 50.5f, 2.5f)));
        return std::min(body, spikes);
    });
    outline(c, shell, rgb(6, 24, 26));
    c.paint(shell, plate(rgb(40, 120, 120), 4, h));
    Field white(w, h, [&](float x, float y) { return std::max(circle(x, y, m, m + 10, 19), circle(x, y, m, m - 10, 19)); });
    c.paint(grow(white, 1.2f), rgb(10, 30, 30));
    c.paint(white, [&](const Spot& s) {
        Colour base = rgb(245, 240, 230);
        float dx = s.px - m, dy = s.py - m;
        // Veins creep in from the corners.
        float vein = std::min(std::fabs(dy - 0.18f * dx * std::fabs(dx) / 8.0f), std::fabs(dy + 0.15f * dx * dx / 12.0f));
        if (vein < 0.45f && std::fabs(dx) > 9) base = rgb(220, 80, 80);
        return lit(base, bevel_light(s, 5), 0.3f);
    });
    const float pupil[3] = {3.0f, 4.6f, 3.8f};
    Field iris(w, h, [&](float x, float y) { return circle(x, y, m, m, 8); });
    c.paint(iris, [&](const Spot& s) {
        float r = std::hypot(s.px - m, s.py - m) / 8.0f;
        return mix(rgb(255, 80, 40), rgb(140, 10, 20), r);
    });
    Field hole(w, h, [&](float x, float y) { return ellipse(x, y, m, m, pupil[frame] * 0.7f, pupil[frame]); });
    c.paint(hole, rgb(10, 5, 8));
    Field shine(w, h, [&](float x, float y) { return circle(x, y, m - 3, m - 3.5f, 1.5f); });
    c.paint(shine, rgb(255, 255, 255));
    return c;
}

// Look 6: a dart fighter diving nose first, exhaust flickering, lights blinking.
Canvas dart(int frame) {
    const int w = 60, h = 58;
    const float m = w / 2.0f;
    Canvas c(w, h);
    const float flame[3] = {5.0f, 7.0f, 6.0f};
    for (int side = -1; side <= 1; side += 2) {
        Field exhaust(w, h, [&](float x, float y) {
            float t = clamp01((8 - y) / flame[frame]);
            return std::max(std::fabs(x - (m + side * 5)) - 2.4f * (1 - t * 0.7f), std::max(y - 8.0f, 8.0f - flame[frame] - y));
        });
        c.halo(exhaust, rgb(90, 170, 255), 3, 0.7f);
        c.paint(exhaust, [&](const Spot& s) { return mix(rgb(230, 245, 255), rgb(60, 120, 255), clamp01((8 - s.py) / flame[frame])); });
    }
    Field hull(w, h, [&](float x, float y) {
        float dx = std::fabs(x - m);
        return polygon(dx, y, {0, 57, 5, 38, 28, 20, 28, 10, 8, 16, 8, 8, 0, 8});
    });
    outline(c, hull, rgb(12, 12, 16));
    c.paint(hull, [&](const Spot& s) {
        float dx = std::fabs(s.px - m);
        Colour base = rgb(110, 112, 120);
        // Yellow and black hazard stripes on the wings.
        if (dx > 13 && s.py < 22 && s.py > 11) base = (int(std::floor((s.px + s.py) / 3.0f)) & 1) ? rgb(250, 200, 40) : rgb(30, 30, 30);
        if (dx < 2.5f && s.py < 40) base = rgb(150, 152, 165);
        return lit(base, bevel_light(s, 3.5f), 0.4f);
    });
    Field cockpit(w, h, [&](float x, float y) { return ellipse(x, y, m, 42, 3, 6); });
    c.paint(grow(cockpit, 0.8f), rgb(20, 10, 10));
    c.paint(cockpit, glass(rgb(240, 60, 50), m, 42, 3, 6));
    for (int side = -1; side <= 1; side += 2) {
        bool on = (frame == 0 && side < 0) || (frame == 1 && side > 0);
        Field lamp(w, h, [&](float x, float y) { return circle(x, y, m + side * 26.5f, 21, 1.6f); });
        if (on) c.halo(lamp, rgb(255, 80, 60), 4, 0.9f);
        c.paint(lamp, on ? rgb(255, 220, 200) : rgb(120, 40, 40));
    }
    return c;
}

// Look 7: a living crystal with a beating light inside and two shards in orbit.
Canvas crystal(int frame) {
    const int w = 48, h = 66;
    const float m = w / 2.0f;
    Canvas c(w, h);
    float p = turn(frame);
    Field gem(w, h, [&](float x, float y) { return polygon(x, y, {m, 2, m + 15, 22, m + 10, 52, m, 64, m - 10, 52, m - 15, 22}); });
    float core_r = 4.5f + 2.0f * std::cos(p);
    c.halo(gem, rgb(80, 220, 255), 6, 0.25f + 0.15f * std::cos(p));
    outline(c, gem, rgb(10, 30, 50), 1.0f);
    c.paint(gem, [&](const Spot& s) {
        float dx = s.px - m, y = s.py;
        // Facets: each face its own shade, as cut glass.
        float k;
        if (y < 22) k = dx < 0 ? 1.15f : 0.9f;
        else if (y < 52) k = dx < 0 ? (dx < -6 ? 0.95f : 1.05f) : (dx > 6 ? 0.6f : 0.8f);
        else k = dx < 0 ? 0.75f : 0.5f;
        Colour base = shade(rgb(90, 200, 240), k);
        float glow = clamp01(1 - std::hypot(dx, y - 30) / 18.0f);
        base = mix(base, rgb(230, 255, 255), glow * (0.5f + 0.25f * std::cos(p)));
        float edge = clamp01(1 + s.d / 1.2f);
        return mix(base, rgb(220, 250, 255), edge * 0.6f);
    });
    Field core(w, h, [&](float x, float y) { return circle(x, y, m, 30, core_r); });
    c.halo(core, rgb(255, 255, 255), 5, 0.8f);
    c.paint(core, rgb(250, 255, 255));
    for (int side = -1; side <= 1; side += 2) {
        float sy = 32 + side * 8 * std::sin(p);
        Field shard(w, h, [&](float x, float y) {
            float sx = m + side * 20;
            return polygon(x, y, {sx, sy - 6, sx + 3, sy, sx, sy + 6, sx - 3, sy});
        });
        outline(c, shard, rgb(10, 30, 50), 0.8f);
        c.paint(shard, [&](const Spot& s) { return lit(rgb(130, 220, 250), bevel_light(s, 2), 0.6f); });
    }
    return c;
}

// Look 8: a bat-winged demon, wings up, level and down in turn, red eyes.
Canvas bat(int frame) {
    const int w = 82, h = 50;
    const float m = w / 2.0f;
    Canvas c(w, h);
    const float lift[3] = {-9.0f, 1.0f, 9.0f};
    float l = lift[frame];
    Field wings(w, h, [&](float x, float y) {
        float dx = std::fabs(x - m);
        float wing = polygon(dx, y, {4, 16, 16, 10 + l * 0.4f, 30, 6 + l * 0.8f, 40, 10 + l, 38, 22 + l, 31, 19 + l * 0.8f,
                                     24, 25 + l * 0.6f, 16, 22 + l * 0.3f, 6, 30});
        return wing;
    });
    Field body(w, h, [&](float x, float y) {
        float dx = std::fabs(x - m);
        float torso = ellipse(x, y, m, 24, 7, 12);
        float head = circle(x, y, m, 13, 6.5f);
        float ears = polygon(dx, y, {1.5f, 10, 6, 1, 6.5f, 11});
        return std::min(std::min(torso, head), ears);
    });
    outline(c, unite(wings, body), rgb(16, 6, 22));
    c.paint(wings, [&](const Spot& s) {
        float dx = std::fabs(s.px - m);
        Colour base = rgb(110, 60, 150);
        // Finger bones radiating from the shoulder.
        float bones = std::min(std::min(segment(dx, s.py, 4, 16, 30, 6 + l * 0.8f, 0.7f), segment(dx, s.py, 4, 16, 40, 10 + l, 0.7f)),
                               segment(dx, s.py, 4, 16, 24, 25 + l * 0.6f, 0.7f));
        if (bones < 0) base = rgb(170, 120, 200);
        return lit(base, bevel_light(s, 2.5f), 0.2f);
    });
    c.paint(body, plate(rgb(80, 40, 100), 4, h));
    Field eyes(w, h, [&](float x, float y) { return ellipse(std::fabs(x - m), y, 2.6f, 13, 1.7f, 1.2f); });
    c.halo(eyes, rgb(255, 40, 30), 4, 0.8f);
    c.paint(eyes, rgb(255, 200, 160));
    Field fangs(w, h, [&](float x, float y) { return polygon(std::fabs(x - m), y, {0.6f, 17, 2.6f, 17, 1.6f, 20.5f}); });
    c.paint(fangs, rgb(250, 250, 240));
    return c;
}

// Look 9: a spiked mine turning on itself, its equator lights pulsing.
Canvas mine(int frame) {
    const int w = 54, h = 54;
    const float m = w / 2.0f;
    Canvas c(w, h);
    float spin = frame * (pi / 4) / 3.0f;
    Field spikes(w, h, [&](float x, float y) {
        float best = 1e9f;
        for (int k = 0; k < 8; ++k) {
            float a = spin + k * pi / 4, ca = std::cos(a), sa = std::sin(a);
            float ox = m + ca * 13, oy = m + sa * 13, tx = m + ca * 25.5f, ty = m + sa * 25.5f;
            best = std::min(best, polygon(x, y, {ox - sa * 4, oy + ca * 4, tx, ty, ox + sa * 4, oy - ca * 4}));
        }
        return best;
    });
    Field sphere(w, h, [&](float x, float y) { return circle(x, y, m, m, 15); });
    outline(c, unite(spikes, sphere), rgb(30, 16, 6));
    c.paint(spikes, plate(rgb(150, 140, 130), 2.0f, h));
    c.paint(sphere, ball(rgb(170, 100, 40), m, m, 15, 0.6f));
    float pulse = 0.55f + 0.45f * std::cos(turn(frame));
    Field band(w, h, [&](float x, float y) { return std::max(std::fabs(y - m) - 2.2f, circle(x, y, m, m, 14.2f)); });
    c.paint(band, rgb(50, 30, 20));
    for (int k = 0; k < 4; ++k) {
        float lx = m + (k - 1.5f) * 7.0f;
        Field lamp(w, h, [&](float x, float y) { return circle(x, y, lx, m, 1.5f); });
        c.halo(lamp, rgb(255, 120, 30), 3, pulse * 0.9f);
        c.paint(lamp, mix(rgb(140, 50, 20), rgb(255, 230, 150), pulse));
    }
    return c;
}

// Look 10: the mothership, gold armour around a beating blue core, guns pointing down.
Canvas mothership(int frame) {
    const int w = 90, h = 72;
    const float m = w / 2.0f;
    Canvas c(w, h);
    float p = turn(frame);
    // Three exhausts on the rear edge (the top: it flies down), flickering out of step.
    const float flame[3] = {4.5f, 6.5f, 5.5f};
    for (int k = -1; k <= 1; ++k) {
        float len = flame[(frame + k + 3) % 3];
        Field exhaust(w, h, [&](float x, float y) {
            float t = clamp01((8 - y) / len);
            return std::max(std::fabs(x - (m + k * 16)) - 3.5f * (1 - t * 0.7f), std::max(y - 8.0f, 8.0f - len - y));
        });
        c.halo(exhaust, rgb(120, 200, 255), 3, 0.8f);
        c.paint(exhaust, [&](const Spot& s) { return mix(rgb(240, 250, 255), rgb(80, 150, 255), clamp01((8 - s.py) / len)); });
    }
    Field hull(w, h, [&](float x, float y) {
        float dx = std::fabs(x - m);
        float main = polygon(dx, y, {0, 6, 26, 6, 36, 14, 44, 32, 40, 44, 24, 54, 12, 62, 0, 64});
        float guns = std::min(box(dx, y, 31, 40, 35, 58, 1), box(dx, y, 14, 58, 18, 70, 1));
        return std::min(main, guns);
    });
    outline(c, hull, rgb(30, 20, 6));
    c.paint(hull, [&](const Spot& s) {
        float dx = std::fabs(s.px - m);
        Colour base = rgb(214, 170, 70);
        // Navy armour panels inset in the gold.
        float panel = std::min(polygon(dx, s.py, {14, 12, 25, 12, 35, 30, 18, 30}), polygon(dx, s.py, {10, 38, 30, 38, 22, 48, 10, 52}));
        if (panel < 0) base = rgb(40, 60, 120);
        if (panel < 0 && panel > -1.0f) base = rgb(120, 100, 50);
        if ((dx > 31 && s.py > 40) || (dx > 13 && dx < 19 && s.py > 58)) base = rgb(90, 90, 100);
        return lit(base, bevel_light(s, 3), 0.5f);
    });
    float core_r = 8.0f + 1.5f * std::cos(p);
    Field ring(w, h, [&](float x, float y) { return circle(x, y, m, 30, 11.5f); });
    c.paint(ring, ball(rgb(120, 100, 60), m, 30, 11.5f, 0.4f));
    Field core(w, h, [&](float x, float y) { return circle(x, y, m, 30, core_r); });
    c.halo(core, rgb(100, 200, 255), 5, 0.6f + 0.3f * std::cos(p));
    c.paint(core, [&](const Spot& s) {
        float r = std::hypot(s.px - m, s.py - 30) / core_r;
        return mix(rgb(240, 255, 255), rgb(40, 120, 255), r * r);
    });
    for (int side = -1; side <= 1; side += 2) {
        bool on = (frame == 1);
        Field lamp(w, h, [&](float x, float y) { return circle(x, y, m + side * 8, 56, 1.6f); });
        c.halo(lamp, rgb(255, 70, 60), 3, on ? 0.9f : 0.3f);
        c.paint(lamp, on ? rgb(255, 220, 200) : rgb(150, 50, 40));
    }
    return c;
}
}  // namespace

Canvas invader_picture(int look, int frame) {
    switch (look) {
    case 0: return crab(frame);
    case 1: return saucer(frame);
    case 2: return beetle(frame);
    case 3: return manta(frame);
    case 4: return jellyfish(frame);
    case 5: return eye(frame);
    case 6: return dart(frame);
    case 7: return crystal(frame);
    case 8: return bat(frame);
    case 9: return mine(frame);
    default: return mothership(frame);
    }
}
