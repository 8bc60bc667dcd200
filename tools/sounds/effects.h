// SPDX-License-Identifier: GPL-3.0-or-later
// The game's sound effects, synthesised from tones, noise and filters.
#pragma once

#include "data/data_file.h"
#include "synth.h"

// The sound of an effect, faded in and out and at its own level.
Signal compose_effect(Effect effect);
