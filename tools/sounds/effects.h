// The game's sound effects, in the order they follow the pictures and tunes in the
// data file.
#pragma once

#include <vector>

#include "synth.h"

struct SoundEffect {
    const char* name;
    Signal samples;
};

// Every effect, in data file order, each already faded at both ends and at its level.
std::vector<SoundEffect> compose_effects();
