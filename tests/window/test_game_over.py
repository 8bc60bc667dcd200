# A lost game in a real window: the game-over picture with the score and the record under it,
# deaf to keys, then the title showing the record.
import time
import harness
from harness import PALE_YELLOW, LABEL_BLUE, read_text

RECORD = 999990  # more than a game left alone can score


# A centred line of text (its length unknown, so its start is on one of two columns) at row y.
def centred_text(shot, y, colour):
    return min((read_text(shot, x, y, colour, 30).strip() for x in (280, 284)), key=lambda text: text.count("?"))


class GameOver(harness.WindowTest):

    def test_game_over_picture_shows_the_score_and_record_two_seconds_ignoring_keys(self):
        run = self.start_at_title(record=f"{RECORD}\n")
        self.assertEqual(centred_text(run.capture("title"), 570, LABEL_BLUE), f"Record : {RECORD}", self.last_kept)
        run.key("Return")
        run.wait_screen("game", harness.play_shown)
        shown = harness.centred_picture_shown(65)
        # Left alone, the ship is hunted down in about ten seconds; the rest is for bad luck.
        run.wait_screen("game-over picture", shown, timeout=90)
        seen = time.monotonic()
        for key in ("Escape", "Return", "space"):
            run.key(key)
        shot = run.capture("after the keys")
        self.assertTrue(shown(shot), "a key ended the game-over picture early")
        # Under the 92-pixel picture centred at y 300: the score, the record, and no "Nouveau record !".
        lines = [centred_text(shot, y, colour) for y, colour in ((352, PALE_YELLOW), (364, PALE_YELLOW),
                                                                  (376, (255, 200, 64)))]
        self.assertRegex("\n".join(lines), rf"^Score : -?\d+\nRecord : {RECORD}\n$", self.last_kept)
        run.wait_screen("picture gone", lambda shot: not shown(shot))
        # 1000 ticks are 2 s; captures can only see it late.
        self.assertGreater(time.monotonic() - seen, 1.5, "the picture went away early")
        run.wait_screen("title menu", harness.title_shown)
        time.sleep(1)
        self.assertTrue(run.proc.poll() is None and harness.title_shown(run.capture("title stays")),
                        "a key pressed during the picture quit or started a game")


if __name__ == "__main__":
    harness.main()
