// SPDX-License-Identifier: GPL-3.0-or-later
// How the picture reaches the screen: the view that scales and places the game's 16-bit
// picture on the window or the full screen, and the pointer read through it. The Game's
// display methods (the mode the settings choose, the keys that change it) live here too.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../input/input.h"

// The interface's colours, named once: texts, options and notices on every screen and the
// HUD. Each is the picture's 16-bit colour (makecol at the depth the picture is drawn in).
namespace colours {
inline int label() { return makecol(194, 194, 255); }  // option labels, the record
inline int value() { return makecol(255, 64, 64); }  // option values
inline int underline() { return makecol(129, 129, 246); }  // under an option's label
inline int hint() { return makecol(150, 150, 190); }  // the keys' lines, column heads
inline int bright() { return makecol(255, 255, 192); }  // notices, the HUD's words, the pause
}  // namespace colours

// How the game's 16-bit picture reaches the screen: scaled a whole number of times, or to
// "fill" (the largest 4:3 size, nearest pixels), centred on black; each pixel turned into
// the screen's own through one table, in the same pass. Allegro's mouse position is the
// screen's: the pointer is read and placed through the view too.
struct View {
    int picture_width, picture_height;
    // The picture's place on the screen, set by place().
    int left, top, shown_width, shown_height;
    // The picture's column shown in each screen column of the picture's place.
    std::vector<int> columns;
    // 16-bit colour -> the screen's pixel, for a screen of `depth` bits (made by match()).
    std::vector<uint32_t> colours;
    int depth;
    // Where the pointer is kept, in picture pixels, edges included.
    int pointer_left, pointer_top, pointer_right, pointer_bottom;
    // The display keys (Alt+Enter or F11; F9, F10) were down at the last look: one press, one change.
    PressEdge switch_keys, view_keys;
    // Frames before the new mode's name, shown above the picture, is blacked out.
    int notice_frames;
    // A see-through sprite the size of the picture's place, at the screen's depth: drawn after
    // the picture is written, it makes Allegro's X11 driver send the whole place in one update.
    mutable std::shared_ptr<RLE_SPRITE> update_sprite;

    View(int picture_width, int picture_height);
    // `scale` whole times (at least once, at most what fits), or the largest 4:3 size when `fill`.
    void place(int screen_width, int screen_height, int scale, bool fill);
    void match(int screen_depth);
    // The picture onto `target` (a screen-sized bitmap of `depth` bits); the borders are left
    // as they are (black from the mode's start).
    void present(BITMAP* picture, BITMAP* target) const;
    // Picture pixels from the screen's, and the first screen pixel showing a picture pixel.
    int picture_x(int screen_x) const { return (screen_x - left) * picture_width / shown_width; }
    int picture_y(int screen_y) const { return (screen_y - top) * picture_height / shown_height; }
    int screen_x(int x) const { return left + (x * shown_width + picture_width - 1) / picture_width; }
    int screen_y(int y) const { return top + (y * shown_height + picture_height - 1) / picture_height; }
    // Allegro's pointer range and position, given in picture pixels.
    void keep_pointer_in(int left, int top, int right, int bottom);
    void put_pointer(int x, int y) const;
    int whole_scale() const { return shown_width % picture_width ? 0 : shown_width / picture_width; }
};
// The largest whole scale of a picture that fits a room (at least 1).
int largest_scale(int room_width, int room_height, int picture_width, int picture_height);
// Where the pointer is, in the picture's pixels, through the view in force (Allegro's own
// position when there is none, as in tests).
extern const View* pointer_view;
int pointer_x();
int pointer_y();
