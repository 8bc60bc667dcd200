# A long run in a real window: random keys and mouse for ZUDADUVIZ_SOAK_SECONDS (60 by
# default), games lost and started again, the quit dialog opened and closed. The game must
# be alive at the end, with no sanitizer report, and its resident memory must not grow by
# 1 MiB or more after the first minute (in a shorter run, after its first third). RSS is
# read from /proc every few tenths of a second.
#
# Measured on the sanitizer build with AddressSanitizer's quarantine off: the quarantine
# keeps every freed block on purpose (up to 256 MiB), and each lost game frees a 1 MiB fade
# overlay, so with it the resident memory grows by design. Bounds checks stay on.
import os, pathlib, random, re, time
import harness
from test_quit_dialog import dialog_shown

SECONDS = int(os.environ.get("ZUDADUVIZ_SOAK_SECONDS", "60"))
PLAY_KEYS = ["Left", "Right", "space", "space", "1", "2", "3", "Up", "Down"]
LOOK_EVERY = 3.0  # seconds between two looks at the screen
MIB = 1024 * 1024


def resident_bytes(pid):
    status = pathlib.Path(f"/proc/{pid}/status").read_text()
    return int(re.search(r"^VmRSS:\s+(\d+) kB", status, re.M).group(1)) * 1024


class LongRun(harness.WindowTest):

    def test_random_input_keeps_the_game_alive_and_its_memory_flat(self):
        self.server.env["ASAN_OPTIONS"] = "detect_leaks=0:quarantine_size_mb=0"
        rng = random.Random(int(os.environ.get("ZUDADUVIZ_SOAK_SEED", "1")))
        run = self.start_playing()
        settled_at = min(60.0, SECONDS / 3)
        began = next_look = time.monotonic()
        samples, counts = [], dict(games=1, dialogs=0, looks=0)
        in_play = True

        while (elapsed := time.monotonic() - began) < SECONDS:
            samples.append((elapsed, resident_bytes(run.proc.pid)))
            if time.monotonic() >= next_look:
                # Escape is only pressed in a game seen a moment ago: at the title it quits.
                shot = run.capture("look")
                counts["looks"] += 1
                in_play = harness.play_shown(shot) and not dialog_shown(shot)
                if harness.title_shown(shot):
                    run.key("Return")
                    counts["games"] += 1
                elif in_play and rng.random() < 0.2:
                    run.key("Escape")
                    if run.wait_screen("quit dialog", lambda s: dialog_shown(s) or not harness.play_shown(s), 5) \
                            and dialog_shown(run.capture("dialog")):
                        counts["dialogs"] += 1
                        run.move_mouse(rng.randrange(800), rng.randrange(600))
                        time.sleep(rng.uniform(0.1, 1.0))
                        run.key("Escape")
                    in_play = False
                next_look = time.monotonic() + LOOK_EVERY
            if in_play:
                held = rng.choice(PLAY_KEYS)
                run.xdotool("mousemove", run.origin[0] + rng.randrange(800), run.origin[1] + rng.randrange(600),
                            "keydown", held, "sleep", round(rng.uniform(0.05, 0.4), 2), "keyup", held)
                if rng.random() < 0.1:
                    run.click(rng.choice((1, 3)))
            else:
                time.sleep(0.2)

        self.assertIsNone(run.proc.poll(), f"the game ended:\n{run.output()[-2000:]}")
        # Each level is the lowest in a window of a tenth of the run: a lost game's fade
        # overlay comes and goes within a second; a leak raises the lowest level too.
        window = SECONDS / 10
        settled = min(rss for t, rss in samples if settled_at <= t < settled_at + window)
        last = min(rss for t, rss in samples if t >= SECONDS - window)
        print(f"  {SECONDS} s, {counts['games']} games, {counts['dialogs']} quit dialogs, {len(samples)} samples;"
              f" resident {settled / MIB:.2f} MiB at {settled_at:.0f} s, {last / MIB:.2f} MiB at the end,"
              f" growth {(last - settled) / 1024:.0f} KiB (highest {max(r for _, r in samples) / MIB:.2f} MiB)",
              flush=True)
        self.assertLess(last - settled, MIB)
        run.stop()  # raises on a sanitizer report in the game's output


if __name__ == "__main__":
    harness.main()
