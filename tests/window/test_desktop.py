# The game on a player's desktop: openbox on a 1280x1024 screen. A window or the full
# screen, switched at any time without the game noticing, the choice kept for the next
# start whatever state the settings file is in, the close button, and the focus lost.
import os, pathlib, re, subprocess, time
import harness
from harness import HUD_BLUE, SELECTED_GREEN, match_ratio, read_text, reference
from test_quit_dialog import around_dialog, dialog_shown


def ship_left(shot):  # the left edge of the ship on the bottom edge, wherever it stands
    ship = reference(67)
    return max(range(0, 801 - ship.width), key=lambda x: match_ratio(shot, ship, x, 600 - ship.height, step=4))


def missiles(shot):
    return read_text(shot, 10, 20, SELECTED_GREEN, 16)


class Desktop(harness.WindowTest):
    screen, window_manager = "1280x1024x24", True

    def settings(self):
        path = pathlib.Path(self.config_home, "zudaduviz", "settings")
        return path.read_text() if path.is_file() else ""

    def test_a_decorated_window_then_switches_that_keep_the_game_in_play_and_in_the_quit_dialog(self):
        run = self.start_at_title(["--fenetre"])
        run.wait_mode("window")
        window = next(w for w in self.server.managed_windows() if w[1] == "Zudaduviz")[0]
        extents = self.server.run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"]).decode()
        self.assertGreater(int(re.findall(r"\d+", extents.split("=")[-1])[2]), 0, f"no title bar: {extents}")
        run.key("Return")
        run.wait_screen("game", harness.play_shown)
        # Two missiles or more fired: the head-up display is no longer a new game's.
        run.hold("space", "missiles fired", lambda shot: re.fullmatch(r"Missiles -> [0-8]", missiles(shot)))
        time.sleep(0.3)  # the last press counted
        before = run.capture("before the switch")
        run.key("alt+Return")
        run.wait_mode("full screen")
        after = run.wait_screen("game, full screen", harness.play_shown)
        self.assertEqual((missiles(after), ship_left(after)), (missiles(before), ship_left(before)))
        self.assertNotEqual(after.rgb, run.capture("the game goes on").rgb)
        # In the quit dialog the game stands still: every pixel around it stays as it was.
        run.key("Escape")
        frozen = around_dialog(run.wait_screen("quit dialog", dialog_shown, 5))
        for key, mode in (("F11", "window"), ("alt+Return", "full screen")):
            run.key(key)
            run.wait_mode(mode)
            self.assertEqual(around_dialog(run.wait_screen(f"quit dialog, {mode}", dialog_shown, 5)), frozen)
        self.assertIn("display=fullscreen", self.settings())
        run.key("Escape")  # the dialog's Escape, not the Enter of Alt+Enter, closes it
        run.wait_screen("game", lambda shot: harness.play_shown(shot) and not dialog_shown(shot), 5)
        run.key("Escape")
        run.wait_screen("quit dialog", dialog_shown, 5)
        run.key("Return")
        run.wait_screen("title menu", harness.title_shown, 5)
        run.key("alt+Return")  # plays no game
        run.wait_mode("window")
        run.wait_screen("title menu, window", harness.title_shown, 5)

    def test_the_first_start_is_full_screen_the_last_choice_is_kept_and_the_close_button_quits(self):
        run = self.start_at_title()
        run.wait_mode("full screen")
        self.assertEqual(self.settings(), "")
        run.key("F11")
        run.wait_mode("window")
        self.server.run(["wmctrl", "-c", "Zudaduviz"])
        self.assertEqual(run.wait_exit(), 0)
        self.assertIn("display=window", self.settings())
        run = self.start_at_title()
        run.wait_mode("window")

    def test_the_focus_taken_during_play_pauses_the_game_and_leaves_no_key_held(self):
        other = subprocess.Popen(["xmessage", "-geometry", "+0+0", "autre fenêtre"], env=self.server.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(other.wait)
        self.addCleanup(other.kill)
        harness.poll("other window", lambda: any(w[1] == "xmessage" for w in self.server.managed_windows()), 10)
        run = self.start_at_title(["--fenetre"])
        run.wait_mode("window")
        run.xdotool("search", "--name", "^Zudaduviz$", "windowactivate", "--sync")
        run.key("Return")
        start = ship_left(run.wait_screen("game", harness.play_shown))
        # Right held while the other window takes the focus, and let go there.
        run.xdotool("keydown", "Right", "sleep", 0.3, "search", "--name", "^xmessage$", "windowactivate", "--sync",
                    "sleep", 0.3, "keyup", "Right")
        paused = run.wait_screen("quit dialog", dialog_shown, 5)
        self.assertGreater(ship_left(paused), start, "Right did not steer")
        time.sleep(1)
        self.assertEqual(around_dialog(run.capture("a second later")), around_dialog(paused), "the game went on")
        run.xdotool("search", "--name", "^Zudaduviz$", "windowactivate", "--sync")
        run.key("Escape")
        resumed = run.wait_screen("game", lambda shot: harness.play_shown(shot) and not dialog_shown(shot), 5)
        time.sleep(1)
        self.assertEqual(ship_left(run.capture("a second later")), ship_left(resumed), "the ship steers on its own")

    # Missing, empty, garbage, a folder in its place, a folder nobody can write in (/proc
    # refuses even root): the game starts with the defaults and switches all the same.
    def test_whatever_the_settings_file_the_game_starts_with_the_defaults(self):
        config = pathlib.Path(self.config_home, "zudaduviz")
        cases = {"missing": lambda: None, "empty": lambda: (config / "settings").write_bytes(b""),
                 "garbage": lambda: (config / "settings").write_bytes(os.urandom(300) + b"\ndisplay=\xff\n"),
                 "a folder": lambda: (config / "settings").mkdir(),
                 "unwritable": lambda: self.server.env.update(XDG_CONFIG_HOME="/proc")}
        for case, prepare in cases.items():
            with self.subTest(case):
                subprocess.run(["rm", "-rf", str(config)], check=True)
                config.mkdir()
                prepare()
                run = self.start_at_title()
                run.wait_mode("full screen")
                run.key("F11")
                run.wait_mode("window")
                run.wait_screen("title menu, window", harness.title_shown, 5)
                run.key("Escape")
                self.assertEqual((run.wait_exit(), run.output()), (0, ""))
                if case == "missing":
                    self.assertIn("display=window", self.settings())


if __name__ == "__main__":
    harness.main()
