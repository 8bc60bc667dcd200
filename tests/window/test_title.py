"""The title menu in a real window: what it shows, its two widgets, Enter and Escape."""

import time

import harness
from harness import BLACK, LABEL_BLUE, UNDERLINE_BLUE, VALUE_RED, match_ratio, near, read_text, reference

TITLE = 73
POINTER = 71
BUTTON_NORMAL, BUTTON_HOVER, BUTTON_PRESSED = 4, 5, 6
OPTION_Y = 350


def pointer_at(x, y):
    return lambda shot: match_ratio(shot, reference(POINTER), x, y) > 0.9


def music_value(shot):
    return read_text(shot, 200, OPTION_Y, VALUE_RED, 14)


def button_box():
    ref = reference(BUTTON_NORMAL)
    left = harness.centred_left(BUTTON_NORMAL)
    return left, 500, left + ref.width - 1, 500 + ref.height - 1


class TitleScreen(harness.WindowTest):

    def test_layout(self):
        run = self.start_at_title()
        # Park the pointer in an empty corner so that it covers nothing checked below.
        shot = run.point(720, 560, pointer_at(720, 560), "pointer at (720, 560)")

        title = reference(TITLE)
        title_left = harness.centred_left(TITLE)
        self.assertGreater(match_ratio(shot, title, title_left, 100), 0.98, "title picture, top at y=100, centred")
        button_left = harness.centred_left(BUTTON_NORMAL)
        self.assertGreater(match_ratio(shot, reference(BUTTON_NORMAL), button_left, 500), 0.98,
                           "play button, normal look, top at y=500, centred on x=400")

        self.assertText(shot, 100, OPTION_Y, LABEL_BLUE, "Musique")
        self.assertText(shot, 200, OPTION_Y, VALUE_RED, "Musique OFF")
        # The label's underline runs on the row below the text, two pixels short of its length.
        underline = shot.points((90, 358, 170, 358), lambda c: near(c, UNDERLINE_BLUE))
        self.assertEqual(underline, [(x, 358) for x in range(100, 155)], "underline of the label")

        # One credit line, centred, between the option and the button.
        credit = shot.bounds((0, 362, 799, 499), lambda c: c != BLACK)
        self.assertIsNotNone(credit, "no credit line")
        left, top, right, bottom = credit
        self.assertTrue(410 <= top and bottom <= 450 and bottom - top < 10, f"credit line rows {top}..{bottom}")
        self.assertLessEqual(abs((left + right) / 2 - 400), 4, f"credit line columns {left}..{right}")

        # Everything else is black.
        pointer = reference(POINTER)
        drawn = [
            (title_left, 100, title_left + title.width - 1, 100 + title.height - 1),
            button_box(),
            (100, OPTION_Y, 200 + 88 - 1, 358),
            credit,
            (720, 560, 720 + pointer.width - 1, 560 + pointer.height - 1),
        ]
        stray = [(x, y) for y in range(0, 600, 2) for x in range(0, 800, 2)
                 if shot.pixel(x, y) != BLACK
                 and not any(l <= x <= r and t <= y <= b for l, t, r, b in drawn)]
        self.assertEqual(stray[:10], [], "pixels drawn outside the menu's elements")

    def test_pointer_follows_the_mouse(self):
        run = self.start_at_title()
        # The menu puts the pointer at the middle of the screen when it opens.
        run.wait_screen("pointer at the centre", pointer_at(400, 300), timeout=3)
        for x, y in ((30, 40), (650, 380), (790, 590)):
            run.point(x, y, pointer_at(x, y), f"pointer at ({x}, {y})")

    def test_music_option_steps_once_per_short_click(self):
        run = self.start_at_title()

        def click_at(x, button=1):
            run.point(x, OPTION_Y + 3, pointer_at(x, OPTION_Y + 3), f"pointer at x={x}")
            run.click(button, hold=harness.SHORT_CLICK)
            # Off the text again, so that the pointer hides no letter of the value.
            run.move_mouse(x, OPTION_Y + 30)

        def settled_value():
            time.sleep(0.25)
            return music_value(run.capture("settled"))

        def step(x, expected, button=1):
            # A short press can be stretched past four frames (or missed) when the
            # machine is busy; either leaves the value unchanged, so try again.
            # A widget that steps every frame fails every attempt.
            for attempt in range(3):
                click_at(x, button)
                if settled_value() == expected:
                    return run.capture(expected)
            self.fail(f"a short click at x={x} never gave '{expected}' (capture {self.last_kept})")

        shot = step(104, "Musique ON")     # on the label
        red = shot.bounds((190, OPTION_Y, 320, OPTION_Y + 7), lambda c: near(c, VALUE_RED))
        self.assertEqual(red[0], 200, "value starts at x=200")
        step(180, "Musique OFF")           # in the gap between label and value
        step(230, "Musique ON", button=3)  # the right button works like the left one
        # The sensitive area ends with the value shown: "Musique ON" ends at x=280.
        click_at(284)
        self.assertEqual(settled_value(), "Musique ON", "a click past the end of the value")
        step(280, "Musique OFF")

    def test_play_button_lights_under_the_pointer(self):
        run = self.start_at_title()
        left, top, right, bottom = button_box()

        def look(shot):
            ratios = {i: match_ratio(shot, reference(i), left, top, step=2)
                      for i in (BUTTON_NORMAL, BUTTON_HOVER, BUTTON_PRESSED)}
            best = max(ratios, key=ratios.get)
            return best if ratios[best] > 0.95 else None

        # The sensitive area includes its right and bottom edges.
        for x, y, expected in ((right + 1, bottom + 1, BUTTON_HOVER), (right + 2, bottom + 1, BUTTON_NORMAL),
                               (left + 10, top + 5, BUTTON_HOVER), (left + 10, top - 2, BUTTON_NORMAL)):
            run.point(x, y, lambda s: look(s) == expected and pointer_at(x, y)(s),
                      f"button object {expected} with the pointer at ({x}, {y})")

    def test_held_click_on_play_button_starts_a_game(self):
        run = self.start_at_title()
        left, top, right, bottom = button_box()
        x, y = (left + right) // 2, (top + bottom) // 2
        run.point(x, y, pointer_at(x, y), "pointer on the button")
        run.click(1)
        run.wait_screen("game", harness.play_shown, timeout=5)

    def test_enter_starts_a_game(self):
        run = self.start_at_title()
        run.key("Return")
        run.wait_screen("game", harness.play_shown, timeout=5)

    def test_escape_fades_out_and_exits_0(self):
        run = self.start_at_title()
        title = reference(TITLE)
        box = (harness.centred_left(TITLE), 100,
               harness.centred_left(TITLE) + title.width - 1, 100 + title.height - 1)

        def brightness(shot):
            left, top, right, bottom = box
            return sum(sum(shot.pixel(x, y)) for y in range(top, bottom + 1, 3) for x in range(left, right + 1, 3))

        full = brightness(run.capture("before Escape"))
        run.key("Escape")
        # Watch the fade: the title picture dims through intermediate shades to black.
        shades = []
        deadline = time.monotonic() + 5
        while run.alive() and time.monotonic() < deadline:
            try:
                shot = run.capture("fading")
            except AssertionError:
                break  # the window went away under the capture
            shades.append(round(brightness(shot) / full, 2))
            if shades[-1] == 0:
                break
        self.assertEqual(run.wait_exit(10), 0)
        self.assertTrue(any(0.03 < shade < 0.85 for shade in shades),
                        f"no intermediate shade among the captures: {shades}")

    def test_escape_wins_over_enter_in_the_same_frame(self):
        run = self.start_at_title()
        run.xdotool("keydown", "Escape", "keydown", "Return", "sleep", harness.HOLD,
                    "keyup", "Return", "keyup", "Escape")
        self.assertEqual(run.wait_exit(10), 0)


if __name__ == "__main__":
    harness.main()
