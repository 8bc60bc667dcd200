#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Damaged-tune sweep: copies of the data file with 1 to 8 bytes changed inside its tunes,
each given to play_data_tunes (the game's checks, Allegro's loader, then every tune looping
for a few seconds through ALSA into a null device, under a private Xvfb). Counts the files
the checks turn away, those that play, and those that crash (killed by a signal) or hang
(still running at the time-out); keeps the crashing and hanging files. Exits non-zero on
any crash, hang or unexpected failure.

    scripts/sweep-damaged-tunes.py BUILD_DIR [--files 2000] [--seed 1] [--jobs 2]
"""

import argparse, concurrent.futures, os, pathlib, random, signal, struct, subprocess, sys, tempfile

# ALSA's default output: a plug (Allegro's unsigned samples to signed) into the null
# device, which keeps real time with the small fragments asked for in allegro.cfg.
ALSA_CONFIG = """pcm.!default { type plug; slave { pcm "null"; format S16_LE } }
ctl.!default { type hw; card 0 } rawmidi.!default { type hw; card 0 }"""


def tune_ranges(data):
    """(start, end) of each MIDI object's contents in an uncompressed Allegro data file."""
    ranges, at = [], 12
    (count,) = struct.unpack_from(">I", data, 8)
    for _ in range(count):
        while data[at:at + 4] == b"prop":
            (size,) = struct.unpack_from(">I", data, at + 8)
            at += 12 + size
        kind, size = data[at:at + 4], struct.unpack_from(">I", data, at + 4)[0]
        if kind == b"MIDI":
            ranges.append((at + 12, at + 12 + size))
        at += 12 + size
    return ranges


def damage(original, ranges, rng):
    weights = [end - start for start, end in ranges]
    data = bytearray(original)
    for _ in range(rng.randint(1, 8)):
        start, end = rng.choices(ranges, weights)[0]
        data[rng.randrange(start, end)] = rng.randrange(256)
    return bytes(data)


# -noreset: an X server resets when its last client leaves, and a player starting then
# cannot connect.
def start_xvfb():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "640x480x16", "-nolisten", "tcp", "-noreset"],
                              pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as pipe:
        display = pipe.readline().strip()
    if not display:
        sys.exit("Xvfb did not start")
    return server, ":" + display


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build_dir", type=pathlib.Path)
    parser.add_argument("--files", type=int, default=2000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--seconds", type=float, default=3.0, help="playing time of each tune")
    parser.add_argument("--keep", type=pathlib.Path, help="folder for the files that crash or hang")
    args = parser.parse_args()
    player, data_file = args.build_dir / "play_data_tunes", args.build_dir / "zudaduviz.dat"
    original = data_file.read_bytes()
    ranges = tune_ranges(original)
    timeout = 2 * args.seconds + 10
    keep = args.keep or args.build_dir / "sweep-failures"

    work = pathlib.Path(tempfile.mkdtemp(prefix="zudaduviz-sweep-"))
    (work / "alsa.conf").write_text(ALSA_CONFIG)
    (work / "allegro.cfg").write_text("[sound]\nalsa_fragsize = 441\n")
    server, display = start_xvfb()
    env = dict(os.environ, DISPLAY=display, HOME=str(work),
               ALSA_CONFIG_PATH=f"/usr/share/alsa/alsa.conf:{work / 'alsa.conf'}",
               # A sanitized build must die of the signal, as a plain one would.
               ASAN_OPTIONS="detect_leaks=0:handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_abort=0:handle_sigill=0")

    def run(number, data):
        path = work / f"{number}.dat"
        path.write_bytes(data)
        try:
            done = subprocess.run([str(player), str(path), str(args.seconds)], env=env, capture_output=True,
                                  text=True, errors="replace", timeout=timeout)
            outcome = ("played" if done.returncode == 0 else
                       "rejected" if done.returncode == 1 and "zudaduviz.dat" in done.stdout else
                       f"crashed ({signal.Signals(-done.returncode).name})" if done.returncode < 0 else
                       f"failed (exit {done.returncode}: {(done.stdout + done.stderr).strip()[-200:]})")
        except subprocess.TimeoutExpired:
            outcome = "hung"
        if outcome not in ("played", "rejected"):
            keep.mkdir(parents=True, exist_ok=True)
            (keep / path.name).write_bytes(data)
        path.unlink()
        return number, outcome

    rng = random.Random(args.seed)
    files = [damage(original, ranges, rng) for _ in range(args.files)]
    counts = {}
    try:
        # The undamaged file must play, or the sweep would prove nothing.
        if (outcome := run("undamaged", original)[1]) != "played":
            print(f"the undamaged data file does not play: {outcome}")
            return 1
        with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
            for number, outcome in pool.map(lambda n: run(f"damaged-{n}", files[n]), range(args.files)):
                kind = outcome.split(" ")[0]
                counts[kind] = counts.get(kind, 0) + 1
                if kind not in ("played", "rejected"):
                    print(f"  {number}: {outcome}", flush=True)
    finally:
        server.terminate()
        server.wait()
        for leftover in work.iterdir():
            leftover.unlink()
        work.rmdir()

    print(f"{args.files} files tried (seed {args.seed}, tunes played {args.seconds:g} s each): "
          f"{counts.get('rejected', 0)} rejected, {counts.get('played', 0)} played, "
          f"{counts.get('crashed', 0)} crashed, {counts.get('hung', 0)} hung, {counts.get('failed', 0)} failed")
    return 0 if counts.get("rejected", 0) + counts.get("played", 0) == args.files else 1


if __name__ == "__main__":
    sys.exit(main())
