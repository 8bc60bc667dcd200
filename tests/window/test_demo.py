# The title's demo in a real window: with no recorded game the title only waits; once a best
# game lies in the player's data folder, 20 s untouched start it on the play field with its
# "DÉMO" line, and a key ends it back on the title without acting (Enter starts no game).
import os, shutil, time
import harness
from harness import PALE_YELLOW, read_text

STORED_GAME = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "replays", "firing-to-the-right.replay")
IDLE = 20


class Demo(harness.WindowTest):

    def test_demo_waits_for_a_recorded_game_and_twenty_idle_seconds_and_a_key_ends_it(self):
        run = self.start_at_title(record="0\n")
        untouched = time.monotonic()
        while time.monotonic() - untouched < IDLE + 3:
            self.assertTrue(harness.title_shown(run.capture("no recorded game")), f"not the title: {self.last_kept}")
            time.sleep(1)

        shutil.copy(STORED_GAME, os.path.join(run.workdir, "data", "zudaduviz", "best-game.replay"))
        copied = time.monotonic()
        shot = run.wait_screen("demo", harness.play_shown, timeout=IDLE + 10)
        # The title looks again 20 s after its last look, which came before the copy.
        self.assertLess(time.monotonic() - copied, IDLE + 5)
        self.assertEqual(read_text(shot, 600, 24, PALE_YELLOW, 4), "D?MO", self.last_kept)

        run.key("Return")
        run.wait_screen("title after the demo", harness.title_shown, timeout=2)
        time.sleep(1.5)
        self.assertTrue(run.proc.poll() is None and harness.title_shown(run.capture("title stays")),
                        f"the key that ended the demo acted on the title: {self.last_kept}")


if __name__ == "__main__":
    harness.main()
