# Start-up failures seen from outside: the message the player gets and the exit code.
import os, signal, subprocess
import harness


class StartupFailures(harness.WindowTest):

    def test_missing_data_file_is_reported_in_a_message_box(self):
        for attempt in range(3):
            run = self.start_game(with_data=False)
            pid, text = run.message_box()
            # Our Xvfb sometimes drops a client that connects while another does;
            # the game then reports it cannot set its mode. Only that is retried.
            if harness.GRAPHICS_FAILED not in text:
                break
        os.kill(pid, signal.SIGKILL)  # the game waits for the box to be dismissed
        self.assertEqual((text.strip(), run.wait_exit()), ("Error loading 'zudaduviz.dat'", 1))

    def test_no_display_is_reported_on_the_console(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY")}
        done = subprocess.run([harness.EXE], env=env, capture_output=True, timeout=30)  # the build dir
        output = (done.stdout + done.stderr).decode("latin-1")
        self.assertEqual((done.returncode, harness.GRAPHICS_FAILED in output, harness.SANITIZER_REPORT.search(output)),
                         (1, True, None), output)


if __name__ == "__main__":
    harness.main()
