# SPDX-License-Identifier: GPL-3.0-or-later
# The keys screen, the installed game and the title's demo in real windows. Level 2 is chosen,
# F1 opens the keys screen, fire goes to another key (F1 refused, a wait given up, two keys
# exchanged back and forth, each exchange said), a name is typed on the title (kept, given up,
# emptied: the login name again), a game fires with that key; each choice is in the settings
# file at once. Then the game installed as a packager installs it (cmake --install into a
# DESTDIR), started from a folder that has nothing to do with it, finds its data and its
# instruments and the key, the music and the level as they were left (a click on Keys shows the
# key, Defaults puts Space back, Auto-fire comes on, Back leaves), and speaks English to an
# English locale that the machine has not generated (its catalogue installed; French at a click
# on Language, English again at the next); with a FIFO for the best game and a last game in the
# player's data folder, the untouched title starts the last one as a demo with its "DEMO" line
# and English HUD, and a key ends it back on the title without acting.
import os, pathlib, pwd, shutil, subprocess, tempfile, time
import harness
from harness import MUSIC_Y, PALE_YELLOW, SELECTED_GREEN, VALUE_RED, dialog_shown, read_text, switch_music

FIRE_Y = 270 + 2 * 18  # the third action's line
BRIGHT = (255, 255, 192)  # the notices, and the line waiting for a key
LEVEL_Y, NAME_Y, LANGUAGE_Y = 300, 320, 410  # the title's "Rapidité" (the font's é reads as ?), "Nom" and "Langue" lines
STORED_GAME = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "replays", "firing-to-the-right.replay")


def keys_shown(shot):
    return read_text(shot, 180, 250, (150, 150, 190), 7) == "Action"


def fire_key(shot):
    return read_text(shot, 360, FIRE_Y, VALUE_RED, 8)


def waiting(y):  # for a key on line y
    return lambda shot: read_text(shot, 360, y, BRIGHT, 3) == "..."


def said(shot, notice):  # the keys screen's notice
    return harness.centred_text(shot, 440, BRIGHT, notice)


CHOOSE = "Cliquez sur une action, ou fl?ches et Entr?e"


