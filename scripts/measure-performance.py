#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Measures the game's figures on this machine, from a Release build without sanitizers:

- the frame benchmarks and the collision benchmark (Google Benchmark, medians of repetitions);
- the CPU time of 20 s of play (fire held, the ship steered at random), under Xvfb, against the
  floor: the empty program (bench_floor) that starts the same devices in the same mode and
  shows one buffer per retrace, over 20 s too;
- the frame rate the game's head-up display shows while playing, beside the floor's rate (one
  frame per retrace, counted on its own timer);
- the start-up time, launch to the first frame on the screen, measured from outside
  (first_frame), for the game and for the floor;
- on a large desktop (Xvfb 2048x1536x24): the present step's benchmark (bench_present), and
  the CPU and frame rate of play in a 1x window, a 2x window and the full screen at the
  desktop's size, beside a 1x window of a given earlier build (--baseline) when there is one.

--displays-only measures the large desktop's figures alone and writes them into the figures
already there.

Every run is made several times and the medians kept. Writes <out>/figures.json and
<out>/benchmarks.json (then run scripts/plot-performance.py), and prints a summary.

Usage: scripts/measure-performance.py [--runs 5] [--seconds 20] [--build build-release] [--out docs/performance]
                                      [--baseline EXECUTABLE] [--displays-only]
