# A game in a real window: the head-up display, the ship, the player's keys and the screenshot.
import os, re, time
import harness
from harness import HUD_BLUE, PALE_YELLOW, SELECTED_GREEN, match_ratio, near, read_text, reference


def ship_at(shot, left):  # any frame of the ship, its left edge at `left`, its bottom row at y=599
    return any(match_ratio(shot, reference(i), left, 600 - reference(i).height) > 0.9 for i in (67, 68, 69))


# How shot differs from the first frames of a game: the HUD of a new ship, the ship centred.
def start_problems(shot):
    problems = [f"'{found}' instead of '{text}' at ({x}, {y})" for x, y, colour, text in (
        (10, 10, HUD_BLUE, "ARMES"), (10, 20, SELECTED_GREEN, "Missiles -> 10"),
        (10, 30, PALE_YELLOW, "Fireball -> 0"), (10, 40, PALE_YELLOW, "Choc -> 0"), (150, 10, HUD_BLUE, "ARMURE"),
        (282, 10, HUD_BLUE, "SCORE : 0"), (282, 20, HUD_BLUE, "TUES : 0"), (600, 10, HUD_BLUE, r"FPS : \d+"))
        if not re.fullmatch(text, found := read_text(shot, x, y, colour, len(text) + 2))]
    # The gauge's frame, its leading column and, for a full hull, a colour ramp by column.
    gauge = {(x, y): (64, 64, 64) if x in (150, 252) or y in (20, 32) else (255, 155, 192) if x == 151
             else (407 - x, x + 4, 192) for x in range(150, 253) for y in range(20, 33)}
    problems += [f"gauge pixel {xy} is {shot.pixel(*xy)}, not {colour}" for xy, colour in gauge.items()
                 if not near(shot.pixel(*xy), colour)][:3]
    return problems + ([] if ship_at(shot, 400 - reference(67).width // 2) else ["no ship centred at the bottom"])


class Play(harness.WindowTest):

    def test_print_screen_saves_the_frame_with_the_hud_and_the_centred_ship(self):
        run = self.start_playing()
        path = os.path.join(run.workdir, "capture.pcx")
        # An invader or an explosion can hide part of the HUD or the ship: try again.
        for attempt in range(3):
            run.key("Print")
            harness.poll("capture.pcx", lambda: os.path.exists(path), 3)
            time.sleep(0.2)  # the key was held over several frames, each writing the file
            problems = start_problems(self.keep(harness.load(path), "capture.pcx"))
            if not problems:
                break
        self.assertEqual(problems, [], self.last_kept)


    def test_arrows_take_the_ship_to_each_edge(self):
        width = reference(67).width
        # The edge is tested before the move, so the last step may pass it by a few pixels.
        # A new game for each, so that the invaders have little time to shoot the ship down.
        for key, lefts in (("Left", range(-4, 1)), ("Right", range(800 - width, 805 - width))):
            run = self.start_playing()
            run.hold(key, f"ship at the {key} edge", lambda shot: any(ship_at(shot, x) for x in lefts))
            run.stop()

    def test_space_fires_missiles_and_number_keys_choose_the_weapon(self):
        run = self.start_playing()
        run.hold("space", "fewer missiles", lambda shot: re.fullmatch(
            r"Missiles -> \d", read_text(shot, 10, 20, SELECTED_GREEN, 16)))
        choose_each_weapon(run, ("2", "3", "1"))


# Holds each key in turn until the HUD shows its weapon, by order Fireball, Choc, Missiles.
def choose_each_weapon(run, keys):
    for key, chosen in zip(keys, (1, 2, 0)):
        run.hold(key, f"weapon {chosen} in green after {key}, the others pale yellow", lambda shot: all(
            read_text(shot, 10, 20 + 10 * i, SELECTED_GREEN if i == chosen else PALE_YELLOW, 18).startswith(name)
            for i, name in enumerate(("Missiles", "Fireball", "Choc"))))


class FrenchKeyboard(harness.WindowTest):
    # Without -noreset the server drops the layout when its last client leaves, before the game
    # connects (and reads the keyboard's map when it starts).
    server_args = ("-noreset",)

    def test_the_keys_marked_1_2_3_choose_the_weapons_with_the_french_layout(self):
        self.server.run(["setxkbmap", "fr"])
        self.assertIn(b"ampersand", self.server.run(["xkbcomp", "-xkb", self.server.env["DISPLAY"], "-"]))
        run = self.start_playing()
        # By key code, the top row's second to fourth keys: "é", "\"", "&" unshifted on AZERTY.
        choose_each_weapon(run, ("11", "12", "10"))


if __name__ == "__main__":
    harness.main()
