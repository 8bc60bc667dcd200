# Music in a real window, heard with no sound card: ALSA's default output becomes a plug
# (Allegro's unsigned samples to signed) into a WAV file, whose "null" slave keeps real time
# only with the small fragments a test-only allegro.cfg (in a temporary HOME) asks for. The
# title menu's option switches the menu tune on and off; a game plays its own tune when the
# music is on and nothing when it is off, nor while paused. Prints the levels it measures.

import array, math, os, tempfile, time
from pathlib import Path
import harness
from test_pause import pause_shown
from test_title import switch_music

# No sound card: ctl and rawmidi on card 0 just keep alsa-lib from complaining.
ALSA_CONFIG = """pcm.!default { type plug; slave { pcm "wav"; format S16_LE } }
pcm.wav { type file; slave.pcm "null"; file "%s"; format "wav" }
ctl.!default { type hw; card 0 } rawmidi.!default { type hw; card 0 }"""
# The tunes play around -15 dBFS; an idle mixer writes exact zeros.
PLAYING_DB, SILENCE_DB = -35.0, -60.0


class Music(harness.WindowTest):

    def setUp(self):
        super().setUp()
        if not os.path.exists(os.path.join(harness.BUILD_DIR, "patches.dat")):
            self.skipTest("no patches.dat next to the game (no freepats?): it runs silent")
        home = Path(self.enterContext(tempfile.TemporaryDirectory(prefix="zudaduviz-music-")))
        self.wav = home / "out.wav"
        (home / "alsa.conf").write_text(ALSA_CONFIG % self.wav)
        (home / "allegro.cfg").write_text("[sound]\nalsa_fragsize = 441\n")
        self.server.env.update(HOME=str(home), ALSA_CONFIG_PATH=f"/usr/share/alsa/alsa.conf:{home / 'alsa.conf'}")

    def listen(self, what):
        # (level, brightness) in dB of the next two seconds of sound, once a tune has had time
        # to start or a stopped one to die away. Brightness, the level of the steps from sample
        # to sample relative to the level, is higher for drums than for a flute.
        time.sleep(0.4)
        start = os.path.getsize(self.wav) // 4 * 4  # whole frames after the 44-byte header
        time.sleep(2)
        raw = self.wav.read_bytes()[start:]
        left = array.array("h", raw[:len(raw) // 4 * 4])[::2]
        self.assertGreater(len(left), 1.5 * 44100, f"{what}: the game wrote too little sound")
        power, steps = sum(s * s for s in left), sum((b - a) ** 2 for a, b in zip(left, left[1:]))
        level = 10 * math.log10(max(power / len(left), 1) / 32768 ** 2)  # silence shows as -90.3
        brightness = 10 * math.log10(max(steps, 1) / max(power, 1))
        print(f"  {what}: {level:.1f} dBFS, brightness {brightness:.1f} dB", flush=True)
        return level, brightness

    def play(self, run, what):  # Enter, then what is heard in the game
        run.key("Return")
        run.wait_screen("game", harness.play_shown, timeout=5)
        return self.listen(what)

    # The menu option starts with the music off, in every run.
    def test_the_option_switches_the_menu_tune_and_a_game_plays_its_own(self):
        run = self.start_at_title()
        switch_music(self, run, 150, "Musique ON")
        menu_level, menu_brightness = self.listen("title, menu tune")
        self.assertGreater(menu_level, PLAYING_DB)
        switch_music(self, run, 150, "Musique OFF")
        self.assertLess(self.listen("title, switched off")[0], SILENCE_DB)
        self.assertLess(self.play(run, "game, music off")[0], SILENCE_DB)
        run.stop()
        run = self.start_at_title()
        switch_music(self, run, 150, "Musique ON")
        game_level, game_brightness = self.play(run, "game, game tune")
        self.assertGreater(game_level, PLAYING_DB)
        # Drums and a square-wave lead: about 5 dB brighter than the menu tune.
        self.assertGreater(game_brightness, menu_brightness + 3, "the game plays the menu tune?")

    # Paused right away, so that the invaders have little time to end the game meanwhile.
    def test_the_pause_silences_the_game_tune_until_the_game_goes_on(self):
        run = self.start_at_title()
        switch_music(self, run, 150, "Musique ON")
        run.key("Return")
        run.wait_screen("game", harness.play_shown, timeout=5)
        run.key("p")
        run.wait_screen("pause", pause_shown, timeout=5)
        time.sleep(1.6)  # a drum struck just before rings out: about 1.5 s for the first bar's
        self.assertLess(self.listen("game, paused")[0], SILENCE_DB)
        run.key("p")
        run.wait_screen("game", lambda shot: harness.play_shown(shot) and not pause_shown(shot), timeout=5)
        self.assertGreater(self.listen("game, going on")[0], PLAYING_DB)


if __name__ == "__main__":
    harness.main()
