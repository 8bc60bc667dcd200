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


def start_problems(shot):
    """What differs from the first frames of a game: the head-up display of a new
    ship and the ship itself. An empty list when all is as it should be."""
    problems = []
    for x, y, colour, text in ((10, 10, HUD_BLUE, "ARMES"), (10, 20, SELECTED_GREEN, "Missiles -> 10"),
                               (10, 30, PALE_YELLOW, "Fireball -> 0"), (10, 40, PALE_YELLOW, "Choc -> 0"),
                               (150, 10, HUD_BLUE, "ARMURE"), (282, 10, HUD_BLUE, "SCORE : 0"),
                               (282, 20, HUD_BLUE, "TUES : 0")):
        found = read_text(shot, x, y, colour, len(text) + 2)
        if found != text:
            problems.append(f"'{found}' instead of '{text}' at ({x}, {y})")

    expected = {}
    for x in range(150, 253):
        expected[(x, 20)] = expected[(x, 32)] = GAUGE_GREY
    for y in range(21, 32):
        expected[(150, y)] = expected[(252, y)] = GAUGE_GREY
        expected[(151, y)] = GAUGE_LEAD
        # A full gauge: the colour ramp belongs to the column.
        for x in range(152, 252):
            expected[(x, y)] = (407 - x, x + 4, 192)
    wrong = [(xy, shot.pixel(*xy), colour) for xy, colour in sorted(expected.items())
             if not near(shot.pixel(*xy), colour)]
    if wrong:
        problems.append(f"{len(wrong)} armour gauge pixels wrong, first (at, seen, expected): {wrong[:3]}")

    w, h = ship_size()
    if ship_match(shot, harness.SCREEN_W // 2 - w // 2) <= 0.9:
        problems.append("no ship centred on the bottom edge")
    return problems


def ammo(shot, line):
    """The count on a weapon line, whatever its colour, or None."""
    y, name = WEAPON_LINES[line]
    for colour in (SELECTED_GREEN, PALE_YELLOW):
        found = re.fullmatch(re.escape(name) + r" -> (\d+)", read_text(shot, 10, y, colour, 18))
        if found:
            return int(found.group(1))
    return None


class Play(harness.WindowTest):
    # Invaders come at random and pass behind the head-up display, where their
    # pixels can spoil a letter for a frame or two: checks of the display look at
    # successive frames until one is clean, and report the last one otherwise.

    def assertClean(self, run, what, problems, timeout=3):
        try:
            return run.wait_screen(what, lambda s: not problems(s), timeout=timeout)
        except AssertionError:
            self.fail(f"{what}: {problems(self.last_shot)} (capture {self.last_kept})")

    def read(self, run, what, reader, timeout=3):
        """The first value reader finds on successive captures."""
        shot = run.wait_screen(what, lambda s: reader(s) is not None, timeout=timeout)
        return reader(shot)

    def test_hud_and_ship_when_a_game_starts(self):
        run = self.start_playing()
        self.assertClean(run, "HUD and ship of a new game", start_problems, timeout=1.5)
        # The game is paced by the display's retrace, 70 Hz emulated on X11.
        time.sleep(1)
        rate = self.read(run, "frame rate", frame_rate)
        self.assertTrue(20 <= rate <= 100, f"frame rate {rate}")

    def test_space_fires_missiles_until_none_is_left(self):
        run = self.start_playing()
        run.key_down("space")
        try:
            run.wait_screen("fewer Missiles", lambda s: ammo(s, 0) is not None and ammo(s, 0) < 10, timeout=3)
            # One shot every ten frames: the stock of ten lasts about a second and a half.
            run.wait_screen("no Missiles left", lambda s: ammo(s, 0) == 0, timeout=6)
            time.sleep(0.3)
            self.assertEqual(self.read(run, "Missiles count", lambda s: ammo(s, 0)), 0)
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
                # An explosion can hide the ship for a moment, so look again if need be.
                run.wait_screen(f"ship still at the {key.lower()} edge", ship_within(lefts), timeout=2)
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
        for attempt in range(3):
            run.key("Print")
            deadline = time.monotonic() + 3
            while not os.path.exists(path) and time.monotonic() < deadline:
                time.sleep(0.05)
            self.assertTrue(os.path.exists(path), "no capture.pcx in the working directory")
            time.sleep(0.2)  # let the last write of the held key finish
            saved = harness.read_pcx(path)
            self.keep(saved, "capture.pcx")
            self.assertEqual((saved.width, saved.height), (harness.SCREEN_W, harness.SCREEN_H))
            problems = start_problems(saved)
            if not problems:
                break
        self.assertEqual(problems, [], f"capture.pcx (kept as {self.last_kept})")


if __name__ == "__main__":
    harness.main()
