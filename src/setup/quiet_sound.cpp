// SPDX-License-Identifier: GPL-3.0-or-later
// With no sound card, alsa-lib prints its errors on standard error before Allegro
// gives up on sound; the game runs silent without a word, so they go nowhere.
#include <alsa/asoundlib.h>

#include "setup/setup.h"

namespace {
void drop_alsa_message(const char*, int, const char*, int, const char*, ...) {}
}  // namespace

void silence_alsa() { snd_lib_error_set_handler(drop_alsa_message); }
