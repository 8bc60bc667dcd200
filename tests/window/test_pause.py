# The pause in a real window: P and the Pause key freeze the game under "PAUSE" and let it go
# again; Escape there asks to quit, and a no gives the pause back.
import time
import harness
from test_quit_dialog import dialog_shown

KEYS_COLOUR = (150, 150, 190)


def pause_shown(shot):  # the keys line under the word, on the band across the middle
    return harness.read_text(shot, 264, 322, KEYS_COLOUR, 13) == "P : reprendre" and not dialog_shown(shot)


def playing(shot):
    return harness.play_shown(shot) and not pause_shown(shot) and not dialog_shown(shot)


class Pause(harness.WindowTest):

    # One stroke, and a second only if the first went unseen (a key that toggles must not be
    # held or pressed again once seen). The game counts every stroke of the Pause key, so
    # that one gets no second chance: Allegro alone would answer only every other stroke.
    def strike(self, run, key, what, predicate):
        attempts = 1 if key == "Pause" else 2
        for attempt in range(attempts):
            run.key(key)
            try:
                return run.wait_screen(what, predicate, 3)
            except AssertionError:
                if attempt == attempts - 1:
                    raise

    def assert_frozen(self, run, frozen):
        first = run.capture("first look")
        time.sleep(1)
        same = first.rgb == run.capture("a second later").rgb
        self.assertEqual(same, frozen, "the play field " + ("moved" if frozen else "stood still"))

    def test_p_and_the_pause_key_freeze_the_game_escape_asks_and_a_no_gives_the_pause_back(self):
        run = self.start_playing()
        self.strike(run, "p", "pause", pause_shown)
        self.assert_frozen(run, True)
        self.strike(run, "Escape", "quit dialog", dialog_shown)
        self.strike(run, "Escape", "pause again", pause_shown)
        # Allegro holds the Pause key down from one stroke to the next: each stroke must count.
        self.strike(run, "Pause", "game", playing)
        self.assert_frozen(run, False)
        self.strike(run, "Pause", "pause", pause_shown)
        self.strike(run, "Pause", "game", playing)
        self.strike(run, "p", "pause", pause_shown)
        self.strike(run, "Escape", "quit dialog", dialog_shown)
        self.strike(run, "Return", "title menu", harness.title_shown)


if __name__ == "__main__":
    harness.main()
