#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the figures written by scripts/measure-performance.py into one PNG, and prints
them as the README's tables (Markdown).

Usage: scripts/plot-performance.py [--data docs/performance] [--png docs/performance.png]
Needs Debian's python3-matplotlib (sh scripts/install-deps.sh perf).
"""
import argparse, json, pathlib

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parent.parent
FIELDS = [0, 10, 100, 1000]
UPDATE_TARGET_US, COMPOSITION_TARGET_US, CPU_TARGET, STARTUP_TARGET_MS = 100, 500, 1.2, 300
# The present step's targets by scale (ms), and the 2x window's CPU against the 1x window's.
PRESENT_TARGETS_MS, SCALE_CPU_TARGET = {1: 0.3, 2: 0.8, 3: 1.5}, 1.6


def medians(result, time="real_time"):  # benchmark name -> median time in microseconds
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3}
    return {b["run_name"]: b[time] * scale[b["time_unit"]]
            for b in result["benchmarks"] if b.get("aggregate_name") == "median"}


def print_tables(figures, frame, collision):
    m = figures["medians"]
    print(f"| Figure | Median | Target |\n|---|---|---|")
    print(f"| CPU, {figures['play_seconds']} s of play | {100 * m['play_cpu']:.1f} % of a core, "
          f"{m['cpu_ratio']:.2f} × the empty program ({100 * m['floor_cpu']:.1f} %) | at most {CPU_TARGET} × |")
    print(f"| Frame rate | {m['play_fps']:.0f} shown by the game; the empty program {m['floor_fps']:.1f} "
          f"(one per retrace) | the retrace's |")
    print(f"| Start-up, launch to the first frame | {m['startup_game_ms']:.0f} ms (the empty program "
          f"{m['startup_floor_ms']:.0f} ms) | under {STARTUP_TARGET_MS} ms |")
    print(f"| One frame update, 100 actors | {frame['update_frame/100/manual_time']:.1f} µs | "
          f"under {UPDATE_TARGET_US} µs |")
    print(f"| One frame's composition, 100 actors | {frame['draw_frame/100']:.0f} µs | "
          f"under {COMPOSITION_TARGET_US} µs |")
    print("\n| Actors on the field | Update (µs) | × empty | Composition (µs) | × empty |\n|---|---|---|---|---|")
    for n in FIELDS:
        u, d = frame[f"update_frame/{n}/manual_time"], frame[f"draw_frame/{n}"]
        u0, d0 = frame["update_frame/0/manual_time"], frame["draw_frame/0"]
        print(f"| {'none (ship and stars)' if n == 0 else f'{n:,}'} | {u:,.1f} | {u / u0:.1f} | {d:,.0f} | "
              f"{d / d0:.1f} |")
    print("\n| Collision case | Test (ns) | getpixel reference (ns) | Ratio |\n|---|---|---|---|")
    for case in sorted({name.split("/")[0] for name in collision}):
        fast, slow = collision[f"{case}/fast"] * 1e3, collision[f"{case}/getpixel"] * 1e3
        print(f"| {case.replace('_', ' ')} | {fast:,.0f} | {slow:,.0f} | {slow / fast:.0f} |")


def print_display_tables(figures, present):
    rows = figures["displays"]
    one = rows["1x window"]["cpu"]
    print("\n| On a 2048x1536 desktop, 20 s of play | CPU (% of a core) | × the 1x window | Frame rate | Xvfb CPU |"
          "\n|---|---|---|---|---|")
    for name, row in rows.items():
        print(f"| {name} | {100 * row['cpu']:.1f} | {row['cpu'] / one:.2f} | {row['fps']:.0f} | "
              f"{100 * row['xvfb_cpu']:.1f} |")
    base = present["blit_to_16_bit_screen"]
    print("\n| Present step, per frame (CPU time) | To the screen (ms) | In memory (ms) | Target (ms) |\n|---|---|---|---|")
    print(f"| today's blit of the 16-bit buffer to a 16-bit screen | {base / 1e3:.2f} | | |")
    for scale, target in PRESENT_TARGETS_MS.items():
        print(f"| {scale}x, table to a 32-bit screen | {present[f'present_to_screen/{scale}'] / 1e3:.2f} | "
              f"{present[f'present_in_memory/{scale}'] / 1e3:.2f} | {target} |")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--data", default=str(ROOT / "docs" / "performance"))
    parser.add_argument("--png", default=str(ROOT / "docs" / "performance.png"))
    args = parser.parse_args()
    data = pathlib.Path(args.data)
    figures = json.loads((data / "figures.json").read_text())
    benchmarks = json.loads((data / "benchmarks.json").read_text())
    frame, collision = medians(benchmarks["bench_frame"]), medians(benchmarks["bench_collision"])
    # The present step's own thread's CPU time: on the shared machine its wall time is mostly waiting.
    present = medians(benchmarks["bench_present"], "cpu_time")
    m = figures["medians"]

    fig, axes = plt.subplots(3, 2, figsize=(11, 12))
    fig.suptitle(f"{figures['machine']['cpu']}, {figures['machine']['cores']} cores (load average "
                 f"{figures['load_average'][0]:.1f} to {figures['load_average'][1]:.1f}): medians of "
                 f"{figures['runs']} runs", fontsize=11)

    ax = axes[0][0]
    labels = ["empty" if n == 0 else f"{n:,}" for n in FIELDS]
    update = [frame[f"update_frame/{n}/manual_time"] for n in FIELDS]
    draw = [frame[f"draw_frame/{n}"] for n in FIELDS]
    ax.plot(labels, update, "o-", label="frame update")
    ax.plot(labels, draw, "s-", label="frame composition")
    ax.axhline(UPDATE_TARGET_US, color="C0", ls=":", label=f"update target ({UPDATE_TARGET_US} µs, 100 actors)")
    ax.axhline(COMPOSITION_TARGET_US, color="C1", ls=":",
               label=f"composition target ({COMPOSITION_TARGET_US} µs, 100 actors)")
    for values, colour in ((update, "C0"), (draw, "C1")):
        for x, v in zip(labels, values):
            ax.annotate(f"×{v / values[0]:.{1 if v < 10 * values[0] else 0}f}", (x, v), textcoords="offset points", xytext=(4, -11), fontsize=7,
                        color=colour)
    ax.set_yscale("log")
    ax.set_xlabel("actors on the field")
    ax.set_ylabel("µs (ratio to the empty field)")
    ax.set_title("One frame, by actors on the field", fontsize=10)
    ax.legend(fontsize=7)

    ax = axes[0][1]
    cases = sorted({name.split("/")[0] for name in collision})
    width = 0.38
    xs = range(len(cases))
    fast = [collision[f"{c}/fast"] * 1e3 for c in cases]
    slow = [collision[f"{c}/getpixel"] * 1e3 for c in cases]
    ax.bar([x - width / 2 for x in xs], fast, width, label="collision test")
    ax.bar([x + width / 2 for x in xs], slow, width, label="getpixel reference")
    for x, f, s in zip(xs, fast, slow):
        ax.annotate(f"×{s / f:.0f}", (x, s), textcoords="offset points", xytext=(0, 2), ha="center", fontsize=7)
    ax.set_xticks(list(xs), [c.replace("_", " ") for c in cases], rotation=20, ha="right", fontsize=7)
    ax.set_yscale("log")
    ax.set_ylabel("ns")
    ax.set_title("Collision test against its reference", fontsize=10)
    ax.legend(fontsize=7)

    ax = axes[1][0]
    bars = ax.bar(["empty program", f"{figures['play_seconds']} s of play"], [100 * m["floor_cpu"], 100 * m["play_cpu"]], color=["C7", "C2"])
    ax.axhline(100 * m["floor_cpu"] * CPU_TARGET, color="C3", ls=":", label=f"{CPU_TARGET} × the empty program")
    for bar, fps in zip(bars, (m["floor_fps"], m["play_fps"])):
        ax.annotate(f"{fps:.0f} frames/s", (bar.get_x() + bar.get_width() / 2, bar.get_height()),
                    textcoords="offset points", xytext=(0, 2), ha="center", fontsize=8)
    ax.set_ylim(0, 100 * max(m["floor_cpu"] * CPU_TARGET, m["play_cpu"]) * 1.15)
    ax.set_ylabel("% of one core")
    ax.set_title(f"CPU under Xvfb: ratio {m['cpu_ratio']:.2f}", fontsize=10)
    ax.legend(fontsize=7, loc="lower right")

    ax = axes[1][1]
    ax.bar(["empty program", "game"], [m["startup_floor_ms"], m["startup_game_ms"]], color=["C7", "C2"])
    ax.axhline(STARTUP_TARGET_MS, color="C3", ls=":", label=f"target ({STARTUP_TARGET_MS} ms)")
    ax.set_ylabel("ms")
    ax.set_title("Launch to the first frame on the screen", fontsize=10)
    ax.legend(fontsize=7)

    ax = axes[2][0]
    rows = figures["displays"]
    names = list(rows)
    bars = ax.bar([n.replace(", ", ",\n").replace(" 2048", "\n2048") for n in names], [100 * rows[n]["cpu"] for n in names],
                  color=["C7" if n.startswith("earlier") else "C2" for n in names])
    one = rows["1x window"]["cpu"]
    ax.axhline(100 * one * SCALE_CPU_TARGET, color="C3", ls=":", label=f"{SCALE_CPU_TARGET} × the 1x window (2x target)")
    for bar, n in zip(bars, names):
        ax.annotate(f"{rows[n]['fps']:.0f} frames/s", (bar.get_x() + bar.get_width() / 2, bar.get_height()),
                    textcoords="offset points", xytext=(0, 2), ha="center", fontsize=8)
    ax.tick_params(axis="x", labelsize=7)
    ax.set_ylim(0, 100 * max(max(r["cpu"] for r in rows.values()), one * SCALE_CPU_TARGET) * 1.15)
    ax.set_ylabel("% of one core")
    load = figures.get("displays_load_average", figures["load_average"])
    ax.set_title(f"CPU while playing on a 2048x1536 desktop\n({len(rows[names[0]]['runs'])} runs, load average "
                 f"{load[0]:.1f} to {load[1]:.1f})", fontsize=10)
    ax.legend(fontsize=7, loc="lower right")

    ax = axes[2][1]
    labels = ["today's\n16-bit blit"] + [f"{s}x" for s in PRESENT_TARGETS_MS]
    xs = range(len(labels))
    screen_ms = [present["blit_to_16_bit_screen"] / 1e3] + [present[f"present_to_screen/{s}"] / 1e3 for s in PRESENT_TARGETS_MS]
    memory_ms = [0] + [present[f"present_in_memory/{s}"] / 1e3 for s in PRESENT_TARGETS_MS]
    ax.bar([x - width / 2 for x in xs], screen_ms, width, label="to the screen (Xvfb, 24 bits)")
    ax.bar([x + width / 2 for x in xs], memory_ms, width, label="into memory (32 bits)")
    ax.scatter(list(xs)[1:], list(PRESENT_TARGETS_MS.values()), marker="_", s=400, color="C3", label="target", zorder=3)
    ax.set_xticks(list(xs), labels, fontsize=8)
    ax.set_ylabel("ms of CPU per frame")
    ax.set_title("Present step: convert and scale in one pass", fontsize=10)
    ax.legend(fontsize=7)

    fig.tight_layout()
    fig.savefig(args.png, dpi=90)
    print_tables(figures, frame, collision)
    print_display_tables(figures, present)
    print(f"\nwritten: {args.png}")


if __name__ == "__main__":
    main()
