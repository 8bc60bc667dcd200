# SPDX-License-Identifier: GPL-3.0-or-later
# The game where its surroundings turn against it: no sound device, no mouse movement, a
# second copy of itself, the X server killed under it, signals at every screen and early in its
# start, a FIFO for its settings. Each time it plays on or ends cleanly, and leaves no temporary
# file and no shared memory behind.
import os, re, signal, stat, tempfile, time
from pathlib import Path
import harness
from harness import dialog_shown, switch_music

# The default sound output is a card that does not exist: opening it fails.
NO_SOUND_DEVICE = "pcm.!default { type hw; card 99 } ctl.!default { type hw; card 99 }"
# Runs with the X server killed under play; ZUDADUVIZ_X_KILLS=20 for the full count.
X_KILLS = int(os.environ.get("ZUDADUVIZ_X_KILLS", "5"))
HUNG = 5  # seconds: a game still there by then has hung (they end within a fraction of that)
SETTINGS = "# left as it is\neffects=off\n"
# (signal, where the game is when it arrives, exit status): through the title as the close
# button does, except under the message box of a failed start, which then ends at once.
SIGNAL_ROWS = [(signal.SIGTERM, "play", 0), (signal.SIGINT, "play", 0), (signal.SIGHUP, "play", 0),
               (signal.SIGTERM, "title", 0), (signal.SIGINT, "title", 0), (signal.SIGHUP, "title", 0),
               (signal.SIGTERM, "quit dialog", 0), (signal.SIGTERM, "message box", 1),
               (signal.SIGTERM, "start", None)]
# Where a start rewrites the settings (--fenetre): a signal 0 to 40 ms after the launch.
EARLY_DELAYS = [delay / 1000 for delay in range(0, 41, 2)]
# The games inherit SIGINT's default even when this script runs with it ignored (a
# background job): Python's own handler is reset to the default by exec, SIG_IGN is not.
signal.signal(signal.SIGINT, signal.default_int_handler)


def shared_memory(pid):  # the System V segments a process made, as the kernel lists them
    rows = [line.split() for line in Path("/proc/sysvipc/shm").read_text().splitlines()[1:]]
    return [int(row[1]) for row in rows if int(row[4]) == pid]


def signal_mask(pid, field):  # the signal numbers of a /proc/PID/status mask (SigIgn, SigCgt)
    mask = int(re.search(rf"^{field}:\s*([0-9a-f]+)", Path(f"/proc/{pid}/status").read_text(), re.M).group(1), 16)
    return {number for number in range(1, 65) if mask >> (number - 1) & 1}


