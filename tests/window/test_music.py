# Music in a real window, heard with no sound card (the sound goes to a WAV file). The
# title menu's option switches the menu tune on and off; a game plays its own tune when the
# music is on and nothing when it is off. Prints the levels it measures.

import array, math, os, time
import harness
from test_title import switch_music

# The tunes play around -15 dBFS; an idle mixer writes exact zeros.
PLAYING_DB, SILENCE_DB = -35.0, -60.0


class Music(harness.WindowTest):

    def setUp(self):
        super().setUp()
        self.wav = harness.capture_sound(self)
        harness.write_settings(self, "effects=off\n")  # the tunes alone

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


if __name__ == "__main__":
    harness.main()
