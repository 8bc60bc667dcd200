# The title menu in a real window: what it shows, its two widgets and Escape. Enter starting a
# game is checked where the tests of play and of the quit dialog start one.
import time
import harness
from harness import LABEL_BLUE, UNDERLINE_BLUE, VALUE_RED, centred_left, match_ratio, near, read_text, reference


def pointer_at(x, y):
    return lambda shot: match_ratio(shot, reference(71), x, y) > 0.9


MUSIC_Y, EFFECTS_Y = 350, 370  # the options' text lines


# Clicks the option on line y at column x until it shows value (the sound tests use it too).
# A short press can be missed or stretched past four frames on a busy machine: either leaves
# the value unchanged, so click again.
def switch_option(test, run, x, y, value):
    for attempt in range(4):
        run.point(x, y + 3, pointer_at(x, y + 3), f"pointer at ({x}, {y + 3})")
        run.click(hold=harness.SHORT_CLICK)
        run.move_mouse(x, 390)  # off the texts, hiding none of them
        time.sleep(0.25)
        if read_text(run.capture("option"), 200, y, VALUE_RED, 14) == value:
            return
    test.fail(f"short clicks at ({x}, {y}) never gave {value!r} ({test.last_kept})")


def switch_music(test, run, x, value):
    switch_option(test, run, x, MUSIC_Y, value)


def switch_effects(test, run, x, value):
    switch_option(test, run, x, EFFECTS_Y, value)


class TitleScreen(harness.WindowTest):

    def test_layout_then_escape_exits_0(self):
        run = self.start_at_title()
        # The pointer parked in an empty corner covers nothing checked here.
        shot = run.point(720, 560, pointer_at(720, 560), "pointer in a corner")
        for picture, top in ((73, 100), (4, 500)):  # the title, the play button
            self.assertGreater(match_ratio(shot, reference(picture), centred_left(picture), top), 0.98, picture)
        self.assertEqual((read_text(shot, 100, 350, LABEL_BLUE, 9), read_text(shot, 200, 350, VALUE_RED, 13)),
                         ("Musique", "Musique OFF"))
        self.assertEqual([x for x in range(90, 171) if near(shot.pixel(x, 358), UNDERLINE_BLUE)],
                         list(range(100, 155)), "underline of the label")
        # The effects option under it, on as a new player finds it.
        self.assertEqual((read_text(shot, 100, 370, LABEL_BLUE, 9), read_text(shot, 200, 370, VALUE_RED, 13)),
                         ("Effets", "Effets ON"))
        # Besides those, the way to the keys screen (y 390), a credit line around y=430 and the pointer are drawn.
        drawn = ((60, 100, 739, 313), (320, 500, 479, 547), (100, 350, 287, 358), (100, 370, 279, 378),
                 (100, 390, 295, 398), (0, 410, 799, 450), (720, 560, 731, 578))
        stray = [(x, y) for y in range(0, 600, 2) for x in range(0, 800, 2) if shot.pixel(x, y) != (0, 0, 0)
                 and not any(l <= x <= r and t <= y <= b for l, t, r, b in drawn)]
        self.assertEqual(stray[:10], [], f"pixels drawn outside the menu's elements ({self.last_kept})")
        run.key("Escape")
        self.assertEqual(run.wait_exit(), 0)

    def test_clicks_on_the_label_and_value_switch_the_music_and_on_the_button_start_a_game(self):
        run = self.start_at_title()
        switch_music(self, run, 104, "Musique ON")
        switch_music(self, run, 230, "Musique OFF")
        run.point(400, 524, pointer_at(400, 524), "pointer on the button")
        run.click()
        run.wait_screen("game", harness.play_shown, timeout=5)


if __name__ == "__main__":
    harness.main()
