// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/game.h"

std::atomic<int> tick_counter{0};

// Runs in Allegro's timer thread: one increment and nothing else.
void tick_callback() { tick_counter.fetch_add(1, std::memory_order_relaxed); }

std::atomic<bool> close_requested{false};

// Runs in Allegro's event thread: only raise the flag; the screens act on it.
void close_button_callback() { close_requested = true; }

std::atomic<bool> focus_lost{false};

// Remaking the window for a change of mode sends a burst of both: the last one tells.
void focus_lost_callback() { focus_lost = true; }
void focus_back_callback() { focus_lost = false; }

std::atomic<bool> pause_key_struck{false};

// Runs in Allegro's keyboard handler: only raise the flag.
void pause_key_callback(int scancode) {
    if ((scancode & 0x7f) == KEY_PAUSE) pause_key_struck = true;
}
