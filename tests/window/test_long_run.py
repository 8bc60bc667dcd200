# A long run in a real window: random keys and mouse for ZUDADUVIZ_SOAK_SECONDS (60 by
# default), games lost and started again, the quit dialog opened and closed. The game must
# be alive at the end, with no sanitizer report, and its memory must not grow by 1 MiB or
# more after the first minute (in a shorter run, after its first third).
#
# The memory is the resident size, read from /proc a few times a second; in a game built
# with AddressSanitizer it is the live heap instead, by the sanitizer's own count (read by
# window_heap_probe, preloaded): there the sanitizer's allocator and shadow memory grow on
# their own (measured: 0.4 to 1.3 MiB in 100 s while the live heap grew by under 1 KiB).
import os, pathlib, random, re, tempfile, time
import harness
from harness import dialog_shown, play_shown

SECONDS = int(os.environ.get("ZUDADUVIZ_SOAK_SECONDS", "60"))
PLAY_KEYS = ["Left", "Right", "space", "space", "1", "2", "3", "Up", "Down"]
MIB = 1024 * 1024


def memory(pid, probe_file):  # the probe's latest live heap count, else the resident size
    lines = probe_file.read_text().split("\n")[-2:] if probe_file.exists() else []
    if len(lines) == 2 and lines[1] == "":
        return "live heap", int(lines[0].split()[1])
    return "resident", int(re.search(r"^VmRSS:\s+(\d+) kB", pathlib.Path(f"/proc/{pid}/status").read_text(), re.M)[1]) * 1024


class LongRun(harness.WindowTest):

    def test_random_input_keeps_the_game_alive_and_its_memory_flat(self):
        probe_file = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory())) / "heap.txt"
        # A preloaded library comes before the sanitizer's runtime: it is told that is fine.
        self.server.env.update(ASAN_OPTIONS="detect_leaks=0:verify_asan_link_order=0", HEAP_PROBE_FILE=str(probe_file),
                               LD_PRELOAD=os.path.join(harness.BUILD_DIR, "tests", "libwindow_heap_probe.so"))
        rng = random.Random(int(os.environ.get("ZUDADUVIZ_SOAK_SEED", "1")))
        run = self.start_playing()
        began = next_look = time.monotonic()
        samples, games, dialogs, in_play = [], 1, 0, True
        while (elapsed := time.monotonic() - began) < SECONDS:
            samples.append((elapsed, *memory(run.proc.pid, probe_file)))
            if time.monotonic() >= next_look:  # every 3 s; Escape only in a game seen a moment ago
                shot = run.capture("look")
                in_play = play_shown(shot) and not dialog_shown(shot)
                if harness.title_shown(shot):
                    run.key("Return")
                    games += 1
                elif in_play and rng.random() < 0.2:
                    run.key("Escape")
                    if run.wait_screen("quit dialog", lambda s: dialog_shown(s) or not play_shown(s), 5) \
                            and dialog_shown(run.capture("dialog")):
                        dialogs += 1
                        run.move_mouse(rng.randrange(800), rng.randrange(600))
                        time.sleep(rng.uniform(0.1, 1.0))
                        run.key("Escape")
                    in_play = False
                next_look = time.monotonic() + 3
            if in_play:
                held = rng.choice(PLAY_KEYS)
                run.xdotool("mousemove", run.origin[0] + rng.randrange(800), run.origin[1] + rng.randrange(600),
                            "keydown", held, "sleep", round(rng.uniform(0.05, 0.4), 2), "keyup", held)
                if rng.random() < 0.1:
                    run.click(rng.choice((1, 3)))
            else:
                time.sleep(0.2)

        self.assertIsNone(run.proc.poll(), f"the game ended:\n{run.output()[-2000:]}")
        # The lowest value of a window of a tenth of the run: a lost game's 1 MiB fade overlay
        # comes and goes within a second; a leak raises the lowest level too.
        kind = samples[-1][1]
        level = lambda start: min(v for t, k, v in samples if k == kind and start <= t < start + SECONDS / 10)
        settled_at = min(60.0, SECONDS / 3)
        settled, last = level(settled_at), level(SECONDS - SECONDS / 10)
        print(f"  {SECONDS} s, {games} games, {dialogs} quit dialogs, {len(samples)} samples; {kind} "
              f"{settled / MIB:.2f} MiB at {settled_at:.0f} s, {last / MIB:.2f} MiB at the end", flush=True)
        self.assertLess(last - settled, MIB)
        run.stop()  # raises on a sanitizer report in the game's output


if __name__ == "__main__":
    harness.main()
