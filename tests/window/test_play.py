"""A game in a real window: the head-up display, the ship, the player's keys and the screenshot."""

import os
import re
import time

import harness
from harness import GAUGE_GREY, GAUGE_LEAD, HUD_BLUE, PALE_YELLOW, SELECTED_GREEN, match_ratio, near, read_text

SHIP_FRAMES = (67, 68, 69)
WEAPON_LINES = ((20, "Missiles"), (30, "Fireball"), (40, "Choc"))


def ship_size():
    ref = harness.reference(SHIP_FRAMES[0])
    return ref.width, ref.height


def ship_match(shot, left):
    """How well any of the ship's frames shows with its left edge at `left` on the bottom edge."""
    w, h = ship_size()
    return max(match_ratio(shot, harness.reference(i), left, harness.SCREEN_H - h) for i in SHIP_FRAMES)


def ship_within(lefts):
    return lambda shot: any(ship_match(shot, left) > 0.9 for left in lefts)


def frame_rate(shot):
    found = re.fullmatch(r"FPS : (\d+)", read_text(shot, 600, 10, HUD_BLUE, 12))
    return int(found.group(1)) if found else None


def ammo(shot, line):
    """The count on a weapon line, whatever its colour, or None."""
    y, name = WEAPON_LINES[line]
    for colour in (SELECTED_GREEN, PALE_YELLOW):
        found = re.fullmatch(re.escape(name) + r" -> (\d+)", read_text(shot, 10, y, colour, 18))
        if found:
            return int(found.group(1))
    return None


class Play(harness.WindowTest):

    def check_hud_at_start(self, shot):
        self.assertText(shot, 10, 10, HUD_BLUE, "ARMES")
        self.assertText(shot, 10, 20, SELECTED_GREEN, "Missiles -> 10")
        self.assertText(shot, 10, 30, PALE_YELLOW, "Fireball -> 0")
        self.assertText(shot, 10, 40, PALE_YELLOW, "Choc -> 0")
        self.assertText(shot, 150, 10, HUD_BLUE, "ARMURE")
        self.assertText(shot, 282, 10, HUD_BLUE, "SCORE : 0")
        self.assertText(shot, 282, 20, HUD_BLUE, "TUES : 0")

        wrong = []
        for x in range(150, 253):
            for y in (20, 32):
                if not near(shot.pixel(x, y), GAUGE_GREY):
                    wrong.append(((x, y), shot.pixel(x, y), GAUGE_GREY))
        for y in range(21, 32):
            for x in (150, 252):
                if not near(shot.pixel(x, y), GAUGE_GREY):
                    wrong.append(((x, y), shot.pixel(x, y), GAUGE_GREY))
            if not near(shot.pixel(151, y), GAUGE_LEAD):
                wrong.append(((151, y), shot.pixel(151, y), GAUGE_LEAD))
            # A full gauge: the colour ramp belongs to the column.
            for x in range(152, 252):
                expected = (407 - x, x + 4, 192)
                if not near(shot.pixel(x, y), expected):
                    wrong.append(((x, y), shot.pixel(x, y), expected))
        self.assertEqual(wrong[:5], [], f"armour gauge pixels (capture {self.last_kept})")

        w, h = ship_size()
        self.assertGreater(ship_match(shot, harness.SCREEN_W // 2 - w // 2), 0.9,
                           "ship centred on the bottom edge")

    def test_hud_and_ship_when_a_game_starts(self):
        run = self.start_playing()
        shot = run.wait_screen("a frame rate above 0", lambda s: (frame_rate(s) or 0) > 0, timeout=3)
        self.check_hud_at_start(shot)
        # The game is paced by the display's retrace, 70 Hz emulated on X11.
        time.sleep(1)
        rate = frame_rate(run.capture("frame rate"))
        self.assertIsNotNone(rate, "frame rate line")
        self.assertTrue(20 <= rate <= 100, f"frame rate {rate}")

    def test_space_fires_missiles_until_none_is_left(self):
        run = self.start_playing()
        run.key_down("space")
        try:
            run.wait_screen("fewer Missiles", lambda s: (ammo(s, 0) or 10) < 10, timeout=3)
            # One shot every ten frames: the stock of ten lasts about a second and a half.
            run.wait_screen("no Missiles left", lambda s: ammo(s, 0) == 0, timeout=6)
            time.sleep(0.3)
            self.assertEqual(ammo(run.capture("still none"), 0), 0)
        finally:
            run.key_up("space")

    def test_arrows_take_the_ship_to_each_edge(self):
        run = self.start_playing()
        w, h = ship_size()
        # The edge test comes before the move, so the last step may pass the edge by a few pixels.
        for key, lefts in (("Left", range(-4, 1)),
                           ("Right", range(harness.SCREEN_W - w, harness.SCREEN_W - w + 5))):
            run.key_down(key)
            try:
                run.wait_screen(f"ship at the {key.lower()} edge", ship_within(lefts), timeout=6)
                time.sleep(0.3)
                self.assertTrue(ship_within(lefts)(run.capture("still at the edge")),
                                f"the ship left the {key.lower()} edge (capture {self.last_kept})")
            finally:
                run.key_up(key)

    def test_number_keys_choose_the_weapon(self):
        run = self.start_playing()
        for key, selected in (("2", 1), ("3", 2), ("1", 0)):
            run.key(key)

            def lines_coloured(shot):
                return all(read_text(shot, 10, y, SELECTED_GREEN if line == selected else PALE_YELLOW, 18)
                           .startswith(name)
                           for line, (y, name) in enumerate(WEAPON_LINES))

            run.wait_screen(f"weapon {selected} in green, the others in pale yellow", lines_coloured, timeout=3)

    def test_print_screen_saves_the_last_frame(self):
        run = self.start_playing()
        path = os.path.join(run.workdir, "capture.pcx")
        self.assertFalse(os.path.exists(path))
        run.key("Print")
        deadline = time.monotonic() + 3
        while not os.path.exists(path) and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertTrue(os.path.exists(path), "no capture.pcx in the working directory")
        time.sleep(0.2)  # let the last write of the held key finish
        saved = harness.read_pcx(path)
        self.keep(saved, "capture.pcx")
        self.assertEqual((saved.width, saved.height), (harness.SCREEN_W, harness.SCREEN_H))
        self.check_hud_at_start(saved)


if __name__ == "__main__":
    harness.main()
