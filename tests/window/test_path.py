# One game run walks the player's whole path in a real window, on a French keyboard, and
# checks each screen on the way: the title (its pictures, options and record, nothing else
# drawn) and its widgets, a game (Print Screen's file of the first frames, the keys, the
# weapon keys marked 1 2 3), the pause, the quit dialog over the frozen game, a lost game's
# picture with the score and the record, the title again, and a quiet Escape. The command
# line's answers need no display.
import os, re, subprocess, time, unittest
import harness
from harness import (DIALOG_LEFT as LEFT, DIALOG_TOP as TOP, HUD_BLUE, LABEL_BLUE, PALE_YELLOW, SELECTED_GREEN,
                     UNDERLINE_BLUE, VALUE_RED, around_dialog, dialog_shown, match_ratio, near, pause_shown, playing,
                     read_text, reference, ship_at)

RECORD = 999990  # more than a game left alone can score


def centred_text(shot, y, colour):  # a centred line of unknown length starts on one of two columns
    return min((read_text(shot, x, y, colour, 30).strip() for x in (280, 284)), key=lambda text: text.count("?"))


def frame_rate(shot):
    return (found := re.fullmatch(r"FPS : (\d+)", read_text(shot, 600, 10, HUD_BLUE, 12))) and int(found.group(1))


