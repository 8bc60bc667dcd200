#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Puts the licence's SPDX line on top of every source file git tracks (C++, Python, shell,
CMake), as a comment, after the shebang line where there is one; a file that has it already
is left alone, so this can run again after new files come in. With --check it changes
nothing, lists the files that lack the line and exits with status 1 if there are any.

usage: spdx-lines.py [--check] [SOURCE_DIR]
"""
import os
import subprocess
import sys

LINE = "SPDX-License-Identifier: GPL-3.0-or-later"
args = [a for a in sys.argv[1:] if a != "--check"]
check_only = "--check" in sys.argv[1:]
source = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def comment_for(name, first_line):
    """The comment start of the file's language, or None for a file that is no source."""
    if name.endswith((".cpp", ".h")):
        return "//"
    if name.endswith((".py", ".sh", ".cmake")) or os.path.basename(name) == "CMakeLists.txt" \
            or first_line.startswith("#!"):
        return "#"
    return None


tracked = subprocess.run(["git", "-C", source, "ls-files", "-z"], capture_output=True, text=True,
                         check=True).stdout.split("\0")
missing = []
for name in filter(None, tracked):
    path = os.path.join(source, name)
    if os.path.islink(path) or not os.path.isfile(path):
        continue
    with open(path, "rb") as f:
        text = f.read()
    lines = text.split(b"\n")
    comment = comment_for(name, lines[0].decode("utf-8", "replace"))
    if comment is None:
        continue
    at = 1 if lines[0].startswith(b"#!") else 0
    if at < len(lines) and LINE.encode() in lines[at]:
        continue
    missing.append(name)
    if not check_only:
        lines.insert(at, ("%s %s" % (comment, LINE)).encode())
        with open(path, "wb") as f:
            f.write(b"\n".join(lines))

for name in missing:
    print(("no SPDX line: " if check_only else "SPDX line added: ") + name)
sys.exit(1 if check_only and missing else 0)
