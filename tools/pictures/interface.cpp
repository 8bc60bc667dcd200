// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the menus and dialogs: the two mouse pointers, the play button,
// the quit dialog and the game-over panel.
#include "art.h"
#include "pictures.h"

namespace {
// An arrow with its tip on the top-left pixel: '#' outline, 'o' fill.
const char* const arrow[] = {
    "#...........",
    "##..........",
    "#o#.........",
    "#oo#........",
    "#ooo#.......",
    "#oooo#......",
    "#ooooo#.....",
    "#oooooo#....",
    "#ooooooo#...",
    "#oooooooo#..",
    "#ooooooooo#.",
    "#oooooo#####",
    "#ooo#oo#....",
    "#oo##oo#....",
    "#o#..#oo#...",
    "##...#oo#...",
    "#.....#oo#..",
    "......#oo#..",
    ".......##...",
};

// The arrow, its fill shaded from `light` at the tip to `dark` at the tail.
Canvas pointer(Colour light, Colour dark, Colour rim) {
    const int w = 12, h = 19;
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            char p = arrow[y][x];
            if (p == '#') c.blend(x, y, rim, 1);
            if (p == 'o') c.blend(x, y, mix(light, dark, clamp01((x + y) / 22.0f)), 1);
        }
    return c;
}

// The words the pictures hold, by language (the data file's set): French, English.
const char* const play_words[] = {"JOUER", "PLAY"};
const char* const quit_question[] = {"Quitter la partie ?", "Quit the game?"};
const char* const yes_words[] = {"Oui", "Yes"};
const char* const no_words[] = {"Non", "No"};
const char* const game_over_words[] = {"PARTIE TERMINEE", "GAME OVER"};

// Rims of the quit dialog's three areas: colours of the 16-bit grid, so each rim is
// one flat colour that marks the area's exact extent.
const Colour button_rim = rgb(8, 8, 16);
const Colour close_rim = rgb(57, 4, 8);

// Text centred on x = cx with its top at y.
Field centred_text(int w, int h, const char* text, float cx, float y, const Lettering& style) {
    return lettering(w, h, text, cx - lettering_width(text, style) / 2, y, style);
}

// Text lit from the top: `top` colour over `bottom`, with a dark rim and a drop shadow.
void draw_text(Canvas& c, const Field& text, Colour top, Colour bottom, float y0, float y1, Colour rim, float shadow) {
    if (shadow > 0) {
        Field moved(c.w, c.h, 0.0f);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) moved.ref(x, y) = text.at(x - int(shadow), y - int(shadow));
        c.paint(grow(moved, 1.0f), with_alpha(rgb(0, 0, 0), 0.7f));
    }
    c.paint(grow(text, 1.0f), rim);
    c.paint(text, [=](const Spot& s) {
        Colour base = mix(top, bottom, clamp01((s.py - y0) / (y1 - y0)));
        return lit(base, bevel_light(s, 2.0f), 0.3f);
    });
}
}  // namespace

Canvas menu_pointer_picture() { return pointer(rgb(255, 255, 255), rgb(150, 190, 255), rgb(10, 10, 30)); }

Canvas quit_pointer_picture() { return pointer(rgb(255, 250, 200), rgb(255, 190, 60), rgb(20, 10, 0)); }

Canvas play_button_picture(int state, int language) {
    const int w = 160, h = 48;
    Canvas c(w, h);
    bool pressed = state == 2, hover = state == 1;
    Field frame(w, h, [](float x, float y) { return box(x, y, 0, 0, w, h, 10); });
    Field face(w, h, [](float x, float y) { return box(x, y, 3, 3, w - 3, h - 3, 8); });
    Colour rim = hover ? rgb(140, 230, 255) : pressed ? rgb(60, 110, 170) : rgb(70, 120, 200);
    c.paint(frame, [&](const Spot& s) { return lit(rim, bevel_light(s, 3), 0.5f); });
    Colour top = pressed ? rgb(20, 60, 120) : hover ? rgb(60, 150, 255) : rgb(40, 100, 210);
    Colour bottom = pressed ? rgb(30, 90, 170) : hover ? rgb(20, 70, 180) : rgb(14, 44, 120);
    c.paint(face, [&](const Spot& s) {
        Colour base = mix(top, bottom, clamp01((s.py - 3) / (h - 6)));
        // A pressed button is sunk: its light comes from below.
        float light = bevel_light(s, 5);
        if (pressed) light = 1.32f - light;
        Colour col = lit(base, light, 0.0f);
        // Glassy reflection on the upper half.
        if (!pressed && s.py < h / 2.0f) col = mix(col, rgb(255, 255, 255), 0.12f);
        return col;
    });
    Lettering style;
    style.cell = 3.2f;
    style.weight = 1.15f;
    float dy = pressed ? 1.5f : 0.0f;
    Field text = centred_text(w, h, play_words[language], w / 2.0f + dy, 11 + dy, style);
    if (hover) c.halo(text, rgb(255, 230, 120), 6, 0.5f);
    Colour text_top = hover ? rgb(255, 255, 210) : pressed ? rgb(190, 200, 220) : rgb(255, 255, 255);
    Colour text_bottom = hover ? rgb(255, 200, 60) : pressed ? rgb(130, 150, 180) : rgb(190, 215, 255);
    draw_text(c, text, text_top, text_bottom, 11 + dy, 37 + dy, rgb(8, 20, 50), pressed ? 0 : 2);
    return c;
}

