#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the game needs (with "tests", its tests too; with "perf",
# also the plotting of the performance figures), only those missing; through sudo when
# not run as root.
set -e
packages="build-essential cmake pkg-config liballegro4-dev libasound2-dev libx11-dev libpng-dev zlib1g-dev gettext freepats"
if [ "$1" = "tests" ] || [ "$1" = "perf" ]; then
  packages="$packages googletest libgtest-dev lintian devscripts libbenchmark-dev xvfb x11-xkb-utils openbox wmctrl xdotool x11-utils imagemagick sox python3 python3-pil desktop-file-utils appstream groff-base clang libclang-rt-dev locales"
fi
if [ "$1" = "perf" ]; then
  packages="$packages python3-matplotlib"
fi
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" = 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
