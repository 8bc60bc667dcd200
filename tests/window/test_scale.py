# SPDX-License-Identifier: GPL-3.0-or-later
# The picture at twice its size on a large desktop (2048x1536): a 1600x1200 window whose
# pixels are squares of four, the pointer and clicks where the player sees the buttons, F10
# back and forth in play, then full screen at the desktop's own size, centred on black, and
# "fill". The harness reads each capture back at the picture's own 800x600.
import pathlib
import harness
from harness import DIALOG_LEFT as LEFT, DIALOG_TOP as TOP, centred_left, dialog_shown, play_shown, reference, title_shown


class Scale(harness.WindowTest):
    screen = "2048x1536x24"

    def assert_doubled(self, shot, inset):  # the title picture's pixels are squares of 2x2 screen pixels
        ref = reference(73)
        squares = [{shot.getpixel((inset[0] + 2 * (centred_left(73) + x) + i, inset[1] + 2 * (100 + y) + j))
                    for i in (0, 1) for j in (0, 1)} for y in range(0, ref.height, 3) for x in range(0, ref.width, 3)]
        self.assertGreater(sum(len(square) == 1 for square in squares) / len(squares), 0.99, "pixels not doubled")

    def wait_window(self, run, size):
        harness.poll(f"{size[0]}x{size[1]} window", lambda: run.find_window() and run.scale * 800 + 2 * run.inset[0] == size[0], 10)

    def click_at(self, run, x, y, what, seen):  # at the picture's (x, y), again at each look until seen
        def click():
            run.move_mouse(x, y)
            run.click()
        click()
        return run.wait_screen(what, lambda shot: seen(shot) or click())

    def test_twice_as_large_in_a_window_then_centred_and_filling_the_full_screen(self):
        run = self.start_at_title(args=["--echelle", "2"])
        self.assertEqual((run.scale, run.inset), (2, (0, 0)), "not a 1600x1200 window")
        self.assert_doubled(run.capture("title at 2x", whole=True), (0, 0))

        self.click_at(run, 400, 523, "game started by a click on JOUER", play_shown)
        run.key("F10")  # the largest scale that fits was 2: back to 1, the game goes on
        self.wait_window(run, (800, 600))
        run.wait_screen("game at 1x", play_shown)
        run.move_mouse(400, 300)  # no window manager here: the keys go to the window under the pointer
        run.key("F10")
        self.wait_window(run, (1600, 1200))
        run.wait_screen("game at 2x again", play_shown)

        run.press("Escape", "quit dialog at 2x", dialog_shown)  # the dialog's "Oui" where the player sees it
        self.click_at(run, LEFT + 77, TOP + 96, "title after Oui", title_shown)

        # Full screen at the desktop's size: the largest whole scale (2), centred on black.
        run.key("alt+Return")
        self.wait_window(run, (2048, 1536))
        self.assertEqual(run.inset, (224, 168))
        run.wait_screen("title centred at 2x", title_shown)
        # Black around it, once the mode's name above it has gone.
        border = [(x, y) for x in range(0, 2048, 4) for y in (0, 84, 167, 1368, 1535)] + \
                 [(x, y) for y in range(0, 1536, 8) for x in (0, 223, 1824, 2047)]
        shot = harness.poll("black borders", lambda: (shot := run.capture("full screen, centred", whole=True))
                            and {shot.getpixel((x, y)) for x, y in border} == {(0, 0, 0)} and shot, 6)
        self.assert_doubled(shot, (224, 168))
        # "Fill": the 4:3 desktop whole, the picture 2.56 times, nearest pixels.
        run.key("F9")
        run.inset, run.scale = (0, 0), 2.56
        run.wait_screen("a filled screen", title_shown)
        settings = pathlib.Path(self.config_home, "zudaduviz", "settings").read_text().splitlines()
        for line in ("display=fullscreen", "scale=2", "fit=fill"):
            self.assertIn(line, settings)


if __name__ == "__main__":
    harness.main()
