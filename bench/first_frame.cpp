// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up time, measured from outside the program: launches it, then watches the X
// screen until a window is mapped and until the first pixel that is not black shows;
// prints both delays in milliseconds from the launch, then ends the program.
//
// Usage: first_frame <program> [arguments]   (DISPLAY: a server whose root window is
// black, such as Xvfb -br, so that only the program's frame can light a pixel)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool any_lit(Display* display, Window root, int width, int height) {
    XImage* image = XGetImage(display, root, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image) return false;
    bool lit = false;
    for (int y = 0; y < height && !lit; y++)
        for (int x = 0; x < width && !lit; x++) lit = XGetPixel(image, x, y) != 0;
    XDestroyImage(image);
    return lit;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: first_frame <program> [arguments]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "first_frame: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XWindowAttributes screen;
    XGetWindowAttributes(display, root, &screen);
    if (any_lit(display, root, screen.width, screen.height)) {
        std::fprintf(stderr, "first_frame: the screen is not black to start with\n");
        return 2;
    }
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        execvp(argv[1], argv + 1);
        _exit(127);
    }

    // Waits on the server's events (no polling) until a window is mapped, then looks at
    // the screen every 2 ms: a whole-screen read costs about as much.
    double mapped = -1, lit = -1;
    const int connection = ConnectionNumber(display);
    while (lit < 0 && ms_since(start) < 20000) {
        if (waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "first_frame: the program ended first\n");
            return 1;
        }
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && mapped < 0) mapped = ms_since(start);
        }
        if (mapped < 0) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(connection, &ready);
            timeval wait{0, 20000};
            select(connection + 1, &ready, nullptr, nullptr, &wait);
            continue;
        }
        if (any_lit(display, root, screen.width, screen.height)) {
            lit = ms_since(start);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    kill(-child, SIGKILL);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    if (lit < 0) {
        std::fprintf(stderr, "first_frame: nothing shown within 20 s\n");
        return 1;
    }
    std::printf("window mapped %.1f ms, first frame %.1f ms\n", mapped, lit);
    return 0;
}
