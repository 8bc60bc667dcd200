"""Start-up failures seen from outside: the message the player gets and the exit code."""

import os
import signal
import subprocess
import tempfile
import unittest

import harness


class StartupFailures(harness.WindowTest):

    def test_missing_data_file_is_reported_in_a_message_box(self):
        for attempt in range(3):
            run = self.start_game(with_data=False)
            pid, args = run.message_box()
            text = args[-1]
            # Our X server sometimes drops a client that connects while another
            # does; the game then cannot set its mode. Only that case is retried.
            if harness.GRAPHICS_FAILED not in text:
                break
            run.stop()
        self.assertEqual(text.strip(), "Error loading 'zudaduviz.dat'", f"message box arguments: {args}")
        # The game waits for the box to be dismissed; closing it lets the game end.
        os.kill(pid, signal.SIGKILL)
        self.assertEqual(run.wait_exit(10), 1)


class NoDisplay(unittest.TestCase):

    def test_no_display_reports_on_the_console(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY")}
        with tempfile.TemporaryDirectory(prefix="zudaduviz-window-") as workdir:
            done = subprocess.run([harness.EXE], cwd=workdir, env=env, stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=30)
        output = (done.stdout + done.stderr).decode("latin-1")
        self.assertGreaterEqual(done.returncode, 0, f"ended by a signal:\n{output}")
        self.assertIsNone(harness.sanitizer_report(output), output)
        self.assertEqual(done.returncode, 1, output)
        self.assertIn("Le mode graphique ne peut etre mis en place", output)


if __name__ == "__main__":
    harness.main()
