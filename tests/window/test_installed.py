# The game installed as a packager installs it (cmake --install into a DESTDIR), started
# from a folder that has nothing to do with it, as a desktop menu starts it from the home
# folder: it finds its data and its instruments from where its executable lies.
import os, shutil, subprocess, tempfile
import harness
from harness import switch_music


class Installed(harness.WindowTest):

    @classmethod
    def setUpClass(cls):
        cls.destdir = os.path.realpath(tempfile.mkdtemp(prefix="zudaduviz-destdir-"))
        subprocess.run(["cmake", "--install", harness.BUILD_DIR], env=dict(os.environ, DESTDIR=cls.destdir),
                       check=True, capture_output=True)
        found = {name: os.path.join(folder, name) for folder, _, names in os.walk(cls.destdir) for name in names}
        cls.exe, cls.data_file = found["zudaduviz"], found["zudaduviz.dat"]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.destdir)

    def test_started_from_an_unrelated_folder_it_reaches_its_title_and_plays_its_music(self):
        sound = harness.SoundCapture(self)
        self.assertFalse(os.path.exists(os.path.join(os.path.dirname(self.exe), "patches.dat")))
        run = self.start_at_title(exe=self.exe, with_data=False)
        switch_music(self, run, 150, "Musique ON")
        self.assertGreater(sound.listen("installed, menu tune")[0], harness.PLAYING_DB)

    def test_with_no_data_file_anywhere_the_message_lists_the_places_tried_and_it_exits_1(self):
        bin_dir, data_dir = os.path.dirname(self.exe), os.path.dirname(self.data_file)
        compiled_in = data_dir[len(self.destdir):]  # where the build installs, DESTDIR aside
        if os.path.exists(os.path.join(compiled_in, "zudaduviz.dat")):
            self.skipTest(f"this machine has the game installed in {compiled_in}")
        os.rename(self.data_file, self.data_file + ".away")
        self.addCleanup(os.rename, self.data_file + ".away", self.data_file)
        for attempt in range(3):
            run = self.start_game(with_data=False, exe=self.exe)
            pid, text = run.message_box()
            # Our Xvfb sometimes drops a client that connects while another does.
            if harness.GRAPHICS_FAILED not in text:
                break
        os.kill(pid, 9)  # the game waits for the box to be dismissed
        folders = (os.path.realpath(run.workdir), bin_dir, data_dir, compiled_in)
        places = [os.path.join(folder, "zudaduviz.dat") for folder in folders]
        self.assertEqual(text.strip().split("\n"), ["Error loading 'zudaduviz.dat'", "Cherché dans :",
                                                    *("  " + place for place in places)])
        self.assertEqual(run.wait_exit(), 1)
        # Named on the command line, a data file anywhere will do.
        self.start_at_title(["--donnees", self.data_file + ".away"], exe=self.exe, with_data=False)


if __name__ == "__main__":
    harness.main()
