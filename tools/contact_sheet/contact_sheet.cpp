// SPDX-License-Identifier: GPL-3.0-or-later
// make_contact_sheet DATAFILE OUT.pcx: loads the data file the way the game does
// (16-bit colour, mask colour transparent) and lays out every object on a dark
// background, each labelled with its index, so the pictures can be reviewed at a
// glance. Tunes show as a labelled box.
#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace {
constexpr int sheet_w = 1040;
constexpr int margin = 12, gap = 10, label_h = 12;
constexpr int tune_w = 64, tune_h = 40;

struct Cell {
    int index, x, y, w, h;
};

int object_w(const DATAFILE& object) { return object.type == DAT_BITMAP ? static_cast<BITMAP*>(object.dat)->w : tune_w; }
int object_h(const DATAFILE& object) { return object.type == DAT_BITMAP ? static_cast<BITMAP*>(object.dat)->h : tune_h; }

// Rows filled left to right in index order, each as high as its tallest cell.
std::vector<Cell> lay_out(const DATAFILE* data, int count, int& sheet_h) {
    std::vector<Cell> cells;
    int x = margin, y = margin, row_h = 0;
    for (int i = 0; i < count; ++i) {
        int w = std::max(object_w(data[i]), 24), h = object_h(data[i]) + label_h;
        if (x + w > sheet_w - margin && x > margin) {
            x = margin;
            y += row_h + gap;
            row_h = 0;
        }
        cells.push_back(Cell{i, x, y, w, h});
        x += w + gap;
        row_h = std::max(row_h, h);
    }
    sheet_h = y + row_h + margin;
    return cells;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_contact_sheet DATAFILE OUT.pcx\n");
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "make_contact_sheet: cannot start Allegro\n");
        return 1;
    }
    set_color_depth(16);
    DATAFILE* data = load_datafile(argv[1]);
    if (!data) {
        std::fprintf(stderr, "make_contact_sheet: cannot load %s\n", argv[1]);
        return 1;
    }
    int count = 0;
    while (data[count].type != DAT_END) ++count;

    int sheet_h = 0;
    std::vector<Cell> cells = lay_out(data, count, sheet_h);
    BITMAP* sheet = create_bitmap_ex(16, sheet_w, sheet_h);
    clear_to_color(sheet, makecol(16, 16, 26));
    int label = makecol(170, 180, 220), frame = makecol(44, 44, 64), tune = makecol(60, 40, 90);
    for (const Cell& c : cells) {
        const DATAFILE& object = data[c.index];
        textprintf_ex(sheet, font, c.x, c.y, label, -1, "%02d", c.index);
        int top = c.y + label_h;
        if (object.type == DAT_BITMAP) {
            BITMAP* b = static_cast<BITMAP*>(object.dat);
            // The picture's extent in a faint frame, its transparent pixels showing the background.
            rect(sheet, c.x - 1, top - 1, c.x + b->w, top + b->h, frame);
            draw_sprite(sheet, b, c.x, top);
        } else {
            rectfill(sheet, c.x, top, c.x + tune_w - 1, top + tune_h - 1, tune);
            rect(sheet, c.x, top, c.x + tune_w - 1, top + tune_h - 1, label);
            const char* kind = object.type == DAT_MIDI ? "MIDI" : object.type == DAT_SAMPLE ? "SAMP" : "?";
            textout_centre_ex(sheet, font, kind, c.x + tune_w / 2, top + tune_h / 2 - 4, makecol(255, 255, 255), -1);
        }
    }
    int failed = save_pcx(argv[2], sheet, nullptr);
    destroy_bitmap(sheet);
    unload_datafile(data);
    if (failed) {
        std::fprintf(stderr, "make_contact_sheet: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