class Hostile(harness.WindowTest):

    # By keys alone: nothing here moves the pointer. Two copies, their settings a FIFO (no
    # settings), the first started as a script's background job starts it (SIGINT ignored).
    # The first copy to open takes the full screen and the keyboard; the second opens a window
    # behind it and carries on meanwhile. SIGINT stays ignored, SIGQUIT keeps its default.
    def test_two_copies_with_no_mouse_movement_a_fifo_for_settings_and_sigint_ignored(self):
        settings = Path(self.config_home, "zudaduviz", "settings")
        settings.parent.mkdir()
        os.mkfifo(settings)
        # Xvfb now and then drops a client that connects while another does (the harness
        # starts a game again then): both copies start again on that failure alone.
        for attempt in range(3):
            copies = [harness.GameRun(self, exe="/bin/sh", args=("-c", 'trap "" INT; exec "$0"', harness.EXE)),
                      harness.GameRun(self)]
            time.sleep(3)
            if not [c for c in copies if c.proc.poll() is not None and harness.GRAPHICS_FAILED in c.output()]:
                break
            for copy in copies:
                copy.stop()
        pid = copies[0].proc.pid
        self.assertEqual((signal.SIGINT in signal_mask(pid, "SigIgn"),
                          {signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT} & signal_mask(pid, "SigCgt")),
                         (True, {signal.SIGTERM, signal.SIGHUP}))
        copies[0].proc.send_signal(signal.SIGINT)
        tree = lambda: self.server.run(["xwininfo", "-root", "-tree"]).decode()
        # The full-screen copy's picture: the 800x600 child of the screen-wide window.
        full_screen = lambda: re.search(r"^\s*0x[0-9a-f]+ .*1024x768\+0\+0 .*\n.*\n\s*(0x[0-9a-f]+) .*800x600", tree(), re.M)
        front = copies[0]  # stands for whichever copy took the full screen: its picture, the keys
        front.window = harness.poll("full-screen window", full_screen, 20).group(1)
        front.wait_screen("title menu", harness.title_shown, 10)
        front.press("Return", "game", harness.play_shown, 5)
        self.assertEqual([copy.proc.poll() for copy in copies], [None, None], "a copy ended")
        # Escape and Enter end the game, Escape at the title the program: whichever copy took
        # the keys ends, and the one behind gets them.
        front.press("Escape", "quit dialog", dialog_shown, 5)
        front.press("Return", "title menu", harness.title_shown, 5)
        front.key("Escape")
        ended = harness.poll("the first copy's end", lambda: [c for c in copies if c.proc.poll() is not None], 10)
        self.assertEqual([c.proc.returncode for c in ended], [0], ended[0].output()[-2000:])
        back = next(copy for copy in copies if copy.proc.poll() is None)
        self.assertTrue(back.find_window(), back.output()[-2000:])
        back.wait_screen("title menu", harness.title_shown, 10)
        back.key("Escape")
        self.assertEqual(back.wait_exit(), 0, back.output()[-2000:])
        self.assertTrue(stat.S_ISFIFO(settings.stat().st_mode))

    # Each time a new X server, killed (SIGKILL) at a different moment of play, with no
    # sound device and the music switched on.
    def test_no_sound_device_and_the_x_server_killed_under_play_ends_the_game_with_1(self):
        home = Path(self.enterContext(tempfile.TemporaryDirectory(prefix="zudaduviz-silent-")))
        (home / "alsa.conf").write_text(NO_SOUND_DEVICE)
        waits = []
        for run_number in range(X_KILLS):
            self.server.env.update(XDG_CONFIG_HOME=self.config_home,
                                   ALSA_CONFIG_PATH=f"/usr/share/alsa/alsa.conf:{home / 'alsa.conf'}")
            run = self.start_at_title()
            switch_music(self, run, 150, "Musique ON")
            run.press("Return", "game", harness.play_shown, 5)
            time.sleep(0.3 * (run_number % 7))
            held = shared_memory(run.proc.pid)  # the picture, shared with the server
            self.server.proc.kill()
            killed = time.monotonic()
            with self.subTest(run=run_number):
                self.assertEqual(run.wait_exit(HUNG), 1, run.output()[-2000:])
                waits.append(time.monotonic() - killed)
                self.assertIn("affichage X est perdue", run.output())
                self.assertEqual((len(held) > 0, shared_memory(run.proc.pid)), (True, []), "shared memory left")
            display = self.server.env["DISPLAY"][1:]
            for left_behind in (f"/tmp/.X{display}-lock", f"/tmp/.X11-unix/X{display}"):
                Path(left_behind).unlink(missing_ok=True)
            self.server = harness.XServer()
            self.addCleanup(self.server.stop)
        print(f"  X server killed: {len(waits)} of {X_KILLS} ended with 1, the slowest {max(waits):.2f} s after")

    def test_signals_end_the_game_through_the_title_and_leave_the_settings(self):
        settings = Path(self.config_home, "zudaduviz", "settings")
        settings.parent.mkdir(parents=True, exist_ok=True)
        settings.write_text(SETTINGS)
        for number, where, status in SIGNAL_ROWS:
            with self.subTest(signal=number.name, where=where):
                if where == "start":  # the game may end by the signal's default: any status
                    for delay in EARLY_DELAYS:
                        run = harness.GameRun(self, args=("--fenetre",))
                        time.sleep(delay)
                        os.kill(run.proc.pid, number)
                        run.wait_exit(HUNG)
                        run.stop()
                    self.assertEqual([path.name for path in settings.parent.iterdir()], ["settings"])
                    continue
                if where == "message box":
                    run = harness.GameRun(self, with_data=False, args=("--donnees", "absent.dat"))
                    self.server.run(["xdotool", "search", "--sync", "--class", "^xmessage$"])  # the box is up
                else:
                    run = self.start_at_title()
                if where in ("play", "quit dialog"):
                    run.press("Return", "game", harness.play_shown)
                if where == "quit dialog":
                    run.press("Escape", "quit dialog", dialog_shown, 5)
                os.kill(run.proc.pid, number)
                self.assertEqual(run.wait_exit(HUNG), status, run.output()[-2000:])
                self.assertEqual(settings.read_text(), SETTINGS)
                run.stop()


if __name__ == "__main__":
    harness.main()
