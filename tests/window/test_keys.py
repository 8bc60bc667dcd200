# The keys screen in a real window: F1 opens it, fire goes to another key, a game fires with
# that key, and the next start finds the key and the music as they were left.
import pathlib
import harness
from harness import MUSIC_Y, SELECTED_GREEN, VALUE_RED, dialog_shown, read_text, switch_music

FIRE_Y = 270 + 2 * 18  # the third action's line


def keys_shown(shot):
    return read_text(shot, 180, 250, (150, 150, 190), 7) == "Action"


def fire_key(shot):
    return read_text(shot, 360, FIRE_Y, VALUE_RED, 8)


class Keys(harness.WindowTest):

    def open_keys(self, run):
        run.key("F1")
        return run.wait_screen("keys screen", keys_shown, 5)

    def test_fire_on_another_key_plays_and_is_kept_with_the_music(self):
        harness.SoundCapture(self)  # without a sound device the music starts off, whatever was chosen
        run = self.start_at_title()
        self.assertEqual(read_text(run.capture("first start"), 200, MUSIC_Y, VALUE_RED, 13), "Musique OFF")
        switch_music(self, run, 150, "Musique ON")
        self.assertEqual(fire_key(self.open_keys(run)), "Space")
        for key in ("Down", "Down", "Return"):
            run.key(key)
        run.wait_screen("waiting for a key", lambda shot: read_text(shot, 360, FIRE_Y, (255, 255, 192), 3) == "...")
        run.key("k")
        run.wait_screen("fire on K", lambda shot: fire_key(shot) == "K")
        run.key("Escape")
        run.wait_screen("title menu", harness.title_shown)
        run.key("Return")
        run.wait_screen("game", harness.play_shown)
        run.hold("k", "a missile fired", lambda shot: read_text(shot, 10, 20, SELECTED_GREEN, 14) == "Missiles -> 9")
        run.key("Escape")
        run.wait_screen("quit dialog", dialog_shown)
        run.key("Return")
        run.wait_screen("title menu", harness.title_shown)
        run.key("Escape")
        self.assertEqual(run.wait_exit(), 0)
        settings = (pathlib.Path(self.config_home) / "zudaduviz" / "settings").read_text()
        self.assertIn("key_fire=K\n", settings)
        run = self.start_at_title()
        self.assertEqual(read_text(run.capture("next start"), 200, MUSIC_Y, VALUE_RED, 13), "Musique ON")
        self.assertEqual(fire_key(self.open_keys(run)), "K")


if __name__ == "__main__":
    harness.main()
