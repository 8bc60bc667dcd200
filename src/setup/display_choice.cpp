// SPDX-License-Identifier: GPL-3.0-or-later
// Which graphics modes a display choice tries, in order.
#include <allegro.h>

#include <algorithm>

#include "setup/setup.h"

namespace {
// Height the desktop's panels and a window's title bar take.
constexpr int panel_room = 80;
}  // namespace

int largest_window_scale(int desktop_width, int desktop_height, int picture_width, int picture_height) {
    int scale = 1;
    while (scale < max_scale && picture_width * (scale + 1) <= desktop_width &&
           picture_height * (scale + 1) + panel_room <= desktop_height)
        scale++;
    return scale;
}

std::vector<DisplayMode> display_modes_for(const Settings& settings, int desktop_width, int desktop_height,
                                           int picture_width, int picture_height) {
    const DisplayMode window{GFX_AUTODETECT_WINDOWED, picture_width, picture_height, 1};
    const DisplayMode full_screen{GFX_AUTODETECT_FULLSCREEN, picture_width, picture_height, 1};
    std::vector<DisplayMode> modes;
    switch (settings.display) {
        case Settings::Display::window: {
            const int fits = largest_window_scale(desktop_width, desktop_height, picture_width, picture_height);
            const int scale = settings.scale > 0 ? std::min(settings.scale, fits) : fits;
            for (int s = scale; s > 1; s--)
                modes.push_back({GFX_AUTODETECT_WINDOWED, picture_width * s, picture_height * s, s});
            modes.push_back(window);
            modes.push_back(full_screen);
            break;
        }
        case Settings::Display::fullscreen:
            // The desktop's own size switches no monitor mode; the picture's size is the fallback.
            if (desktop_width >= picture_width && desktop_height >= picture_height)
                modes.push_back({GFX_AUTODETECT_FULLSCREEN, desktop_width, desktop_height, 0});
            modes.push_back(full_screen);
            modes.push_back(window);
            break;
        case Settings::Display::unchosen:
            // Nothing chosen yet: full screen wherever the machine allows it, as Allegro picks.
            modes.push_back({GFX_AUTODETECT, picture_width, picture_height, 1});
            break;
    }
    return modes;
}
