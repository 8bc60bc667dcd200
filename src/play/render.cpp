// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of play: the star field, every actor and the head-up display,
// composed in the buffer and then shown in one go.
#include <algorithm>

#include "game/game.h"

namespace {

void draw_stars(BITMAP* buffer, Star* const* field, int layers, int per_layer) {
    for (int layer = 0; layer < layers; layer++) {
        for (int i = 0; i < per_layer; i++) {
            const Star& star = field[layer][i];
            // The nearest layers reach a grey of 294; a component above 255 would
            // spill into the neighbouring channel of a 16-bit pixel.
            const int grey = std::min(star.grey, 255);
            putpixel(buffer, static_cast<int>(star.x), static_cast<int>(star.y), makecol(grey, grey, grey));
        }
    }
}

// The armour gauge: its colours belong to the columns, so a short bar shows
// only the pink end of the ramp.
void draw_armour_gauge(BITMAP* buffer, int hull) {
    rect(buffer, 150, 20, 252, 32, makecol(64, 64, 64));
    vline(buffer, 151, 21, 31, makecol(255, 155, 192));
    for (int i = 0; i < hull; i++) vline(buffer, 152 + i, 21, 31, makecol(255 - i, 156 + i, 192));
}

void draw_hud(BITMAP* buffer, const PlayerShip& ship, double fps, int pale_yellow, int light_green) {
    const int light_blue = makecol(128, 128, 255);
    textprintf_ex(buffer, font, 600, 10, light_blue, -1, _("FPS : %g"), fps);
    textprintf_ex(buffer, font, 150, 10, light_blue, -1, "%s", _("ARMURE"));
    draw_armour_gauge(buffer, ship.hull);
    textprintf_ex(buffer, font, 282, 10, light_blue, -1, _("SCORE : %i"), ship.score);
    textprintf_ex(buffer, font, 282, 20, light_blue, -1, _("TUES : %i"), ship.kills);
    textprintf_ex(buffer, font, 10, 10, light_blue, -1, "%s", _("ARMES"));

    static const char* const weapon_lines[3] = {N_("Missiles -> %i"), N_("Fireball -> %i"), N_("Choc -> %i")};
    for (int w = 0; w < 3; w++) {
        const int colour = w == ship.weapon ? light_green : pale_yellow;
        textprintf_ex(buffer, font, 10, 20 + 10 * w, colour, -1, _(weapon_lines[w]), ship.ammo[w]);
    }
}

}  // namespace

int Game::frames_per_second() const {
    const int span = *ticks - fps_start_tick;
    if (span <= 0) return 0;
    return fps_frames * ticks_per_second / span;
}

void Game::draw_frame() {
    const int pale_yellow = colours::bright();
    const int light_green = makecol(128, 255, 128);
    const double fps = frames_per_second();

    acquire_bitmap(buffer);
    clear_bitmap(buffer);
    draw_stars(buffer, star_field, star_layers, stars_per_layer);

    // Back to front: shots, bonuses, invaders, the ship, then explosions over all.
    for (const Shot& shot : shots) shot.draw(buffer);
    for (const Bonus& bonus : bonuses) bonus.draw(buffer);
    for (const Invader& invader : invaders) invader.draw(buffer);
    player->draw(buffer);
    for (const Explosion& explosion : explosions) explosion.draw(buffer);

    draw_hud(buffer, *player, fps, pale_yellow, light_green);
    release_bitmap(buffer);
}

void Game::render_frame() {
    draw_frame();
    show_buffer();
}
