#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Plants each fault of scripts/faults.txt, one at a time, in a scratch copy of the tree,
builds it as the tests build it (sanitizers on), runs the logic tests (and the window test
named beside the fault, for what only a window shows), and prints "K of N caught" with the
missed ones. Measures how strong the tests are; rerun it after any change to the tests.

    python3 scripts/plant-faults.py [--scratch DIR] [--only NAME ...] [--list]

A fault is a block of scripts/faults.txt:

    ## name: the symptom it should cause
    file: src/play/combat.cpp
    old: player->score += hit_score;
    new: player->score += hit_score + 1;
    window: test_path          (optional: the window test that shows it)

`old` must stand exactly once in the file (a fault that no longer applies is reported as
stale, so the list is kept true as the code moves). `old`/`new` may span lines with a
literal \\n. A line `# uncaught: reason` names a fault the tests cannot see (equivalent, or
only a window could show it): missed, it is listed with its reason apart from the misses;
caught, it is reported so the line goes.
"""
import argparse, os, pathlib, shutil, subprocess, sys, time

ROOT = pathlib.Path(__file__).resolve().parent.parent
# The long game last and alone: a fault that makes it hang costs its whole timeout, and ctest
# waits for a running test even after another one has failed.
LOGIC = ["ctest", "-j2", "--timeout", "180", "--stop-on-failure", "-LE", "window", "-E", "install\\.|sweep\\.|LongGame"]
SOAK = ["ctest", "-R", "LongGame"]


def logic_tests_fail(build):
    return run(LOGIC, build).returncode or run(SOAK, build).returncode


def read_faults(path):
    faults, fault = [], None
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.startswith("## "):
            name, _, symptom = line[3:].partition(":")
            fault = {"name": name.strip(), "symptom": symptom.strip()}
            faults.append(fault)
        elif fault is not None and line.startswith("# uncaught:"):
            fault["uncaught"] = line.partition(":")[2].strip()
        elif fault is not None and ":" in line and not line.startswith("#"):
            key, _, value = line.partition(":")
            if key.strip() in ("file", "old", "new", "window"):
                fault[key.strip()] = value.strip().replace("\\n", "\n")
    for f in faults:
        missing = {"file", "old", "new"} - f.keys()
        if missing:
            sys.exit(f"{f['name']}: no {', '.join(sorted(missing))}")
    return faults


def run(cmd, cwd, timeout=1800):
    try:
        return subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout,
                              text=True, errors="replace")
    except subprocess.TimeoutExpired as e:  # a fault that hangs a test is caught by it
        return subprocess.CompletedProcess(cmd, 124, e.stdout or "")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--scratch", default=str(ROOT / "build-faults"))
    ap.add_argument("--only", nargs="*", default=[])
    ap.add_argument("--list", action="store_true")
    args = ap.parse_args()
    faults = read_faults(ROOT / "scripts" / "faults.txt")
    if args.only:
        faults = [f for f in faults if f["name"] in args.only]
    if args.list:
        for f in faults:
            print(f"{f['name']:28} {f['file']:40} {f['symptom']}")
        return 0

    # The scratch copy: the tracked files as they stand in the working tree. Its build is kept
    # between runs and laid out as a worktree's (build-tests/ inside), so ccache finds the
    # objects; only files that differ are copied, so make rebuilds only what changed.
    src = pathlib.Path(args.scratch) / "tree"
    build = src / "build-tests"
    files = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, stdout=subprocess.PIPE, check=True).stdout
    tracked = {name for name in files.decode().split("\0") if name and (ROOT / name).is_file()}
    for old in src.rglob("*") if src.exists() else []:
        if build not in old.parents and old.is_file() and str(old.relative_to(src)) not in tracked:
            old.unlink()
    for name in tracked:
        (src / name).parent.mkdir(parents=True, exist_ok=True)
        if not (src / name).exists() or (src / name).read_bytes() != (ROOT / name).read_bytes():
            shutil.copy(ROOT / name, src / name)
    launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
    cfg = run(["cmake", "-S", str(src), "-B", str(build), "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
               "-DZUDADUVIZ_SANITIZE=ON", *launcher], ROOT)
    if cfg.returncode:
        sys.exit(cfg.stdout)
    base = run(["cmake", "--build", str(build), "-j2"], ROOT)
    if base.returncode or logic_tests_fail(build):
        sys.exit("the tree without a fault does not build or pass its logic tests: nothing to measure")

    caught, missed, stale = [], [], []
    for i, f in enumerate(faults, 1):
        target = src / f["file"]
        text = target.read_text(encoding="utf-8")
        if text.count(f["old"]) != 1:
            stale.append(f)
            print(f"[{i}/{len(faults)}] {f['name']}: stale ({text.count(f['old'])} places)", flush=True)
            continue
        started = time.monotonic()
        target.write_text(text.replace(f["old"], f["new"]), encoding="utf-8")
        try:
            how = None
            if run(["cmake", "--build", str(build), "-j2"], ROOT).returncode:
                stale.append(f)  # a fault must build: one that does not measures nothing
                print(f"[{i}/{len(faults)}] {f['name']}: stale (does not build)", flush=True)
                continue
            if logic_tests_fail(build):
                how = "logic tests"
            elif f.get("window"):
                if run(["ctest", "-R", f"window\\.{f['window']}$", "--timeout", "300"], build).returncode:
                    how = f["window"]
        finally:
            target.write_text(text, encoding="utf-8")
        (caught if how else missed).append(f)
        print(f"[{i}/{len(faults)}] {f['name']}: {('caught by ' + how) if how else 'MISSED'}"
              f" ({time.monotonic() - started:.0f} s)", flush=True)

    run(["cmake", "--build", str(build), "-j2"], ROOT)  # leave the scratch build as the tree is
    for f in missed:
        print(f"uncaught: {f['name']}: {f['uncaught']}" if "uncaught" in f else f"missed: {f['name']} ({f['file']}): {f['symptom']}")
    for f in caught:
        if "uncaught" in f:
            print(f"caught though marked uncaught: {f['name']} (its `# uncaught:` line goes)")
    for f in stale:
        print(f"stale: {f['name']} ({f['file']}): its text no longer stands once, or it does not build")
    named = sum("uncaught" in f for f in missed)
    print(f"{len(caught)} of {len(caught) + len(missed)} caught ({100 * len(caught) // max(1, len(caught) + len(missed))} %)"
          + (f", {named} named uncaught" if named else "") + (f", {len(stale)} stale" if stale else ""))
    return 0 if not stale and named == len(missed) else 1


if __name__ == "__main__":
    sys.exit(main())
