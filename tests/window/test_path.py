# SPDX-License-Identifier: GPL-3.0-or-later
# One game run walks the player's whole path in a real window, on a French keyboard, and
# checks each screen on the way: the title (its pictures, options and record, nothing else
# drawn), a game (Print Screen's file of the first frames, the weapon keys marked 1 2 3), the
# pause, the quit dialog over the frozen game, the title again, a game to its end and its entry in
# the table of honour, watched again, and a quiet Escape that leaves no settings file behind. Then the command line's exit statuses, each with its message.
import os, pathlib, re, subprocess, tempfile, time, unittest
import harness
from harness import (DIALOG_LEFT as LEFT, DIALOG_TOP as TOP, HUD_BLUE, LABEL_BLUE, PALE_YELLOW, SELECTED_GREEN,
                     UNDERLINE_BLUE, VALUE_RED, around_dialog, centred_text, dialog_shown, match_ratio, near, pause_shown, playing,
                     read_text, reference)

RECORD = 999990


def frame_rate(shot):
    return (found := re.fullmatch(r"FPS : (\d+)", read_text(shot, 600, 10, HUD_BLUE, 12))) and int(found.group(1))


def start_problems(shot):  # how shot differs from a new game's first frames
    problems = [f"'{found}' instead of '{text}' at ({x}, {y})" for x, y, colour, text in (
        (10, 10, HUD_BLUE, "ARMES"), (10, 20, SELECTED_GREEN, "Missiles -> 10"),
        (10, 30, PALE_YELLOW, "Fireball -> 0"), (10, 40, PALE_YELLOW, "Choc -> 0"), (150, 10, HUD_BLUE, "ARMURE"),
        (282, 10, HUD_BLUE, "SCORE : 0"), (282, 20, HUD_BLUE, "TUES : 0"), (600, 10, HUD_BLUE, r"FPS : \d+"))
        if not re.fullmatch(text, found := read_text(shot, x, y, colour, len(text) + 2))]
    return problems + ([] if harness.ship_at(shot, 400 - reference(67).width // 2) else ["no centred ship"])


class Path(harness.WindowTest):
    server_args = ("-noreset",)  # else the server drops the layout when its last client leaves

    def press(self, run, key, what, shown):  # a press now and then goes unseen: once more then
        try:
            return run.press(key, what, shown, 3)
        except AssertionError:
            if key == "Pause":  # Allegro alone answers every other stroke: each must count
                raise
            return run.press(key, what, shown, 3)

    def check_title(self, run):
        shot = run.point(720, 560, harness.pointer_at(720, 560), "pointer in a corner")
        for picture, top in ((73, 100), (4, 500)):  # the title, the play button
            self.assertGreater(match_ratio(shot, reference(picture), harness.centred_left(picture), top), 0.98)
        self.assertEqual([read_text(shot, x, y, colour, 13) for y in (350, 370) for x, colour in
                          ((100, LABEL_BLUE), (200, VALUE_RED))], ["Musique", "Musique OFF", "Effets", "Effets ON"])
        self.assertEqual([x for x in range(90, 171) if near(shot.getpixel((x, 358)), UNDERLINE_BLUE)], list(range(100, 155)))
        self.assertEqual(read_text(shot, 284, 570, LABEL_BLUE, 30).strip(), f"Record : {RECORD}", self.last_kept)
        # Besides those, only the name (the login name, 12 letters at most), the keys screen and table options,
        # the keys line, the record and the pointer are drawn.
        drawn = ((60, 100, 739, 313), (320, 500, 479, 547), (100, 320, 295, 328), (100, 350, 287, 358), (100, 370, 279, 378),
                 (100, 390, 295, 398), (0, 410, 799, 458), (280, 570, 519, 577), (720, 560, 731, 578))
        stray = [(x, y) for y in range(0, 600, 2) for x in range(0, 800, 2) if shot.getpixel((x, y)) != (0, 0, 0)
                 and not any(l <= x <= r and t <= y <= b for l, t, r, b in drawn)]
        self.assertEqual(stray[:10], [], f"pixels drawn outside the menu's elements ({self.last_kept})")

    def test_title_game_pause_quit_dialog_and_title_again(self):
        self.server.run(["setxkbmap", "fr"])
        self.assertIn(b"ampersand", self.server.run(["xkbcomp", "-xkb", self.server.env["DISPLAY"], "-"]))
        run = self.start_at_title(record=f"{RECORD}\n")
        self.check_title(run)
        run.point(400, 524, harness.pointer_at(400, 524), "pointer on the button")
        run.click()
        run.wait_screen("game", harness.play_shown, 5)

        # Print Screen writes the frame; an invader or explosion can hide a part: again then.
        path = os.path.join(run.workdir, "capture.pcx")
        for attempt in range(3):
            run.key("Print")
            harness.poll("capture.pcx", lambda: os.path.exists(path), 3)
            time.sleep(0.2)  # held over several frames, each writing the file
            if not (problems := start_problems(self.keep(harness.Image.open(path).convert("RGB"), "capture.pcx"))):
                break
        self.assertEqual(problems, [], self.last_kept)
        run.hold("space", "missiles fired", lambda shot: re.fullmatch(
            r"Missiles -> [0-8]", read_text(shot, 10, 20, SELECTED_GREEN, 16)))
        # By key code, the top row's second to fourth keys: "é", "\"", "&" unshifted on AZERTY.
        for key, chosen in (("11", 1), ("12", 2), ("10", 0)):
            run.hold(key, f"weapon {chosen} in green", lambda shot: all(
                read_text(shot, 10, 20 + 10 * i, SELECTED_GREEN if i == chosen else PALE_YELLOW, 18).startswith(name)
                for i, name in enumerate(("Missiles", "Fireball", "Choc"))))

        # P and each stroke of the Pause key toggle; Escape there asks, and a no gives the pause back.
        for key, what, shown in (("p", "pause", pause_shown), ("Escape", "dialog", dialog_shown),
                                 ("Escape", "pause", pause_shown), ("Pause", "game", playing),
                                 ("Pause", "pause", pause_shown), ("Pause", "game", playing)):
            self.press(run, key, what, shown)

        # The quit dialog stands over the frozen game; its time never counts in the frame rate
        # (frames drawn over the ticks since the game began): else a third after three seconds.
        rate = frame_rate(run.wait_screen("frame rate", frame_rate, 3))
        first = self.press(run, "Escape", "quit dialog", dialog_shown)
        time.sleep(3)
        later = run.capture("three seconds later")
        self.assertTrue(harness.play_shown(later) and around_dialog(first) == around_dialog(later), "the game moved")
        resumed = self.press(run, "Escape", "game", playing)
        self.assertNotEqual(around_dialog(resumed), around_dialog(run.capture("moving")), "the game stands still")
        self.assertGreater(frame_rate(run.wait_screen("frame rate", frame_rate, 3)), 0.6 * rate)
        self.press(run, "Escape", "quit dialog", dialog_shown)
        # The pointer is drawn where the player points: on the confirm button as shown.
        run.point(LEFT + 77, TOP + 96, lambda shot: match_ratio(shot, reference(70), LEFT + 77, TOP + 96) > 0.9
                  and dialog_shown(shot), "pointer on the confirm area")
        run.click(3)
        time.sleep(0.3)
        self.assertTrue(dialog_shown(run.capture("after a right click")), "a right click closed the dialog")
        run.click(1)
        name = read_text(run.wait_screen("title menu", harness.title_shown, 5), 200, 320, VALUE_RED, 12)

        # A game to its end (the idle ship dies) enters the table under the title's name, proven, after
        # the record carried over (no game: not proven); Down and Enter watch it, its quit dialog gives the table back.
        run.press("Return", "game", harness.play_shown)
        run.wait_screen("game over", harness.game_over_shown, 120)
        run.wait_screen("title menu", harness.title_shown, 10)
        entries = [name, "non prouv?e", name, "prouv?e"]  # the font has no é
        table = lambda shot: [read_text(shot, x, 296 + 18 * rank, colour, 12) for rank, proof in ((0, VALUE_RED), (1, SELECTED_GREEN))
                              for x, colour in ((520, PALE_YELLOW), (624, proof))] == entries
        run.press("F2", "table of honour", table, 5)
        # Left from pace 1 wraps to the fifth, empty; Right comes back. A click on the entry without a game says so.
        run.press("Left", "pace 5", lambda shot: centred_text(shot, 250, PALE_YELLOW, "Tableau d'honneur : Rapidit? 5")
                  and centred_text(shot, 296, LABEL_BLUE, "Aucune partie ? cette rapidit?"))
        run.press("Right", "pace 1", lambda shot: centred_text(shot, 250, PALE_YELLOW, "Tableau d'honneur : Rapidit? 1")
                  and table(shot))
        run.point(300, 299, harness.pointer_at(300, 299), "pointer on the first entry")
        run.click(hold=harness.SHORT_CLICK)
        run.wait_screen("no game to watch", lambda shot: centred_text(shot, 490, PALE_YELLOW, "pas de partie enregistr?e"))
        run.key("Down")
        run.press("Return", "its game again", harness.play_shown)
        self.press(run, "Escape", "its quit dialog", dialog_shown)
        run.press("Return", "the table again", table)
        run.press("Escape", "title menu", harness.title_shown)
        # With no sound device, alsa-lib would print nine lines at every start.
        run.key("Escape")
        self.assertEqual((run.wait_exit(), run.output()), (0, ""))
        # Nothing chosen: the next start is a first start again.
        self.assertFalse(os.path.exists(os.path.join(self.config_home, "zudaduviz", "settings")))


# The command line's answers, each status with its message, without a display (none needed):
# the stored game replays to its end; with its seed changed it differs at a check; with its
# version changed it is tried with a warning; --scores shows an entry without its game as not proven.
STORED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "replays", "left-alone.replay")
COMMAND_ROWS = [((), 1, "Le mode graphique ne peut etre mis en place"), (("--help",), 0, r"^Usage : zudaduviz (.|\n)*--verifier(.|\n)*--scores"),
                (("--version",), 0, r"^zudaduviz \d+\.\d+\.\d+\n$"), (("--fenetre", "--bogus"), 2, "option inconnue « --bogus »"),
                (("--echelle", "0"), 2, "« --echelle » attend"), (("--rejouer",), 2, "« --rejouer » attend"),
                (("--rejouer", "absent.replay"), 1, "impossible de lire"), (("--verifier", "absent.replay"), 1, "impossible de lire"),
                (("--verifier", STORED, "--donnees", "absent.dat"), 1, "absent.dat"),
                (("--verifier", "seed"), 1, r"différence à la mise à jour \d+"),
                (("--verifier", "version"), 0, r"contrôles en accord(.|\n)*par la version 9+,"),
                (("--scores",), 0, r"^Rapidité 1\n +1\. +900 .* Zoé +non prouvée : pas de partie enregistrée\nRapidité 2\n  aucune partie\n"),
                (("--scores", "--donnees", "absent.dat"), 1, "absent.dat")]


class CommandLine(unittest.TestCase):
    def test_each_status_with_its_message(self):
        gone = ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "LANGUAGE", "LC_ALL", "LC_MESSAGES")  # the game in French
        folder = self.enterContext(tempfile.TemporaryDirectory(prefix="zudaduviz-command-"))
        env = dict({k: v for k, v in os.environ.items() if k not in gone}, LANG="C", **harness.LEAK_CHECK,
                   XDG_DATA_HOME=os.path.join(folder, "data"), XDG_CONFIG_HOME=os.path.join(folder, "config"))
        os.makedirs(os.path.join(folder, "data", "zudaduviz"))
        pathlib.Path(folder, "data", "zudaduviz", "scores").write_text("1 900 - - - Zoé -\n", encoding="utf-8")  # a score without its game
        stored = pathlib.Path(STORED).read_bytes()
        seed = 11 + stored[10]  # after the magic, the format and the version's length and text
        pathlib.Path(folder, "seed").write_bytes(stored[:seed] + bytes([stored[seed] ^ 1]) + stored[seed + 1:])
        pathlib.Path(folder, "version").write_bytes(stored[:11] + b"9" * stored[10] + stored[seed:])
        for args, status, message in COMMAND_ROWS:
            done = subprocess.run([harness.EXE, *args], env=env, capture_output=True,
                                  text=True, timeout=30, cwd=folder)
            # --help and --version on standard output, the rest on standard error (a failed start's, both)
            out = (done.stdout if status != 2 else "") + done.stderr
            with self.subTest(args=args):
                self.assertEqual((done.returncode, bool(re.search(message, out)), harness.SANITIZER_REPORT.search(out)),
                                 (status, True, None), out)


if __name__ == "__main__":
    harness.main()
