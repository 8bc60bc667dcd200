# SPDX-License-Identifier: GPL-3.0-or-later
# The game on a player's desktop: openbox on a 1280x1024 screen. The first start is full
# screen and F11 gives a window; the focus taken by another window during play; the switches
# between a window and the full screen that the game and its quit dialog never notice; the
# close button; the choice kept for the next start.
import pathlib, re, subprocess, time
import harness
from harness import SELECTED_GREEN, around_dialog, dialog_shown, match_ratio, playing, read_text, reference


def ship_left(shot):  # the left edge of the ship on the bottom edge, wherever it stands
    ship = reference(67)
    return max(range(0, 801 - ship.width), key=lambda x: match_ratio(shot, ship, x, 600 - ship.height, step=4))


def missiles(shot):
    return read_text(shot, 10, 20, SELECTED_GREEN, 16)


class Desktop(harness.WindowTest):
    screen, window_manager = "1280x1024x24", True

    def test_full_screen_first_then_a_window_that_loses_the_focus_switches_closes_and_is_kept(self):
        run = self.start_at_title()
        run.wait_mode("full screen")
        run.key("F11")
        run.wait_mode("window")
        other = subprocess.Popen(["xmessage", "-geometry", "+0+0", "autre fenêtre"], env=self.server.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(other.wait)
        self.addCleanup(other.kill)
        harness.poll("other window", lambda: any(w[1] == "xmessage" for w in self.server.managed_windows()), 10)
        run.xdotool("search", "--name", "^Zudaduviz$", "windowactivate", "--sync")
        run.key("Return")
        start = ship_left(run.wait_screen("game", harness.play_shown))
        # Right held while the other window takes the focus, and let go there: the game waits
        # in its quit dialog, and Right no longer steers once the player is back.
        run.xdotool("keydown", "Right", "sleep", 0.3, "search", "--name", "^xmessage$", "windowactivate", "--sync",
                    "sleep", 0.3, "keyup", "Right")
        paused = run.wait_screen("quit dialog", dialog_shown, 5)
        self.assertGreater(ship_left(paused), start, "Right did not steer")
        time.sleep(1)
        self.assertEqual(around_dialog(run.capture("a second later")), around_dialog(paused), "the game went on")
        run.xdotool("search", "--name", "^Zudaduviz$", "windowactivate", "--sync")
        resumed = run.press("Escape", "game", playing, 5)
        time.sleep(1)
        self.assertEqual(ship_left(run.capture("a second later")), ship_left(resumed), "the ship steers on its own")

        # Two missiles or more fired: the head-up display is no longer a new game's.
        run.hold("space", "missiles fired", lambda shot: re.fullmatch(r"Missiles -> [0-8]", missiles(shot)))
        time.sleep(0.3)  # the last press counted
        before = run.capture("before the switch")
        run.key("alt+Return")
        run.wait_mode("full screen")
        after = run.wait_screen("game, full screen", harness.play_shown)
        self.assertEqual((missiles(after), ship_left(after)), (missiles(before), ship_left(before)))
        self.assertNotEqual(after.tobytes(), run.capture("the game goes on").tobytes())
        run.key("Escape")  # in the quit dialog every pixel around it stays as it was
        frozen = around_dialog(run.wait_screen("quit dialog", dialog_shown, 5))
        for key, mode in (("F11", "window"), ("alt+Return", "full screen")):
            run.key(key)
            run.wait_mode(mode)
            self.assertEqual(around_dialog(run.wait_screen(f"quit dialog, {mode}", dialog_shown, 5)), frozen)
        self.assertIn("display=fullscreen", pathlib.Path(self.config_home, "zudaduviz", "settings").read_text())
        run.press("Escape", "game", playing, 5)  # the dialog's Escape, not the Enter of Alt+Enter, closes it
        run.press("Escape", "quit dialog", dialog_shown, 5)
        run.press("Return", "title menu", harness.title_shown, 5)
        run.key("alt+Return")  # plays no game
        run.wait_mode("window")
        run.wait_screen("title menu, window", harness.title_shown, 5)
        self.server.run(["wmctrl", "-c", "Zudaduviz"])
        self.assertEqual((run.wait_exit(), run.output()), (0, ""))
        self.start_at_title().wait_mode("window")  # Escape ending it: the path test


if __name__ == "__main__":
    harness.main()
