"""The end of a lost game in a real window: the game-over picture, deaf to keys, then the title."""

import time

import harness
from harness import GAUGE_LEAD, near

GAME_OVER = 65


class GameOver(harness.WindowTest):

    def test_lost_game_shows_the_picture_ignores_keys_and_returns_to_the_title(self):
        run = self.start_playing()
        shown = harness.centred_picture_shown(GAME_OVER)
        # Left alone, the ship is hunted down: invaders line up on it, fire and ram it.
        # That takes about ten seconds; the deadline leaves room for bad luck.
        shot = run.wait_screen("game-over picture", shown, timeout=90)
        seen = time.monotonic()

        # It is drawn over the last frame drawn, that of the update before the gauge
        # reached 0: the leading column and one point of armour are left.
        self.assertTrue(harness.gauge_outline_shown(shot), "the last play frame shows around the picture")
        self.assertTrue(all(near(shot.pixel(151, y), GAUGE_LEAD) for y in range(21, 32)))
        self.assertTrue(all(near(shot.pixel(152, y), (255, 156, 192)) for y in range(21, 32)))
        self.assertFalse(any(near(shot.pixel(x, 26), (407 - x, x + 4, 192)) for x in range(153, 252)),
                         f"the gauge shows more than one point (capture {self.last_kept})")

        # Keys pressed while it shows act neither now nor on the title menu.
        for key in ("Escape", "Return", "space"):
            run.key(key)
        self.assertTrue(shown(run.capture("after the keys")), "a key ended the game-over picture early")

        run.wait_screen("picture gone", lambda s: not shown(s), timeout=10)
        # About 2 s: 1000 ticks of the game clock. Captures can only see it late.
        self.assertGreater(time.monotonic() - seen, 1.5, "the picture went away early")
        run.wait_screen("title menu", harness.title_shown, timeout=10)
        time.sleep(1)
        self.assertTrue(run.alive(), "the Escape pressed during the picture quit the program")
        self.assertTrue(harness.title_shown(run.capture("title stays")),
                        "the Enter pressed during the picture started a game")


if __name__ == "__main__":
    harness.main()
