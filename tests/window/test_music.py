"""Music in a real window, heard through ALSA's output sent to a WAV file: the title
menu's option switches the menu tune on and off, a game plays its own tune when
the music is on and nothing when it is off. Prints the levels it measures."""

import os
import time

import harness
from harness import VALUE_RED, read_text
import music_audio

# A point inside the option's text ("Musique" at x=100 .. the value's end, rows 350-358).
OPTION_POINT = (150, 354)
OPTION_Y = 350
QUIT_DIALOG = 72
# Well above silence: the tunes play around -15 dBFS.
PLAYING_DB = -35.0
LISTEN = 2.0
# Let a tune start, or the last notes of a stopped one die away, before listening.
SETTLE = 0.4


def music_value(shot):
    return read_text(shot, 200, OPTION_Y, VALUE_RED, 14)


class Music(harness.WindowTest):

    def setUp(self):
        super().setUp()
        if not os.path.exists(os.path.join(harness.BUILD_DIR, "patches.dat")):
            self.skipTest("no patches.dat next to the game (is freepats installed?): it runs silent")
        self.audio = music_audio.AudioCapture()
        self.addCleanup(self.audio.remove)
        self.server.env.update(self.audio.env)
        self.brightness = None

    def listen(self, what):
        """The level of what the game writes over the next LISTEN seconds."""
        time.sleep(SETTLE)
        start = self.audio.position()
        began = time.monotonic()
        time.sleep(LISTEN)
        end = self.audio.position()
        wall = time.monotonic() - began
        level = self.audio.level(start, end)
        self.brightness = self.audio.brightness(start, end)
        heard = self.audio.seconds(start, end)
        print(f"\n  {what}: {level:.1f} dBFS, brightness {self.brightness:.1f} dB,"
              f" over {heard:.2f} s of sound ({wall:.2f} s of wall time)", end="")
        return level

    def set_music(self, run, expected):
        """Clicks the music option until it shows expected. A press is held for one
        or two frames; a busy machine can miss it or stretch it past the four
        frames after which the option steps again, so a wrong value is clicked again."""
        for attempt in range(4):
            run.move_mouse(*OPTION_POINT)
            run.click(hold=harness.SHORT_CLICK)
            # Off the text, so that the pointer hides no letter of the value.
            run.move_mouse(OPTION_POINT[0], OPTION_Y + 40)
            time.sleep(0.25)
            if music_value(run.capture("option")) == expected:
                return
        self.fail(f"the music option never showed '{expected}' (capture {self.last_kept})")

    def leave_game(self, run):
        run.key("Escape")
        run.wait_screen("quit dialog", harness.centred_picture_shown(QUIT_DIALOG), timeout=5)
        run.key("Return")
        run.wait_screen("title menu again", harness.title_shown, timeout=10)

    def test_the_option_switches_the_menu_tune_and_a_game_plays_its_own(self):
        run = self.start_at_title()
        self.assertEqual(music_value(run.capture("title")), "Musique OFF")
        self.assertGreater(self.audio.position(), 0, "the game opened no sound output")
        self.assertLess(self.listen("title, music off"), music_audio.SILENCE_DB)

        self.set_music(run, "Musique ON")
        self.assertGreater(self.listen("title, menu tune"), PLAYING_DB)
        menu_brightness = self.brightness

        self.set_music(run, "Musique OFF")
        self.assertLess(self.listen("title, switched off"), music_audio.SILENCE_DB)

        self.set_music(run, "Musique ON")
        run.key("Return")
        run.wait_screen("game", harness.play_shown, timeout=5)
        self.assertGreater(self.listen("game, game tune"), PLAYING_DB)
        # Its drums and square-wave lead set it well apart from the calm menu tune
        # (measured about 6 dB apart over the first seconds of each).
        self.assertGreater(self.brightness, menu_brightness + 3.0,
                           "the game plays something as mellow as the menu tune: the menu tune still?")

        # The setting lasts: back at the title the menu tune plays again.
        self.leave_game(run)
        self.assertGreater(self.listen("title after a game, menu tune"), PLAYING_DB)

        self.set_music(run, "Musique OFF")
        run.key("Return")
        run.wait_screen("game", harness.play_shown, timeout=5)
        self.assertLess(self.listen("game, music off"), music_audio.SILENCE_DB)

        self.leave_game(run)
        run.key("Escape")
        self.assertEqual(run.wait_exit(10), 0)
        print()


if __name__ == "__main__":
    harness.main()
