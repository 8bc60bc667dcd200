# The title menu in a real window: what it shows, its two widgets, Enter and Escape.
import time
import harness
from harness import LABEL_BLUE, UNDERLINE_BLUE, VALUE_RED, centred_left, match_ratio, near, read_text, reference

TITLE, BUTTON, POINTER = 73, 4, 71


def pointer_at(x, y):
    return lambda shot: match_ratio(shot, reference(POINTER), x, y) > 0.9


class TitleScreen(harness.WindowTest):

    def test_layout(self):
        run = self.start_at_title()
        # The pointer parked in an empty corner covers nothing checked here.
        shot = run.point(720, 560, pointer_at(720, 560), "pointer in a corner")
        self.assertGreater(match_ratio(shot, reference(TITLE), centred_left(TITLE), 100), 0.98, "title picture")
        self.assertGreater(match_ratio(shot, reference(BUTTON), centred_left(BUTTON), 500), 0.98, "play button")
        self.assertEqual((read_text(shot, 100, 350, LABEL_BLUE, 9), read_text(shot, 200, 350, VALUE_RED, 13)),
                         ("Musique", "Musique OFF"))
        self.assertEqual([x for x in range(90, 171) if near(shot.pixel(x, 358), UNDERLINE_BLUE)],
                         list(range(100, 155)), "underline of the label")
        # Besides those, only a credit line around y=430 and the pointer are drawn.
        drawn = ((60, 100, 739, 313), (320, 500, 479, 547), (100, 350, 287, 358), (0, 410, 799, 450),
                 (720, 560, 731, 578))
        stray = [(x, y) for y in range(0, 600, 2) for x in range(0, 800, 2) if shot.pixel(x, y) != (0, 0, 0)
                 and not any(l <= x <= r and t <= y <= b for l, t, r, b in drawn)]
        self.assertEqual(stray[:10], [], f"pixels drawn outside the menu's elements ({self.last_kept})")

    def test_short_click_on_the_music_option_switches_it(self):
        run = self.start_at_title()
        for x, expected in ((104, "Musique ON"), (230, "Musique OFF")):
            # A short press can be missed or stretched past four frames on a busy
            # machine: either leaves the value unchanged, so click again.
            for attempt in range(3):
                run.point(x, 353, pointer_at(x, 353), f"pointer at ({x}, 353)")
                run.click(hold=harness.SHORT_CLICK)
                run.move_mouse(x, 380)  # off the text
                time.sleep(0.25)
                if read_text(run.capture("option"), 200, 350, VALUE_RED, 14) == expected:
                    break
            else:
                self.fail(f"short clicks at x={x} never gave '{expected}' ({self.last_kept})")

    def test_enter_or_a_click_on_the_play_button_starts_a_game(self):
        for by_click in (False, True):
            run = self.start_at_title()
            if by_click:
                run.point(400, 524, pointer_at(400, 524), "pointer on the button")
            run.click() if by_click else run.key("Return")
            run.wait_screen("game", harness.play_shown, timeout=5)
            run.stop()

    def test_escape_exits_0(self):
        run = self.start_at_title()
        run.key("Escape")
        self.assertEqual(run.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
