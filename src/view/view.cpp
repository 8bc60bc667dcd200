// SPDX-License-Identifier: GPL-3.0-or-later
// The present step: the 16-bit picture onto the screen, scaled, centred and converted to
// the screen's pixels in one pass.
#include <algorithm>
#include <cstring>

#include "view/view.h"

const View* pointer_view = nullptr;

int pointer_x() { return pointer_view ? pointer_view->picture_x(mouse_x) : mouse_x; }
int pointer_y() { return pointer_view ? pointer_view->picture_y(mouse_y) : mouse_y; }

int largest_scale(int room_width, int room_height, int picture_width, int picture_height) {
    return std::max(1, std::min(room_width / picture_width, room_height / picture_height));
}

View::View(int picture_width, int picture_height)
    : picture_width(picture_width), picture_height(picture_height), left(0), top(0), shown_width(picture_width),
      shown_height(picture_height), depth(0), pointer_left(0), pointer_top(0), pointer_right(picture_width - 1),
      pointer_bottom(picture_height - 1), notice_frames(0) {
    place(picture_width, picture_height, 1, false);
}

void View::place(int screen_width, int screen_height, int scale, bool fill) {
    // A screen smaller than the picture gets it shrunk: nothing is ever drawn off the screen.
    if (fill || picture_width > screen_width || picture_height > screen_height) {
        shown_width = std::min(screen_width, screen_height * picture_width / picture_height);
        shown_height = shown_width * picture_height / picture_width;
    } else {
        const int fits = largest_scale(screen_width, screen_height, picture_width, picture_height);
        const int whole = std::clamp(scale, 1, fits);
        shown_width = picture_width * whole;
        shown_height = picture_height * whole;
    }
    left = (screen_width - shown_width) / 2;
    top = (screen_height - shown_height) / 2;
    columns.resize(shown_width);
    for (int x = 0; x < shown_width; x++) columns[x] = x * picture_width / shown_width;
}

// Allegro's own 16-bit components, so that a colour looks as Allegro's converting blit shows it.
void View::match(int screen_depth) {
    depth = screen_depth;
    colours.resize(1 << 16);
    for (int c = 0; c < 1 << 16; c++) colours[c] = makecol_depth(depth, getr16(c), getg16(c), getb16(c));
}

namespace {

// Row by row straight into the bitmap's lines (the line access would have the X11 driver send
// one update per line); a screen row that shows the same picture row as the one above is a
// copy of it.
template <typename Pixel>
void present_as(const View& view, BITMAP* picture, BITMAP* target) {
    const uint32_t* colours = view.colours.data();
    const int scale = view.whole_scale();
    int last_row = -1;
    const Pixel* last = nullptr;
    for (int y = 0; y < view.shown_height; y++) {
        const int row = y * view.picture_height / view.shown_height;
        Pixel* out = reinterpret_cast<Pixel*>(target->line[view.top + y]) + view.left;
        if (row == last_row) {
            std::memcpy(out, last, view.shown_width * sizeof(Pixel));
        } else {
            const uint16_t* in = reinterpret_cast<const uint16_t*>(picture->line[row]);
            const int width = view.picture_width;
            switch (scale) {
                case 1:
                    for (int x = 0; x < width; x++) out[x] = Pixel(colours[in[x]]);
                    break;
                case 2:
                    for (int x = 0; x < width; x++) out[2 * x] = out[2 * x + 1] = Pixel(colours[in[x]]);
                    break;
                case 3:
                    for (int x = 0; x < width; x++)
                        out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = Pixel(colours[in[x]]);
                    break;
                default:
                    for (int x = 0; x < view.shown_width; x++) out[x] = Pixel(colours[in[view.columns[x]]]);
            }
        }
        last_row = row;
        last = out;
    }
}

// Nothing but a skip per line: drawing it costs next to nothing, yet the driver sends the
// X server its whole rectangle, once.
RLE_SPRITE* see_through_sprite(int depth, int width, int height) {
    BITMAP* blank = create_bitmap_ex(depth, width, height);
    if (!blank) return nullptr;
    clear_to_color(blank, bitmap_mask_color(blank));
    RLE_SPRITE* sprite = get_rle_sprite(blank);
    destroy_bitmap(blank);
    return sprite;
}

template <typename Pixel>
void present_to(const View& view, BITMAP* picture, BITMAP* target) {
    if (is_memory_bitmap(target)) return present_as<Pixel>(view, picture, target);
    RLE_SPRITE* sprite = view.update_sprite.get();
    if (!sprite || sprite->color_depth != view.depth || sprite->w != view.shown_width ||
        sprite->h != view.shown_height) {
        view.update_sprite.reset(see_through_sprite(view.depth, view.shown_width, view.shown_height),
                                 [](RLE_SPRITE* s) { if (s) destroy_rle_sprite(s); });
        sprite = view.update_sprite.get();
    }
    acquire_bitmap(target);
    present_as<Pixel>(view, picture, target);
    release_bitmap(target);
    if (sprite) return draw_rle_sprite(target, sprite, view.left, view.top);
    // No memory for the sprite: a blit of the place onto itself sends the same one update.
    blit(target, target, view.left, view.top, view.left, view.top, view.shown_width, view.shown_height);
}

}  // namespace

void View::present(BITMAP* picture, BITMAP* target) const {
    const bool table_fits = !colours.empty() && bitmap_color_depth(target) == depth;
    if (table_fits && depth == 32) return present_to<uint32_t>(*this, picture, target);
    if (table_fits && (depth == 15 || depth == 16)) return present_to<uint16_t>(*this, picture, target);
    // A screen of another depth (where no other opens): Allegro scales, or converts unscaled.
    if (bitmap_color_depth(target) == bitmap_color_depth(picture))
        stretch_blit(picture, target, 0, 0, picture_width, picture_height, left, top, shown_width, shown_height);
    else
        blit(picture, target, 0, 0, left, top, picture_width, picture_height);
}

void View::keep_pointer_in(int left_edge, int top_edge, int right_edge, int bottom_edge) {
    pointer_left = left_edge;
    pointer_top = top_edge;
    pointer_right = right_edge;
    pointer_bottom = bottom_edge;
    set_mouse_range(screen_x(left_edge), screen_y(top_edge), screen_x(right_edge + 1) - 1,
                    screen_y(bottom_edge + 1) - 1);
}

void View::put_pointer(int x, int y) const { position_mouse(screen_x(x), screen_y(y)); }