class Keys(harness.WindowTest):

    def test_fire_on_another_key_kept_by_the_installed_game_with_its_music_and_its_demo(self):
        settings = pathlib.Path(self.config_home) / "zudaduviz" / "settings"
        sound = harness.SoundCapture(self)  # without a sound device the music starts off, whatever was chosen
        run = self.start_at_title()
        switch_music(self, run, 150, "Musique ON")
        self.assertIn("music=on\n", settings.read_text())  # each choice kept at once
        harness.switch_option(LEVEL_Y, self, run, 150, "Rapidit? 2")
        self.assertIn("level=2\n", settings.read_text())
        self.assertEqual(fire_key(run.press("F1", "keys screen", keys_shown, 5)), "Espace")
        for key in ("Up", "Down", "Down", "Down", "Return"):  # Up from the first line wraps to the last, Down back
            run.key(key)
        run.wait_screen("waiting for a key", waiting(FIRE_Y))
        run.press("k", "fire on K", lambda shot: fire_key(shot) == "K")
        self.assertIn("key_fire=K\n", settings.read_text())  # kept at once
        # A key the game keeps is refused, Escape gives up the wait; a key another action had changes places
        # with its own, and the screen says so.
        run.key("Return")
        run.wait_screen("waiting again", waiting(FIRE_Y))
        run.press("F1", "a key the game keeps", lambda shot: waiting(FIRE_Y)(shot)
                  and said(shot, "Cette touche est r?serv?e au jeu      ?chap : annuler"))
        run.press("Escape", "the wait given up", lambda shot: fire_key(shot) == "K" and said(shot, CHOOSE))
        for key, y, fire, notice in (("Up", FIRE_Y - 18, "Droite", "Droite et Tir ?changent leurs touches"),
                                     ("Down", FIRE_Y, "K", "Tir et Droite ?changent leurs touches")):
            run.key(key)
            run.key("Return")
            run.wait_screen(f"waiting at {y}", waiting(y))
            run.press("k", notice, lambda shot: fire_key(shot) == fire and said(shot, notice))
        run.press("Escape", "title menu", harness.title_shown)
        # "Nom": typed and kept by Enter at once; a typing given up by Escape (which quits nothing); emptied, the login name.
        name = lambda shot: read_text(shot, 200, NAME_Y, VALUE_RED, 14)
        login = pwd.getpwuid(os.getuid()).pw_name[:12]  # the last step shows it, emptied
        for typed, end, shown in (("BackSpace " * 13 + "Z o e", "Return", "Zoe"), ("q", "Escape", "Zoe"),
                                  ("BackSpace " * 3, "Return", login)):
            run.point(105, NAME_Y + 3, harness.pointer_at(105, NAME_Y + 3), "pointer on Nom")
            run.click(hold=harness.SHORT_CLICK)
            run.wait_screen("typing", lambda shot: name(shot).endswith("_"))
            run.xdotool("key", "--delay", 40, *typed.split(), end)
            run.wait_screen(f"name {shown}", lambda shot: name(shot) == shown)
            kept = [line for line in settings.read_text().splitlines() if line.startswith("name=")]
            self.assertEqual(kept, [] if shown == login else [f"name={shown}"])
        run.press("Return", "game", harness.play_shown)
        # Held, K fires every tenth update: on a busy machine a capture may come after several.
        run.hold("k", "a missile fired", lambda shot: read_text(shot, 10, 20, SELECTED_GREEN, 14) in
                 {f"Missiles -> {n}" for n in range(10)})
        run.press("Escape", "quit dialog", dialog_shown)
        run.press("Return", "title menu", harness.title_shown)
        run.key("Escape")
        self.assertEqual(run.wait_exit(), 0)

        destdir = self.enterContext(tempfile.TemporaryDirectory(prefix="zudaduviz-destdir-"))
        subprocess.run(["cmake", "--install", harness.BUILD_DIR], env=dict(os.environ, DESTDIR=destdir), check=True,
                       capture_output=True)
        exe = next(os.path.join(folder, "zudaduviz") for folder, _, names in os.walk(destdir)
                   if folder.endswith("bin") and "zudaduviz" in names)
        self.assertFalse(os.path.exists(os.path.join(os.path.dirname(exe), "patches.dat")))
        def kept_games(folder):
            (folder / "record").write_text("0\n")
            os.mkfifo(folder / "best-game.replay")
            shutil.copy(STORED_GAME, folder / "last-game.replay")
        self.server.env["LANG"] = "en_US.UTF-8"
        run = self.start_at_title(exe=exe, with_data=False, record=kept_games)
        shot = run.capture("installed")
        # No game at pace 2 yet: no record line.
        self.assertEqual([read_text(shot, 200, y, VALUE_RED, 13) for y in (LEVEL_Y, MUSIC_Y)] +
                         [read_text(shot, 284, 570, harness.LABEL_BLUE, 30).strip()], ["Pace 2", "Music ON", ""])
        self.assertGreater(sound.listen("installed, menu tune")[0], harness.PLAYING_DB)
        # A click on "Keys" opens the screen, one on "Defaults" puts the first keys back (kept at once), "Back" leaves.
        run.point(105, 393, harness.pointer_at(105, 393), "pointer on Keys")
        run.click(hold=harness.SHORT_CLICK)
        self.assertEqual(fire_key(run.wait_screen("keys screen", keys_shown, 5)), "K")
        run.point(255, 473, harness.pointer_at(255, 473), "pointer on Defaults")
        run.click(hold=harness.SHORT_CLICK)
        run.wait_screen("the first keys", lambda shot: fire_key(shot) == "Space" and said(shot, "The original keys and buttons are back"))
        self.assertIn("key_fire=SPACE\n", settings.read_text())
        run.point(185, 503, harness.pointer_at(185, 503), "pointer on Auto-fire")
        run.click(hold=harness.SHORT_CLICK)
        run.wait_screen("auto-fire on", lambda shot: read_text(shot, 360, 500, VALUE_RED, 3) == "ON")
        self.assertIn("auto_fire=on\n", settings.read_text())
        run.point(475, 473, harness.pointer_at(475, 473), "pointer on Back")
        run.click(hold=harness.SHORT_CLICK)
        run.wait_screen("title menu", harness.title_shown)
        # "Language" speaks French at once, then English again, kept.
        harness.switch_option(LANGUAGE_Y, self, run, 105, "Fran?ais")
        self.assertEqual(read_text(run.capture("in French"), 100, LANGUAGE_Y, harness.LABEL_BLUE, 6), "Langue")
        harness.switch_option(LANGUAGE_Y, self, run, 105, "English")
        self.assertIn("language=en\n", settings.read_text())
        untouched = time.monotonic()
        shot = run.wait_screen("demo", harness.play_shown, timeout=35)  # 20 s untouched, then it starts
        self.assertGreater(time.monotonic() - untouched, 15, "the demo came before 20 s")
        self.assertEqual([read_text(shot, *place) for place in ((600, 24, PALE_YELLOW, 4), (10, 10, harness.HUD_BLUE, 8),
                          (150, 10, harness.HUD_BLUE, 7))], ["DEMO", "WEAPONS", "ARMOUR"], self.last_kept)
        run.press("Return", "title after the demo", harness.title_shown, 2)
        time.sleep(1.5)
        self.assertTrue(run.proc.poll() is None and harness.title_shown(run.capture("title stays")),
                        f"the key that ended the demo acted on the title: {self.last_kept}")


if __name__ == "__main__":
    harness.main()
