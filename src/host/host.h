// SPDX-License-Identifier: GPL-3.0-or-later
// What the machine around the game can do to it beyond Allegro's reach: the X display going
// away under it, and the signals that ask it to end.
#pragma once

#include <signal.h>

// From now on a lost connection to the X display (the server died, the session closed) ends
// the process at once: one line on standard error and exit status 1, nothing else run.
// Allegro's shutdown would race its own event thread, and no file is left half-written.
void end_on_display_loss();

// Marks the System V shared memory this process made (the picture Allegro shares with the X
// server) for removal: it then goes with the last process attached, the game or the server,
// however the game ends. Allegro removes it only in its shutdown, which the display's loss and
// a SIGKILL skip, and the machine would keep it until it restarts. Called after each new mode.
void let_shared_memory_go();

// SIGTERM, SIGINT and SIGHUP, taken over from Allegro, whose own handler shuts down from
// inside the signal. Made before allegro_init: the signals (SIGQUIT too) wait, blocked, until
// take().
struct EndSignals {
    sigset_t blocked, mask_before;
    // What each signal did before Allegro's set-up: an ignored one stays ignored, and SIGQUIT
    // gets its own disposition back.
    struct sigaction before[4];

    EndSignals();
    // After allegro_init: each signal not ignored before calls `on_signal` (from the
    // handler: it may only raise a flag), and the signals held meanwhile arrive.
    void take(void (*on_signal)());
};

// Once the game is only showing a last message before exiting with 1 (nothing reads the
// flags any more): a signal then exits with 1 at once.
void end_on_signal_from_now_on();
