# Start-up seen from outside: the command line, the messages the player gets, the exit
# codes, and a terminal left quiet.
import os, re, subprocess, unittest
import harness

NO_DISPLAY = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY")}


def run_without_display(*args):  # (exit code, stdout, stderr)
    done = subprocess.run([harness.EXE, *args], env=dict(NO_DISPLAY, ASAN_OPTIONS="detect_leaks=0"),
                          capture_output=True, timeout=30)
    return done.returncode, done.stdout.decode(), done.stderr.decode()


class StartupFailures(harness.WindowTest):

    def test_no_display_is_reported_on_the_console(self):
        code, out, err = run_without_display()
        self.assertEqual((code, harness.GRAPHICS_FAILED in out + err, harness.SANITIZER_REPORT.search(out + err)),
                         (1, True, None), out + err)

    # No sound device here: alsa-lib would print nine lines of errors at every start.
    def test_a_start_and_a_quit_print_nothing_on_the_terminal(self):
        run = self.start_at_title()
        run.key("Escape")
        self.assertEqual((run.wait_exit(), run.output()), (0, ""))


# Answered before any window is opened: no display needed.
class CommandLine(unittest.TestCase):

    def test_help_and_version_answer_on_standard_output_and_exit_0(self):
        code, out, err = run_without_display("--help")
        self.assertEqual((code, err), (0, ""))
        self.assertTrue(out.startswith("Usage : zudaduviz "), out)
        for option in ("--fenetre", "--plein-ecran", "--donnees FICHIER", "--help", "--version"):
            self.assertIn(option, out)
        code, out, err = run_without_display("--version")
        self.assertEqual((code, err), (0, ""))
        self.assertRegex(out, r"^zudaduviz \d+\.\d+\.\d+\n$")

    def test_an_unknown_option_gets_the_usage_on_standard_error_and_exit_2(self):
        code, out, err = run_without_display("--fenetre", "--bogus")
        self.assertEqual((code, out), (2, ""))
        self.assertRegex(err, r"^zudaduviz : .*--bogus.*\nUsage : zudaduviz ")


if __name__ == "__main__":
    harness.main()