def start_problems(shot):  # how shot differs from a new game's first frames
    problems = [f"'{found}' instead of '{text}' at ({x}, {y})" for x, y, colour, text in (
        (10, 10, HUD_BLUE, "ARMES"), (10, 20, SELECTED_GREEN, "Missiles -> 10"),
        (10, 30, PALE_YELLOW, "Fireball -> 0"), (10, 40, PALE_YELLOW, "Choc -> 0"), (150, 10, HUD_BLUE, "ARMURE"),
        (282, 10, HUD_BLUE, "SCORE : 0"), (282, 20, HUD_BLUE, "TUES : 0"), (600, 10, HUD_BLUE, r"FPS : \d+"))
        if not re.fullmatch(text, found := read_text(shot, x, y, colour, len(text) + 2))]
    # The gauge's frame, its leading column and, for a full hull, a colour ramp by column.
    gauge = {(x, y): (64, 64, 64) if x in (150, 252) or y in (20, 32) else (255, 155, 192) if x == 151
             else (407 - x, x + 4, 192) for x in range(150, 253) for y in range(20, 33)}
    problems += [f"gauge pixel {xy} is {shot.getpixel(xy)}" for xy, c in gauge.items() if not near(shot.getpixel(xy), c)][:3]
    return problems + ([] if ship_at(shot, 400 - reference(67).width // 2) else ["no centred ship"])


class Path(harness.WindowTest):
    server_args = ("-noreset",)  # else the server drops the layout when its last client leaves

    def press(self, run, key, what, shown):  # a press now and then goes unseen: once more then
        run.key(key)
        try:
            return run.wait_screen(what, shown, 3)
        except AssertionError:
            if key == "Pause":  # Allegro alone answers every other stroke: each must count
                raise
            run.key(key)
            return run.wait_screen(what, shown, 3)

    def check_title(self, run):
        shot = run.point(720, 560, harness.pointer_at(720, 560), "pointer in a corner")
        for picture, top in ((73, 100), (4, 500)):  # the title, the play button
            self.assertGreater(match_ratio(shot, reference(picture), harness.centred_left(picture), top), 0.98)
        self.assertEqual([read_text(shot, x, y, colour, 13) for y in (350, 370) for x, colour in
                          ((100, LABEL_BLUE), (200, VALUE_RED))], ["Musique", "Musique OFF", "Effets", "Effets ON"])
        self.assertEqual([x for x in range(90, 171) if near(shot.getpixel((x, 358)), UNDERLINE_BLUE)], list(range(100, 155)))
        self.assertEqual(centred_text(shot, 570, LABEL_BLUE), f"Record : {RECORD}", self.last_kept)
        # Besides those, only the keys screen option, the keys line, the record and the pointer are drawn.
        drawn = ((60, 100, 739, 313), (320, 500, 479, 547), (100, 350, 287, 358), (100, 370, 279, 378),
                 (100, 390, 295, 398), (0, 410, 799, 450), (280, 570, 519, 577), (720, 560, 731, 578))
        stray = [(x, y) for y in range(0, 600, 2) for x in range(0, 800, 2) if shot.getpixel((x, y)) != (0, 0, 0)
                 and not any(l <= x <= r and t <= y <= b for l, t, r, b in drawn)]
        self.assertEqual(stray[:10], [], f"pixels drawn outside the menu's elements ({self.last_kept})")

    def test_title_game_pause_quit_dialog_game_over_and_title_again(self):
        self.server.run(["setxkbmap", "fr"])
        self.assertIn(b"ampersand", self.server.run(["xkbcomp", "-xkb", self.server.env["DISPLAY"], "-"]))
        run = self.start_at_title(record=f"{RECORD}\n")
        self.check_title(run)
        harness.switch_music(self, run, 104, "Musique ON")  # the label, then the value
        harness.switch_music(self, run, 230, "Musique OFF")
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
        # The edge is tested before the move: the last step, longer on a busy machine, may pass it.
        run.hold("Left", "ship at the left edge", lambda shot: any(ship_at(shot, x) for x in range(-24, 1)))

        # P and each stroke of the Pause key toggle; Escape there asks, and a no gives the pause back.
        for key, what, shown in (("p", "pause", pause_shown), ("Escape", "dialog", dialog_shown),
                                 ("Escape", "pause", pause_shown), ("Pause", "game", playing),
                                 ("Pause", "pause", pause_shown), ("Pause", "game", playing)):
            first = self.press(run, key, what, shown)
            if what == "pause" and key != "Escape":
                time.sleep(1)
                self.assertEqual(first.tobytes(), run.capture("a second later").tobytes(), "the paused game moved")

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
        run.wait_screen("title menu", harness.title_shown, 5)

        # Left alone, the ship is hunted down in about ten seconds; the rest is for bad luck.
        self.press(run, "Return", "game", harness.play_shown)
        shown = harness.centred_picture_shown(65)
        run.wait_screen("game-over picture", shown, timeout=90)
        seen = time.monotonic()
        for key in ("Escape", "Return", "space"):
            run.key(key)
        shot = run.capture("after the keys")
        self.assertTrue(shown(shot), "a key ended the game-over picture early")
        lines = [centred_text(shot, y, colour) for y, colour in ((352, PALE_YELLOW), (364, PALE_YELLOW),
                                                                  (376, (255, 200, 64)))]
        self.assertRegex("\n".join(lines), rf"^Score : -?\d+\nRecord : {RECORD}\n$", self.last_kept)
        run.wait_screen("picture gone", lambda shot: not shown(shot))
        self.assertGreater(time.monotonic() - seen, 1.5, "the picture went away early")  # 2 s, seen late
        run.wait_screen("title menu", harness.title_shown)
        time.sleep(1)
        self.assertTrue(run.proc.poll() is None and harness.title_shown(run.capture("title stays")),
                        "a key pressed during the picture quit or started a game")
        # With no sound device, alsa-lib would print nine lines at every start.
        run.key("Escape")
        self.assertEqual((run.wait_exit(), run.output()), (0, ""))


class CommandLine(unittest.TestCase):  # answered before any window opens
    def run_game(self, *args):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY")}
        done = subprocess.run([harness.EXE, *args], env=dict(env, ASAN_OPTIONS="detect_leaks=0"), capture_output=True,
                              text=True, timeout=30)
        return done.returncode, done.stdout, done.stderr

    def test_help_version_a_wrong_option_and_no_display(self):
        code, out, err = self.run_game("--help")
        self.assertEqual((code, err, out.startswith("Usage : zudaduviz ")), (0, "", True), out)
        for option in ("--fenetre", "--plein-ecran", "--donnees FICHIER", "--help", "--version"):
            self.assertIn(option, out)
        self.assertRegex("".join(map(str, self.run_game("--version"))), r"^0zudaduviz \d+\.\d+\.\d+\n$")
        code, out, err = self.run_game("--fenetre", "--bogus")
        self.assertEqual((code, out), (2, ""))
        self.assertRegex(err, r"^zudaduviz : .*--bogus.*\nUsage : zudaduviz ")
        code, out, err = self.run_game()
        self.assertEqual((code, harness.GRAPHICS_FAILED in out + err, harness.SANITIZER_REPORT.search(out + err)),
                         (1, True, None), out + err)


if __name__ == "__main__":
    harness.main()
