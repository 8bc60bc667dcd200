# A lost game in a real window: the game-over picture, deaf to keys, then the title.
import time
import harness


class GameOver(harness.WindowTest):

    def test_game_over_picture_stays_two_seconds_and_ignores_keys(self):
        run = self.start_playing()
        shown = harness.centred_picture_shown(65)
        # Left alone, the ship is hunted down in about ten seconds; the rest is for bad luck.
        run.wait_screen("game-over picture", shown, timeout=90)
        seen = time.monotonic()
        for key in ("Escape", "Return", "space"):
            run.key(key)
        self.assertTrue(shown(run.capture("after the keys")), "a key ended the game-over picture early")
        run.wait_screen("picture gone", lambda shot: not shown(shot))
        # 1000 ticks are 2 s; captures can only see it late.
        self.assertGreater(time.monotonic() - seen, 1.5, "the picture went away early")
        run.wait_screen("title menu", harness.title_shown)
        time.sleep(1)
        self.assertTrue(run.proc.poll() is None and harness.title_shown(run.capture("title stays")),
                        "a key pressed during the picture quit or started a game")


if __name__ == "__main__":
    harness.main()
