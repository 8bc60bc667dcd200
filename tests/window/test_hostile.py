# The game in unfriendly surroundings: a working folder it cannot write to, no sound
# device, no mouse movement at all, and a second copy of itself at the same time. Each
# time it must play on and end cleanly.
import os, re, tempfile, time
from pathlib import Path
import harness
from harness import dialog_shown, reference, ship_at, switch_music

# The default sound output is a card that does not exist: opening it fails.
NO_SOUND_DEVICE = "pcm.!default { type hw; card 99 } ctl.!default { type hw; card 99 }"


class Hostile(harness.WindowTest):

    def steer_to_the_right_edge(self, run):
        width = reference(67).width
        run.hold("Right", "ship at the right edge", lambda shot: any(ship_at(shot, x) for x in range(800 - width, 805 - width)))

    def leave(self, run):  # Escape and Enter end the game, Escape at the title the program
        run.key("Escape")
        run.wait_screen("quit dialog", dialog_shown, 5)
        run.key("Return")
        run.wait_screen("title menu", harness.title_shown, 5)
        run.key("Escape")
        self.assertEqual(run.wait_exit(), 0, run.output()[-2000:])

    def test_print_screen_in_a_folder_that_cannot_be_written(self):
        run = self.start_playing()
        # Read-only for all but root; a folder in the file's place stops root as well.
        os.mkdir(os.path.join(run.workdir, "capture.pcx"))
        os.chmod(run.workdir, 0o555)
        self.addCleanup(os.chmod, run.workdir, 0o755)  # before the run's own clean-up
        for attempt in range(3):
            run.key("Print")
        self.assertEqual(os.listdir(os.path.join(run.workdir, "capture.pcx")), [])
        self.assertEqual(sorted(os.listdir(run.workdir)), ["capture.pcx", "output.txt", "zudaduviz.dat"])
        self.assertTrue(harness.play_shown(run.capture("after Print Screen")), "the game stopped")
        self.steer_to_the_right_edge(run)
        self.leave(run)

    def test_no_sound_device_with_the_music_switched_on(self):
        home = Path(self.enterContext(tempfile.TemporaryDirectory(prefix="zudaduviz-silent-")))
        (home / "alsa.conf").write_text(NO_SOUND_DEVICE)
        self.server.env.update(ALSA_CONFIG_PATH=f"/usr/share/alsa/alsa.conf:{home / 'alsa.conf'}")
        run = self.start_at_title()
        switch_music(self, run, 150, "Musique ON")
        run.key("Return")
        run.wait_screen("game", harness.play_shown, 5)
        self.steer_to_the_right_edge(run)
        self.leave(run)

    # By keys alone: nothing here moves the pointer. The first copy takes the full screen
    # and the keyboard; the second opens a window behind it and carries on meanwhile.
    def test_two_copies_at_once_both_play_with_no_mouse_movement(self):
        # Xvfb now and then drops a client that connects while another does (the harness
        # starts a game again then): both copies start again on that failure alone.
        for attempt in range(3):
            copies = [harness.GameRun(self), harness.GameRun(self)]
            time.sleep(3)
            dropped = [c for c in copies if c.proc.poll() is not None and harness.GRAPHICS_FAILED in c.output()]
            if not dropped:
                break
            for copy in copies:
                copy.stop()

        def full_screen_picture():  # the 800x600 child of the screen-wide window
            tree = self.server.run(["xwininfo", "-root", "-tree"]).decode()
            found = re.search(r"^\s*0x[0-9a-f]+ .*1024x768\+0\+0 .*\n.*\n\s*(0x[0-9a-f]+) .*800x600", tree, re.M)
            return found and found.group(1)

        front = copies[0]
        front.window = harness.poll("full-screen window", full_screen_picture, 20)
        front.wait_screen("title menu", harness.title_shown, 10)
        front.key("Return")
        front.wait_screen("game", harness.play_shown, 5)
        self.steer_to_the_right_edge(front)
        self.assertEqual([copy.proc.poll() for copy in copies], [None, None], "a copy ended")

        front.key("Escape")
        front.wait_screen("quit dialog", dialog_shown, 5)
        front.key("Return")
        front.wait_screen("title menu", harness.title_shown, 5)
        front.key("Escape")
        ended = harness.poll("the front copy's end", lambda: [c for c in copies if c.proc.poll() is not None], 10)
        self.assertEqual((len(ended), ended[0].proc.returncode), (1, 0), ended[0].output()[-2000:])

        # The one behind has shown its title all along; it now gets the keys.
        back = copies[1] if ended[0] is copies[0] else copies[0]
        self.assertTrue(back.find_window(), back.output()[-2000:])
        back.wait_screen("title menu", harness.title_shown, 10)
        back.key("Return")
        back.wait_screen("game", harness.play_shown, 5)
        self.steer_to_the_right_edge(back)
        self.leave(back)


if __name__ == "__main__":
    harness.main()