"""
import argparse, json, os, pathlib, platform, random, re, shutil, statistics, subprocess, sys, tempfile, time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "window"))
import harness  # noqa: E402  (the window tests' Xvfb, input and screen reading)
from harness import dialog_shown  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
PLAY_STRETCH = 5.0  # seconds
LARGE_DESKTOP = "2048x1536x24"
# The large desktop's rows: a name and the game's options.
DISPLAYS = [("1x window", ["--fenetre", "--echelle", "1"]), ("2x window", ["--fenetre", "--echelle", "2"]),
            ("full screen 2048x1536", ["--plein-ecran"])]


def build(build_dir):
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release", "-DZUDADUVIZ_SANITIZE=OFF",
                    "-DZUDADUVIZ_BENCH=ON", "-DZUDADUVIZ_TESTS=ON"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "-j2", "--target", "zudaduviz", "data_file", "bench_frame",
                    "bench_collision", "bench_present", "bench_floor", "first_frame", "window_text_mask"], check=True,
                   stdout=subprocess.DEVNULL)


def cpu_seconds(pid):  # user + system time of every thread of the process so far
    fields = pathlib.Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def machine():
    model = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")),
                 platform.processor())
    return {"cpu": model, "cores": os.cpu_count(), "system": f"{platform.system()} {platform.release()}"}


class Session(harness.WindowTest):  # a window test's X server, game start-up and clean-ups, outside unittest
    def runTest(self):
        pass

    def __init__(self, screen="1024x768x24"):
        super().__init__()
        self.screen = screen
        self.setUp()

    def keep(self, shot, label):  # captures are not kept
        return shot

    def close(self):
        self.doCleanups()


def measure_floor(build_dir, seconds):
    session = Session()
    try:
        for attempt in range(3):  # like the game, it can lose a connection made at the moment we poll
            floor = subprocess.Popen([os.path.join(build_dir, "bench", "bench_floor"), str(seconds + 4)],
                                     env=session.server.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     text=True)
            time.sleep(2)
            if floor.poll() is None:
                break
        server_start, start = cpu_seconds(session.server.proc.pid), cpu_seconds(floor.pid)
        time.sleep(seconds)
        cpu, server_cpu = cpu_seconds(floor.pid) - start, cpu_seconds(session.server.proc.pid) - server_start
        out, _ = floor.communicate(timeout=30)
        fps = float(re.search(r"frames per second: ([\d.]+)", out).group(1))
        return {"cpu": cpu / seconds, "xvfb_cpu": server_cpu / seconds, "fps": fps}
    finally:
        session.close()


def new_game(run):
    """Leaves the game (Escape, then Enter in the quit dialog; a destroyed ship's game ends by
    itself) and starts another from the title menu."""
    deadline, escaped_at = time.monotonic() + 30, 0.0
    while time.monotonic() < deadline:
        shot = run.capture("between games")
        if harness.title_shown(shot):
            run.key("Return")
            if run.wait_screen("game", lambda s: harness.play_shown(s) or harness.title_shown(s), 5) \
                    and harness.play_shown(run.capture("new game")):
                return
        elif dialog_shown(shot):
            run.key("Return")
        elif harness.play_shown(shot) and time.monotonic() - escaped_at > 3:
            run.key("Escape")  # pressed again only if the dialog never showed
            escaped_at = time.monotonic()
        time.sleep(0.1)
    raise AssertionError("no new game within 30 s")


def measure_play(seconds, rng, screen="1024x768x24", args=(), exe=None):
    """CPU and frame rate over `seconds` of play, in stretches from the start of fresh games:
    the ship, hunted down in about ten seconds, seldom lives twenty; in five, the first
    invader has barely come down. A stretch in which the ship was destroyed is played again."""
    session = Session(screen)
    try:
        run = session.start_at_title(args, exe)
        run.move_mouse(400, 300)  # no window manager: the keys go to the window under the pointer
        run.key("Return")
        run.wait_screen("game", harness.play_shown)
        played = cpu = server_cpu = 0.0
        rates = []
        while played < seconds - 0.01:
            server_start, start, began = cpu_seconds(session.server.proc.pid), cpu_seconds(run.proc.pid), time.monotonic()
            # Fire held throughout, the ship steered from side to side, now and then another weapon.
            run.xdotool("keydown", "space")
            while time.monotonic() - began < min(PLAY_STRETCH, seconds - played) - 0.3:
                arrow = rng.choice(["Left", "Right"])
                run.xdotool("keydown", arrow, "sleep", round(rng.uniform(0.2, 0.8), 2), "keyup", arrow)
                if rng.random() < 0.2:
                    run.key(rng.choice(["1", "2", "3"]))
            run.xdotool("keyup", "space")
            time.sleep(max(0.0, min(PLAY_STRETCH, seconds - played) - (time.monotonic() - began)))
            stretch_cpu, stretch_server_cpu = (cpu_seconds(run.proc.pid) - start,
                                               cpu_seconds(session.server.proc.pid) - server_start)
            stretch = time.monotonic() - began
            shot = run.capture("end of a stretch")
            if harness.play_shown(shot) and not dialog_shown(shot):
                played, cpu, server_cpu = played + stretch, cpu + stretch_cpu, server_cpu + stretch_server_cpu
                rates.append(int(re.fullmatch(r"FPS : (\d+)", harness.read_text(shot, 600, 10, harness.HUD_BLUE,
                                                                                10)).group(1)))
            new_game(run)
        return {"cpu": cpu / played, "xvfb_cpu": server_cpu / played, "fps": statistics.median(rates)}
    finally:
        session.close()


def measure_startup(program, workdir, runs):
    # A black root window (-br), so that only the program's first frame lights a pixel.
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-br", "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as f:
        env = dict(os.environ, DISPLAY=":" + f.readline().strip())
    delays = []
    try:
        for _ in range(runs):
            out = subprocess.run([os.path.join(harness.BUILD_DIR, "bench", "first_frame"), *program], cwd=workdir,
                                 env=env, capture_output=True, text=True, check=True, timeout=60).stdout
            delays.append(float(re.search(r"first frame ([\d.]+) ms", out).group(1)))
            time.sleep(0.5)
    finally:
        server.terminate()
        server.wait()
    return delays


def run_benchmarks(build_dir, out_dir, repetitions):
    results = {}
    for name in ("bench_frame", "bench_collision"):
        path = out_dir / f"{name}.json"
        subprocess.run([os.path.join(build_dir, "bench", name), f"--benchmark_repetitions={max(repetitions, 3)}",
                        "--benchmark_report_aggregates_only=true", "--benchmark_format=json",
                        f"--benchmark_out={path}"], check=True, stdout=subprocess.DEVNULL)
        results[name] = json.loads(path.read_text())
        path.unlink()
        # The figures are kept in the repository: no path or name of this machine in them.
        results[name]["context"].update(executable=f"bench/{name}", host_name="")
    return results


def run_present_benchmark(build_dir, repetitions):  # under its own large Xvfb: it opens windows
    server = harness.XServer(LARGE_DESKTOP)
    try:
        out = subprocess.run([os.path.join(build_dir, "bench", "bench_present"),
                              f"--benchmark_repetitions={max(repetitions, 3)}", "--benchmark_report_aggregates_only=true",
                              "--benchmark_format=json"], env=server.env, check=True, capture_output=True, text=True).stdout
    finally:
        server.stop()
    result = json.loads(out)
    result["context"].update(executable="bench/bench_present", host_name="")
    return result


def measure_displays(seconds, rng, runs, baseline):
    """The large desktop's rows, each run in turn so that the machine's load falls alike on all."""
    rows = ([("earlier build, 1x window", ["--fenetre"], baseline)] if baseline else []) + \
           [(name, args, None) for name, args in DISPLAYS]
    results = {name: [] for name, _, _ in rows}
    for n in range(runs):
        for name, args, exe in rows:
            for attempt in range(3):  # a capture can time out on a loaded machine: that run is made again
                print(f"run {n + 1}/{runs}: {name} ({seconds} s)...", flush=True)
                try:
                    results[name].append(measure_play(seconds, rng, LARGE_DESKTOP, args, exe))
                    break
                except (AssertionError, subprocess.TimeoutExpired) as error:
                    print(f"  failed ({error}), again", flush=True)
    return {name: {"runs": plays, "cpu": median_of(plays, "cpu"), "xvfb_cpu": median_of(plays, "xvfb_cpu"),
                   "fps": median_of(plays, "fps")} for name, plays in results.items()}


def median_of(runs, key):
    return statistics.median(run[key] for run in runs)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--seconds", type=int, default=20)
    parser.add_argument("--build", default=str(ROOT / "build-release"))
    parser.add_argument("--out", default=str(ROOT / "docs" / "performance"))
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--baseline", help="an earlier build's executable, measured in a 1x window beside this one's")
    parser.add_argument("--displays-only", action="store_true")
    args = parser.parse_args()
    build_dir, out_dir = os.path.abspath(args.build), pathlib.Path(args.out)
    out_dir.mkdir(parents=True, exist_ok=True)
    rng = random.Random(args.seed)

    build(build_dir)
    load_before = float(pathlib.Path("/proc/loadavg").read_text().split()[0])
    harness.EXE, harness.BUILD_DIR = os.path.join(build_dir, "zudaduviz"), build_dir

    if args.displays_only:
        benchmarks = json.loads((out_dir / "benchmarks.json").read_text())
        figures = json.loads((out_dir / "figures.json").read_text())
    else:
        print("benchmarks...", flush=True)
        benchmarks = run_benchmarks(build_dir, out_dir, args.runs)
    print("present step...", flush=True)
    benchmarks["bench_present"] = run_present_benchmark(build_dir, args.runs)
    (out_dir / "benchmarks.json").write_text(json.dumps(benchmarks, indent=1) + "\n")
    displays = measure_displays(args.seconds, rng, args.runs, args.baseline and os.path.abspath(args.baseline))
    if args.displays_only:
        figures["displays"] = displays
        figures["displays_load_average"] = [load_before, float(pathlib.Path("/proc/loadavg").read_text().split()[0])]
        (out_dir / "figures.json").write_text(json.dumps(figures, indent=1) + "\n")
        print_displays(displays, benchmarks)
        return

    floors, plays = [], []
    for n in range(args.runs):
        print(f"run {n + 1}/{args.runs}: floor, then play ({args.seconds} s each)...", flush=True)
        floors.append(measure_floor(build_dir, args.seconds))
        plays.append(measure_play(args.seconds, rng))

    print("start-up...", flush=True)
    workdir = tempfile.mkdtemp(prefix="zudaduviz-perf-")
    try:
        shutil.copy(os.path.join(build_dir, "zudaduviz.dat"), workdir)
        startup_game = measure_startup([harness.EXE], workdir, 2 * args.runs + 1)
        startup_floor = measure_startup([os.path.join(build_dir, "bench", "bench_floor"), "60"], workdir,
                                        2 * args.runs + 1)
    finally:
        shutil.rmtree(workdir)

    figures = {
        "machine": machine(),
        # Other work on the machine slows every figure down: the load average (1 minute)
        # before and after the measures.
        "load_average": [load_before, float(pathlib.Path("/proc/loadavg").read_text().split()[0])],
        "runs": args.runs,
        "play_seconds": args.seconds,
        "floor": floors,
        "play": plays,
        "startup_ms": {"game": startup_game, "floor": startup_floor},
        "displays": displays,
        "medians": {
            "floor_cpu": median_of(floors, "cpu"), "play_cpu": median_of(plays, "cpu"),
            "floor_xvfb_cpu": median_of(floors, "xvfb_cpu"), "play_xvfb_cpu": median_of(plays, "xvfb_cpu"),
            "floor_fps": median_of(floors, "fps"), "play_fps": median_of(plays, "fps"),
            "startup_game_ms": statistics.median(startup_game), "startup_floor_ms": statistics.median(startup_floor),
        },
    }
    m = figures["medians"]
    m["cpu_ratio"] = m["play_cpu"] / m["floor_cpu"]
    (out_dir / "figures.json").write_text(json.dumps(figures, indent=1) + "\n")

    print(f"machine: {figures['machine']['cpu']}, {figures['machine']['cores']} cores, load average "
          f"{figures['load_average'][0]:.1f} then {figures['load_average'][1]:.1f}")
    print(f"CPU, share of one core: floor {m['floor_cpu']:.3f}, play {m['play_cpu']:.3f}, "
          f"ratio {m['cpu_ratio']:.2f} (Xvfb: {m['floor_xvfb_cpu']:.3f}, {m['play_xvfb_cpu']:.3f})")
    print(f"frames per second: floor {m['floor_fps']:.1f}, game's display {m['play_fps']:.0f}")
    print(f"start-up to the first frame: game {m['startup_game_ms']:.0f} ms, floor {m['startup_floor_ms']:.0f} ms")
    for name, result in benchmarks.items():
        for b in result["benchmarks"]:
            if b.get("aggregate_name") == "median":
                print(f"  {b['run_name']:<40} {b['real_time']:>12.1f} {b['time_unit']}")
    print_displays(displays, benchmarks)
    print(f"written: {out_dir / 'figures.json'}, {out_dir / 'benchmarks.json'}")


def print_displays(displays, benchmarks):
    print(f"on {LARGE_DESKTOP}:")
    for name, row in displays.items():
        print(f"  {name:<28} CPU {100 * row['cpu']:5.1f} % of a core, Xvfb {100 * row['xvfb_cpu']:5.1f} %, "
              f"{row['fps']:.0f} frames/s")
    for b in benchmarks["bench_present"]["benchmarks"]:
        if b.get("aggregate_name") == "median":
            print(f"  {b['run_name']:<40} {b['real_time']:>12.1f} {b['time_unit']}")


if __name__ == "__main__":
    main()
