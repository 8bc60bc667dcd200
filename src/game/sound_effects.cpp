// SPDX-License-Identifier: GPL-3.0-or-later
// Sound effects, heard from where their event happens.
#include <algorithm>

#include "game/game.h"

void Game::play_effect(Effect effect, int x) {
    // The title's demo plays silent.
    if (!settings.effects_on || !effect_player || replay.demo) return;
    // From a quarter to three quarters of the way across: a sound at the screen's edge
    // still comes from both speakers.
    effect_player(effect, 128 + (2 * std::clamp(x, 0, width) - width) * 64 / width);
}
