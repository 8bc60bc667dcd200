#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test (window tests start their own Xvfb).
set -e
cd "$(dirname "$0")"
sh scripts/install-deps.sh tests
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUDADUVIZ_SANITIZE=ON -DZUDADUVIZ_BENCH=ON > /dev/null
cmake --build build-tests -j"$(nproc)"
status=0
# A minute of fuzzing the data file's checks and loader (scripts/fuzz.sh, clang's libFuzzer),
# from a fixed seed so that a finding shows again on the next run.
FUZZ_SEED=1 sh scripts/fuzz.sh 60 build-tests/zudaduviz.dat || status=1
cd build-tests
# Logic tests in parallel; real-window tests one at a time, since they hold keys and
# buttons for a few frames and must not be starved of the two cores.
ctest --output-on-failure -j2 -LE window || status=1
ctest --output-on-failure -L window || status=1
exit $status
