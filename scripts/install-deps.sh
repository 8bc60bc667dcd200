#!/bin/sh
# Installs the Debian packages the game (and, with "tests", its tests) needs,
# only those missing; through sudo when not run as root.
set -e
packages="build-essential cmake pkg-config liballegro4-dev freepats"
if [ "$1" = "tests" ]; then
  packages="$packages googletest libgtest-dev libbenchmark-dev xvfb x11-xkb-utils xdotool x11-utils imagemagick sox python3"
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
