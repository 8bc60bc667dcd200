# Sound effects in a real window, heard with no sound card (the sound goes to a WAV file).
# Four games, each opened by holding the fire key for six seconds with the ship left where
# it starts (ten missiles at the full rate, then the invaders' shots, hits and rams): with
# the music alone, with the music and the effects, with neither, with the effects alone.
# The effects are heard, balanced against the music, and never take anything from it: the
# music's low notes, where it has most of its energy and the effects little, sound as loud
# under fire as without it, and nothing clips. The Effets option switches them, and a new
# run finds it as it was left. Prints the levels it measures.

import array, os, re, subprocess, time
import harness
from test_title import switch_effects, switch_music

FIRING_SECONDS = 6
VOLLEY_SECONDS = 1.5  # the ten missiles a game starts with, at the full rate
PLAYING_DB, SILENCE_DB = -35.0, -60.0
LOW_HZ = 200  # the music's bass and drums; the effects' energy lies mostly above


def level(raw, *effects):  # dBFS of 44.1 kHz stereo 16-bit values, after sox's effects; silence is -90.3
    stats = subprocess.run(["sox", "-t", "raw", "-e", "signed", "-b", "16", "-c", "2", "-r", "44100", "-", "-n",
                            *effects, "stats"], input=raw, capture_output=True, check=True).stderr.decode()
    return max(float(re.search(r"RMS lev dB\s+(\S+)", stats).group(1)), -90.3)


class Effects(harness.WindowTest):

    def setUp(self):
        super().setUp()
        self.wav = harness.capture_sound(self)

    def written(self):  # the WAV's size in whole stereo frames after its 44-byte header
        return os.path.getsize(self.wav) // 4 * 4

    # Level, low-band level and clipped values of the seconds written from byte start on.
    def measure(self, what, start, seconds):
        raw = self.wav.read_bytes()[start:start + int(seconds * 44100) * 4]
        raw = raw[:len(raw) // 4 * 4]
        self.assertGreater(len(raw), 0.9 * seconds * 4 * 44100, f"{what}: the game wrote too little sound")
        # Two 2-pole low-passes keep the bass and the drums.
        lows = level(raw, "lowpass", str(LOW_HZ), "lowpass", str(LOW_HZ))
        result = level(raw), lows, sum(abs(v) >= 32767 for v in array.array("h", raw))
        print(f"  {what}: {result[0]:.1f} dBFS, below {LOW_HZ} Hz {result[1]:.1f} dBFS, {result[2]} clipped values",
              flush=True)
        return result

    # Enter, full fire, and back to the title menu; what is heard in the volley of missiles
    # and in the whole stretch.
    def fire_in_a_game(self, run, what):
        run.key("Return")
        run.wait_screen("game", harness.play_shown, timeout=5)
        start = self.written()
        run.xdotool("keydown", "space")
        time.sleep(FIRING_SECONDS)
        run.xdotool("keyup", "space")
        heard = self.measure(what + ", volley", start, VOLLEY_SECONDS), self.measure(what, start, FIRING_SECONDS)
        if harness.play_shown(run.capture("after firing")):  # else the game is already over
            run.key("Escape")
            time.sleep(0.3)
            run.key("Return")
        run.wait_screen("title menu", harness.title_shown, timeout=10)
        return heard

    # The music is measured alone before any effect has sounded in the run, so that nothing
    # the effects might do to it for good can spoil the reference.
    def test_effects_are_heard_balanced_with_the_music_never_cut_it_and_the_option_is_kept(self):
        run = self.start_at_title()
        switch_effects(self, run, 120, "Effets OFF")
        switch_music(self, run, 150, "Musique ON")
        time.sleep(0.4)
        start = self.written()
        time.sleep(2)
        menu = self.measure("title, menu tune", start, 2)
        music = self.fire_in_a_game(run, "game, music alone")
        switch_effects(self, run, 120, "Effets ON")
        both = self.fire_in_a_game(run, "game, music and effects")
        switch_effects(self, run, 120, "Effets OFF")
        run.stop()

        run = self.start_at_title()  # the choice was saved
        self.assertEqual(harness.read_text(run.capture("title"), 200, 370, harness.VALUE_RED, 13), "Effets OFF")
        switch_music(self, run, 150, "Musique OFF")  # kept on as well
        silent = self.fire_in_a_game(run, "game, no music, no effects")
        switch_effects(self, run, 120, "Effets ON")
        effects = self.fire_in_a_game(run, "game, effects alone")

        (music_volley, music), (effects_volley, effects), (both_volley, both) = music, effects, both
        self.assertGreater(menu[0], PLAYING_DB)
        self.assertGreater(music[0], PLAYING_DB)
        self.assertLess(silent[1][0], SILENCE_DB, "effects heard while switched off")
        # Heard, yet under the music: the volley of missiles about 9 dB below the game tune.
        self.assertTrue(music_volley[0] - 12 < effects_volley[0] < music_volley[0] - 4,
                        "effects out of balance with the music")
        # A music cut or turned down by the effects would lose its low notes; the effects may
        # only add to them. (The two games start the tune within a frame or two of each
        # other: their levels differ by a few tenths of a dB.)
        self.assertGreater(both[1], music[1] - 1.5, "the music's low notes were weaker under fire")
        self.assertLess(both[2], 10, "music and effects clip")


if __name__ == "__main__":
    harness.main()
