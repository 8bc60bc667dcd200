# Music in a real window, heard through the harness's sound capture. The title menu's option
# switches the menu tune on and off; a game plays its own tune when the music is on and
# nothing when it is off, nor while paused. Prints the levels it measures.

import time

import harness
from harness import PLAYING_DB, SILENCE_DB
from test_pause import pause_shown
from test_title import switch_music


class Music(harness.WindowTest):

    def setUp(self):
        super().setUp()
        self.listen = harness.SoundCapture(self).listen
        harness.write_settings(self, "effects=off\n")  # the tunes alone

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
