# SPDX-License-Identifier: GPL-3.0-or-later
# Music and sound effects in a real window, heard with no sound card (the sound goes to a
# WAV file). The title's Musique option switches the menu tune; a game plays its own tune
# (brighter: drums and a square lead), nothing while paused, and nothing with the music off.
# Games opened by holding fire for six seconds with the ship where it starts (ten missiles
# at the full rate, then the invaders' shots, hits and rams), with the music alone, the
# music and the effects, the effects alone, neither: the effects are heard, balanced against
# the music, never take its low notes away (where it has most of its energy and the effects
# little), nothing clips, and a new run finds the Effets option as it was left. Prints the
# levels it measures.
import time
import harness
from harness import PLAYING_DB, SILENCE_DB, switch_effects, switch_music

FIRING_SECONDS, VOLLEY_SECONDS = 6, 1.5  # the volley: the ten missiles a game starts with


class Sound(harness.WindowTest):

    # Enter, full fire, back to the title: what is heard in the volley and in the whole stretch.
    def fire_in_a_game(self, run, what, pause=False):
        run.press("Return", "game", harness.play_shown, 5)
        if pause:  # right away, so that the invaders have little time to end the game meanwhile
            run.press("p", "pause", harness.pause_shown, 5)
            time.sleep(1.6)  # a drum struck just before rings out: about 1.5 s for the first bar's
            self.assertLess(self.sound.listen("game, paused")[0], SILENCE_DB)
            run.press("p", "game", harness.playing, 5)
        start = self.sound.written()
        run.xdotool("keydown", "space")
        time.sleep(FIRING_SECONDS)
        run.xdotool("keyup", "space")
        heard = [self.sound.measure(label, start, seconds) for label, seconds in
                 ((what + ", volley", VOLLEY_SECONDS), (what, FIRING_SECONDS))]
        if harness.play_shown(run.capture("after firing")):  # else the game is already over
            run.key("Escape")
            time.sleep(0.3)
            run.key("Return")
        run.wait_screen("title menu", harness.title_shown, timeout=10)
        return heard

    # The music is measured alone before any effect has sounded in the run, so that nothing
    # the effects might do to it for good can spoil the reference.
    def test_music_and_effects_heard_where_they_should_and_the_effects_option_kept(self):
        self.sound = harness.SoundCapture(self)
        run = self.start_at_title()
        switch_effects(self, run, 120, "Effets OFF")
        switch_music(self, run, 150, "Musique ON")
        menu_level, _, _, menu_brightness = self.sound.listen("title, menu tune")
        switch_music(self, run, 104, "Musique OFF")
        self.assertLess(self.sound.listen("title, switched off")[0], SILENCE_DB)
        switch_music(self, run, 150, "Musique ON")
        music_volley, music = self.fire_in_a_game(run, "game, music alone", pause=True)
        switch_effects(self, run, 120, "Effets ON")
        _, both = self.fire_in_a_game(run, "game, music and effects")
        switch_effects(self, run, 120, "Effets OFF")
        run.stop()

        run = self.start_at_title()  # both choices were kept
        self.assertEqual(harness.read_text(run.capture("title"), 200, 370, harness.VALUE_RED, 13), "Effets OFF")
        switch_music(self, run, 104, "Musique OFF")
        _, silent = self.fire_in_a_game(run, "game, no music, no effects")
        switch_effects(self, run, 120, "Effets ON")
        effects_volley, _ = self.fire_in_a_game(run, "game, effects alone")

        self.assertGreater(menu_level, PLAYING_DB)
        self.assertGreater(music[0], PLAYING_DB)
        self.assertGreater(music[3], menu_brightness + 3, "the game plays the menu tune?")
        self.assertLess(silent[0], SILENCE_DB, "sound with the music and the effects off")
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
