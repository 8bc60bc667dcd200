// Which graphics drivers a display choice tries, in order.
#include <allegro.h>

#include "setup/setup.h"

std::vector<int> graphics_cards_for(Settings::Display display) {
    switch (display) {
        case Settings::Display::window: return {GFX_AUTODETECT_WINDOWED, GFX_AUTODETECT_FULLSCREEN};
        case Settings::Display::fullscreen: return {GFX_AUTODETECT_FULLSCREEN, GFX_AUTODETECT_WINDOWED};
        case Settings::Display::unchosen: break;
    }
    // Nothing chosen yet: full screen wherever the machine allows it, as Allegro picks.
    return {GFX_AUTODETECT};
}
