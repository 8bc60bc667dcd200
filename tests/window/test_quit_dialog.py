"""The quit dialog in a real window: over the frozen game, its pointer, its keys and areas."""

import re
import time

import harness
from harness import HUD_BLUE, match_ratio, read_text, reference

DIALOG = 72
POINTER = 70
# The dialog picture is centred on the screen.
LEFT = harness.SCREEN_W // 2 - 301 // 2
TOP = harness.SCREEN_H // 2 - 151 // 2


def dialog_shown(shot):
    return match_ratio(shot, reference(DIALOG), LEFT, TOP, step=2) > 0.9


def dialog_gone(shot):
    return match_ratio(shot, reference(DIALOG), LEFT, TOP, step=2) < 0.5 and harness.play_shown(shot)


def pointer_in_dialog(px, py):
    """The dialog's pointer drawn at (px, py) of the dialog picture."""
    return lambda shot: dialog_shown(shot) and match_ratio(shot, reference(POINTER), LEFT + px, TOP + py) > 0.9


def outside_dialog(shot):
    """The pixels around the dialog picture, row by row."""
    w = shot.width * 3
    rows = []
    for y in range(shot.height):
        row = shot.rgb[y * w:(y + 1) * w]
        if TOP <= y < TOP + 151:
            row = row[:LEFT * 3] + row[(LEFT + 301) * 3:]
        rows.append(row)
    return rows


def frame_rate(shot):
    found = re.fullmatch(r"FPS : (\d+)", read_text(shot, 600, 10, HUD_BLUE, 12))
    return int(found.group(1)) if found else None


class QuitDialog(harness.WindowTest):

    def open_dialog(self, run):
        run.key("Escape")
        return run.wait_screen("quit dialog", dialog_shown, timeout=5)

    def point_in_dialog(self, run, px, py):
        # While the dialog is open the mouse range is the picture's, and Allegro's
        # X11 driver reports the pointer's place in the window clamped to that
        # range: window (px, py) is picture (px, py). The drawn pointer proves it.
        run.point(px, py, pointer_in_dialog(px, py), f"dialog pointer at ({px}, {py})")

    def test_dialog_freezes_the_game_and_escape_resumes_it(self):
        run = self.start_playing()
        self.assertEqual(reference(DIALOG).width, 301)
        self.assertEqual(reference(DIALOG).height, 151)
        first = self.open_dialog(run)
        # The pointer starts at the middle of the picture.
        run.wait_screen("dialog pointer at the middle", pointer_in_dialog(150, 75), timeout=3)
        time.sleep(0.4)
        later = run.capture("frozen")
        self.assertTrue(dialog_shown(later))
        self.assertEqual(outside_dialog(first), outside_dialog(later),
                         "the play field moved behind the dialog")
        self.assertTrue(harness.gauge_outline_shown(later), "the last play frame shows around the dialog")

        run.key("Escape")
        resumed = run.wait_screen("game without the dialog", dialog_gone, timeout=5)
        time.sleep(0.3)
        self.assertNotEqual(outside_dialog(resumed), outside_dialog(run.capture("moving")),
                            "the game did not go on")
        self.assertTrue(run.alive())

    def test_time_in_the_dialog_is_not_counted(self):
        run = self.start_playing()
        time.sleep(1.5)
        before = run.wait_screen("frame rate", lambda s: (frame_rate(s) or 0) > 0, timeout=3)
        rate_before = frame_rate(before)
        self.open_dialog(run)
        time.sleep(3)
        run.key("Escape")
        run.wait_screen("game without the dialog", dialog_gone, timeout=5)
        # The frame rate shown is frames drawn over ticks counted since the game
        # began: had the three seconds in the dialog counted, it would fall to a
        # third or less.
        after = run.wait_screen("frame rate", lambda s: frame_rate(s) is not None, timeout=3)
        self.assertGreater(frame_rate(after), 0.6 * rate_before,
                           f"frame rate {rate_before} before the dialog, {frame_rate(after)} after")

    def test_enter_ends_the_game(self):
        run = self.start_playing()
        self.open_dialog(run)
        run.key("Return")
        run.wait_screen("title menu", harness.title_shown, timeout=5)
        time.sleep(0.3)
        self.assertTrue(harness.title_shown(run.capture("title stays")))

    def test_right_click_does_nothing_left_click_on_confirm_ends_the_game(self):
        run = self.start_playing()
        self.open_dialog(run)
        for px, py in ((57, 82), (98, 110)):
            self.point_in_dialog(run, px, py)
            run.click(3)
            time.sleep(0.3)
            self.assertTrue(dialog_shown(run.capture("after a right click")), "a right click closed the dialog")
        # Just outside the confirm area a left click does nothing either.
        self.point_in_dialog(run, 56, 96)
        run.click(1)
        time.sleep(0.3)
        self.assertTrue(dialog_shown(run.capture("after a click beside the button")))

        self.point_in_dialog(run, 77, 96)
        run.click(1)
        run.wait_screen("title menu", harness.title_shown, timeout=5)

    def test_cancel_and_close_areas_return_to_the_game(self):
        run = self.start_playing()
        for px, py in ((163, 82), (260, 21)):
            self.open_dialog(run)
            self.point_in_dialog(run, px, py)
            run.click(1)
            run.wait_screen("game without the dialog", dialog_gone, timeout=5)


if __name__ == "__main__":
    harness.main()
