// SPDX-License-Identifier: GPL-3.0-or-later
// The X display's loss and the termination signals: both handlers run wherever the
// event strikes, so they only exit at once or raise the game's flag.
#include "host/host.h"

#include <X11/Xlib.h>
#include <pthread.h>
#include <sys/shm.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "language/language.h"

namespace {

constexpr int signals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};
constexpr int quit_index = 3;

std::atomic<void (*)()> signal_callback{nullptr};
std::atomic<bool> exit_on_signal{false};

void on_end_signal(int) {
    if (exit_on_signal) _exit(1);
    if (void (*callback)() = signal_callback) callback();
}

// Translated beforehand: looking a text up is no async-signal-safe call.
std::atomic<const char*> display_lost_message{nullptr};

// Any thread may see the error: only async-signal-safe calls, and never Allegro's shutdown.
int on_display_lost(Display*) {
    const char* message = display_lost_message;
    if (write(STDERR_FILENO, message, strlen(message))) {
    }
    _exit(1);
}

}  // namespace

void end_on_display_loss() {
    display_lost_message = _("Zudaduviz : la connexion à l'affichage X est perdue, fin du jeu\n");
    XSetIOErrorHandler(on_display_lost);
}

void let_shared_memory_go() {
    // The X server attaches by the segment's id, which Linux allows until the last detach.
    struct shm_info info;
    const int highest = shmctl(0, SHM_INFO, reinterpret_cast<struct shmid_ds*>(&info));
    for (int index = 0; index <= highest; index++) {
        struct shmid_ds segment;
        const int id = shmctl(index, SHM_STAT, &segment);
        if (id >= 0 && segment.shm_cpid == getpid() && !(segment.shm_perm.mode & SHM_DEST))
            shmctl(id, IPC_RMID, nullptr);
    }
}

EndSignals::EndSignals() {
    sigemptyset(&blocked);
    for (int index = 0; index < 4; index++) {
        sigaction(signals[index], nullptr, &before[index]);
        sigaddset(&blocked, signals[index]);
    }
    pthread_sigmask(SIG_BLOCK, &blocked, &mask_before);
}

void EndSignals::take(void (*on_signal)()) {
    signal_callback = on_signal;
    struct sigaction handler = {};
    handler.sa_handler = on_end_signal;
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = SA_RESTART;  // a write or a wait in progress carries on
    // Allegro replaced them all, SIG_IGN included.
    for (int index = 0; index < 4; index++) {
        const bool kept = index == quit_index || before[index].sa_handler == SIG_IGN;
        sigaction(signals[index], kept ? &before[index] : &handler, nullptr);
    }
    pthread_sigmask(SIG_SETMASK, &mask_before, nullptr);
}

void end_on_signal_from_now_on() { exit_on_signal = true; }
