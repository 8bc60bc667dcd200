#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes the data file's checks, and Allegro's loader behind them, with clang's libFuzzer
# for SECONDS (60 by default), then the replay file's reader for a third of that. The corpus
# grows in build-fuzz/corpus (and build-fuzz/replay-corpus) from run to run, seeded with the
# shipped data file (DATA_FILE, by default build/zudaduviz.dat, built if missing) and small
# generated files, and with the games stored in tests/replays. A crash leaves its input in
# build-fuzz/ and fails the run.
#   scripts/fuzz.sh [SECONDS] [DATA_FILE]      (FUZZ_SEED=N: libFuzzer's random seed)
set -e
cd "$(dirname "$0")/.."
seconds=${1:-60}
data_file=${2:-build/zudaduviz.dat}
if [ ! -f "$data_file" ]; then
  cmake -S . -B build -DZUDADUVIZ_TESTS=OFF > /dev/null
  cmake --build build -j"$(nproc)" --target data_file
fi
cmake -S tests/fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ > /dev/null
cmake --build build-fuzz -j"$(nproc)"
mkdir -p build-fuzz/seeds build-fuzz/corpus
build-fuzz/make_seeds "$data_file" build-fuzz/seeds
# One input still running after 10 s counts as a hang. The log is long: only the final
# figures are shown (executions, coverage), or its end when the fuzzer found something.
log=build-fuzz/last-run.log
if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  build-fuzz/fuzz_data_file -max_total_time="$seconds" ${FUZZ_SEED:+-seed=$FUZZ_SEED} -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix=build-fuzz/ build-fuzz/corpus build-fuzz/seeds > "$log" 2>&1; then
  grep -E "DONE|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)" "$log"
else
  tail -n 60 "$log"
  echo "fuzz: failed; the input is in build-fuzz/ (crash-*, timeout-*, leak-*), the whole log in $log"
  exit 1
fi
mkdir -p build-fuzz/replay-corpus
if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  build-fuzz/fuzz_replay_file -max_total_time="$((seconds / 3))" ${FUZZ_SEED:+-seed=$FUZZ_SEED} -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build-fuzz/ build-fuzz/replay-corpus tests/replays \
  > "$log" 2>&1; then
  grep -E "DONE|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)" "$log"
else
  tail -n 60 "$log"
  echo "fuzz: the replay reader failed; the input is in build-fuzz/, the whole log in $log"
  exit 1
fi