Canvas quit_dialog_picture(int language) {
    const int w = 301, h = 151;
    Canvas c(w, h);
    // Window body, its corners rounded, a light border all round.
    Field window(w, h, [](float x, float y) { return box(x, y, 0, 0, w, h, 5); });
    c.paint(window, rgb(150, 170, 210));
    Field inside(w, h, [](float x, float y) { return box(x, y, 1, 1, w - 1, h - 1, 4); });
    c.paint(inside, [](const Spot& s) { return mix(rgb(40, 48, 80), rgb(22, 26, 48), s.py / h); });
    // Title bar, rows 1 to 22.
    Field bar(w, h, [](float x, float y) { return std::max(box(x, y, 1, 1, w - 1, 23, 4), y - 23.0f); });
    c.paint(bar, [](const Spot& s) { return mix(rgb(70, 110, 200), rgb(30, 60, 140), clamp01((s.py - 1) / 22)); });
    Field bar_line(w, h, [](float x, float y) { return pixel_box(x, y, 1, 23, w - 2, 23); });
    c.paint(bar_line, rgb(120, 150, 220));
    Lettering small;
    small.cell = 1.0f;
    small.rounded = false;
    small.weight = 1.0f;
    Field title = lettering(w, h, "ZUDADUVIZ", 9, 8, small);
    c.paint(grow(title, 0.0f), rgb(230, 240, 255));

    // Question, centred in the body.
    Lettering big;
    big.cell = 1.5f;
    big.rounded = true;
    big.weight = 1.15f;
    Field question = centred_text(w, h, quit_question[language], w / 2.0f, 46, big);
    c.paint(grow(question, 0.6f), rgb(8, 10, 24));
    c.paint(question, rgb(245, 240, 200));

    // A button filling its area exactly: dark rim on the area's edge, raised face inside.
    auto button = [&](int left, int top, int right, int bottom, const char* label, Colour face) {
        Field area(w, h, [=](float x, float y) { return pixel_box(x, y, left, top, right, bottom); });
        c.paint(area, button_rim);
        Field body(w, h, [=](float x, float y) { return pixel_box(x, y, left + 1, top + 1, right - 1, bottom - 1); });
        c.paint(body, [=](const Spot& s) {
            Colour base = mix(face, shade(face, 0.6f), clamp01((s.py - top) / float(bottom - top)));
            float edge = std::min(std::min(s.px - left - 1, right - s.px), std::min(s.py - top - 1, bottom - s.py));
            if (edge < 1.0f) {
                bool lit_side = (s.px - left - 1 < 1.0f) || (s.py - top - 1 < 1.0f);
                base = lit_side ? mix(face, rgb(255, 255, 255), 0.45f) : shade(face, 0.45f);
            }
            return base;
        });
        Lettering label_style;
        label_style.cell = 1.25f;
        label_style.weight = 1.2f;
        Field text = centred_text(w, h, label, (left + right + 1) / 2.0f, (top + bottom + 1) / 2.0f - 5.0f, label_style);
        c.paint(grow(text, 0.7f), rgb(10, 10, 20));
        c.paint(text, rgb(255, 255, 255));
    };
    button(57, 82, 98, 110, yes_words[language], rgb(60, 170, 80));
    button(163, 82, 204, 110, no_words[language], rgb(200, 70, 60));

    // Close box: a dark rim on the area's edge, a red face and a white cross.
    Field close_area(w, h, [](float x, float y) { return pixel_box(x, y, 240, 1, 260, 21); });
    c.paint(close_area, close_rim);
    Field close_face(w, h, [](float x, float y) { return pixel_box(x, y, 241, 2, 259, 20); });
    c.paint(close_face, [](const Spot& s) { return mix(rgb(240, 90, 70), rgb(160, 30, 30), clamp01((s.py - 2) / 18)); });
    Field cross(w, h, [](float x, float y) {
        return std::min(segment(x, y, 245.5f, 6.5f, 255.5f, 16.5f, 1.2f), segment(x, y, 255.5f, 6.5f, 245.5f, 16.5f, 1.2f));
    });
    c.paint(cross, rgb(255, 245, 240));
    return c;
}

Canvas game_over_picture(int language) {
    const int w = 460, h = 92;
    Canvas c(w, h);
    Field panel(w, h, [](float x, float y) { return box(x, y, 0, 0, w, h, 12); });
    Field inner(w, h, [](float x, float y) { return box(x, y, 4, 4, w - 4, h - 4, 9); });
    c.paint(panel, [](const Spot& s) { return lit(rgb(170, 40, 40), bevel_light(s, 4), 0.5f); });
    c.paint(inner, [](const Spot& s) { return mix(rgb(30, 10, 20), rgb(10, 4, 12), s.py / h); });
    Lettering style;
    style.cell = 3.3f;
    style.weight = 1.1f;
    const char* text = game_over_words[language];
    float left = w / 2.0f - lettering_width(text, style) / 2;
    Field words = lettering(w, h, text, left, 33, style);
    // The font's own capital E acute is squeezed to lower-case size: put the accent on by hand.
    if (language == 0) {
        float ax = left + lettering_column(text, 13 * 8 + 3, style);
        Field accent(w, h, [&](float x, float y) { return segment(x, y, ax, 33 - 2.5f, ax + 2.2f * style.cell, 33 - 8.5f, 1.7f); });
        words = unite(words, accent);
    }
    c.halo(words, rgb(255, 60, 30), 10, 0.45f);
    draw_text(c, words, rgb(255, 240, 160), rgb(255, 90, 40), 27, 60, rgb(40, 6, 6), 2);
    return c;
}
