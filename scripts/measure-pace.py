#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Measures the levels' paces: the headless player (bench_pace) plays seeded games at each
level through the game's own frame update, and this prints, per level, the median survival
time and score, and the survival as a share of the level below (the target: 55 to 80 %).

Builds bench_pace first, in a Release build without sanitizers made for it unless the build
folder given exists already (the games' outcomes are the same in any build; only the time to
play them differs). Extra arguments go to bench_pace
(--row L=CHANCE,SPEED,DELAY,BONUS tries another row of the table).

Usage: scripts/measure-pace.py [--games 200] [--build build-release] [bench_pace arguments...]
"""
import argparse, collections, pathlib, statistics, subprocess, sys, time

ROOT = pathlib.Path(__file__).resolve().parent.parent
LOW, HIGH = 0.55, 0.80


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--games", type=int, default=200)
    parser.add_argument("--build", default="build-release")
    args, extra = parser.parse_known_args()
    if not (pathlib.Path(args.build) / "CMakeCache.txt").exists():  # a build already there is taken as it is
        subprocess.run(["cmake", "-S", ROOT, "-B", args.build, "-DCMAKE_BUILD_TYPE=Release", "-DZUDADUVIZ_SANITIZE=OFF",
                        "-DZUDADUVIZ_BENCH=ON", "-DZUDADUVIZ_TESTS=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", args.build, "-j2", "--target", "bench_pace"], check=True,
                   stdout=subprocess.DEVNULL)
    start = time.monotonic()
    out = subprocess.run([str(pathlib.Path(args.build) / "bench" / "bench_pace"), "--games", str(args.games)] + extra,
                         check=True, capture_output=True, text=True).stdout
    took = time.monotonic() - start
    games = collections.defaultdict(list)
    for line in out.splitlines():
        level, _seed, seconds, score, _kills = line.split()
        games[int(level)].append((float(seconds), int(score)))
    print(f"{sum(map(len, games.values()))} games in {took:.1f} s")
    print("| Level | Games | Median survival (s) | Share of the level below | Median score |")
    print("|---|---|---|---|---|")
    below, steady = None, True
    for level in sorted(games):
        survival = statistics.median(s for s, _ in games[level])
        score = statistics.median(p for _, p in games[level])
        share = f"{survival / below:.0%}" if below else ""
        if below and not LOW <= survival / below <= HIGH:
            share += " (off target)"
            steady = False
        print(f"| {level} | {len(games[level])} | {survival:.1f} | {share} | {score:g} |")
        below = survival
    return 0 if steady else 1


if __name__ == "__main__":
    sys.exit(main())
