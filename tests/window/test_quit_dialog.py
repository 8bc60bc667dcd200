# The quit dialog in a real window: over the frozen game, its keys and its confirm area.
import re, time
import harness
from harness import HUD_BLUE, match_ratio, read_text, reference

LEFT, TOP = 250, 225  # the 301x151 picture, centred


def dialog_shown(shot):
    return match_ratio(shot, reference(72), LEFT, TOP, step=2) > 0.9


def around_dialog(shot):  # the rows of pixels, less the picture's part
    rows = [shot.rgb[y * 2400:(y + 1) * 2400] for y in range(600)]
    return [row[:3 * LEFT] + row[3 * (LEFT + 301):] if TOP <= y < TOP + 151 else row for y, row in enumerate(rows)]


def frame_rate(shot):
    return (found := re.fullmatch(r"FPS : (\d+)", read_text(shot, 600, 10, HUD_BLUE, 12))) and int(found.group(1))


class QuitDialog(harness.WindowTest):

    def open_dialog(self, run):
        run.key("Escape")
        return run.wait_screen("quit dialog", dialog_shown, 5)

    def test_escape_resumes_the_frozen_game_enter_or_a_left_click_on_confirm_end_it_a_right_click_not(self):
        run = self.start_playing()
        time.sleep(1.5)
        rate = frame_rate(run.wait_screen("frame rate", frame_rate, 3))
        first = self.open_dialog(run)
        time.sleep(3)
        later = run.capture("three seconds later")
        self.assertTrue(dialog_shown(later) and harness.play_shown(later), "the dialog over the last play frame")
        self.assertEqual(around_dialog(first), around_dialog(later), "the play field moved behind the dialog")
        run.key("Escape")
        resumed = run.wait_screen("game", lambda shot: not dialog_shown(shot) and harness.play_shown(shot), 5)
        self.assertNotEqual(around_dialog(resumed), around_dialog(run.capture("moving")), "the game stands still")
        # The rate shown is frames drawn over ticks counted since the game began: had the
        # three seconds in the dialog been counted, it would have fallen to a third.
        self.assertGreater(frame_rate(run.wait_screen("frame rate", frame_rate, 3)), 0.6 * rate)
        self.open_dialog(run)
        run.key("Return")
        run.wait_screen("title menu", harness.title_shown, 5)
        run.key("Return")
        run.wait_screen("game", harness.play_shown, 5)
        self.open_dialog(run)
        # The pointer is drawn where the player points: on the confirm button as shown.
        run.point(LEFT + 77, TOP + 96, lambda shot: match_ratio(shot, reference(70), LEFT + 77, TOP + 96) > 0.9
                  and dialog_shown(shot), "pointer on the confirm area")
        run.click(3)
        time.sleep(0.3)
        self.assertTrue(dialog_shown(run.capture("after a right click")), "a right click closed the dialog")
        run.click(1)
        run.wait_screen("title menu", harness.title_shown, 5)


if __name__ == "__main__":
    harness.main()
