#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the game and starts it.
set -e
cd "$(dirname "$0")"
sh scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZUDADUVIZ_TESTS=OFF > /dev/null
cmake --build build -j"$(nproc)"
# The game finds zudaduviz.dat and patches.dat (the instruments) next to itself.
exec build/zudaduviz "$@"
