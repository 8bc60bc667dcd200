# The pause in a real window: P and the Pause key freeze the game under "PAUSE" and let it go
# on; Escape there asks to quit, and a no gives the pause back.
import time
import harness
from test_quit_dialog import dialog_shown


def pause_shown(shot):  # the keys line under the word
    return harness.read_text(shot, 264, 322, (150, 150, 190), 13) == "P : reprendre" and not dialog_shown(shot)


def playing(shot):
    return harness.play_shown(shot) and not pause_shown(shot) and not dialog_shown(shot)


class Pause(harness.WindowTest):

    def test_p_and_each_stroke_of_the_pause_key_toggle_escape_asks_and_a_no_gives_the_pause_back(self):
        run = self.start_playing()
        for key, what, shown in (("p", "pause", pause_shown), ("Escape", "dialog", dialog_shown),
                                 ("Escape", "pause again", pause_shown), ("Pause", "game", playing),
                                 ("Pause", "pause", pause_shown), ("Pause", "game", playing),
                                 ("p", "pause", pause_shown), ("Escape", "dialog", dialog_shown),
                                 ("Return", "title menu", harness.title_shown)):
            run.key(key)
            try:
                first = run.wait_screen(what, shown, 3)
            except AssertionError:
                if key == "Pause":  # Allegro alone answers every other stroke: each must count
                    raise
                run.key(key)  # the press went unseen
                first = run.wait_screen(what, shown, 3)
            if what == "pause":
                time.sleep(1)
                self.assertEqual(first.rgb, run.capture("a second later").rgb, "the paused game moved")


if __name__ == "__main__":
    harness.main()
