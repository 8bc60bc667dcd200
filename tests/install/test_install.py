# SPDX-License-Identifier: GPL-3.0-or-later
"""Installs the build into a temporary DESTDIR, as a packager would, and checks that
every file lands in its place and holds what it should.

usage: test_install.py BUILD_DIR BINDIR DATADIR MANDIR APPSTREAM_ID ICON_SIZE...
(the three directories absolute, as the build configured them)
"""
import filecmp
import os
import re
import subprocess
import sys
import tempfile

build, bindir, datadir, mandir, appstream_id = sys.argv[1:6]
icon_sizes = [int(s) for s in sys.argv[6:]]
faults = []


def check(ok, message):
    if not ok:
        faults.append(message)
    return ok


def size_and_opacity(path):
    out = subprocess.run(["convert", path, "-alpha", "extract", "-format", "%w %h %[fx:mean]", "info:"],
                         capture_output=True, text=True)
    w, h, mean = out.stdout.split() if out.returncode == 0 else (0, 0, 0)
    return (int(w), int(h)), float(mean)


with tempfile.TemporaryDirectory() as destdir:
    installed = lambda path: destdir + path  # noqa: E731
    run = subprocess.run(["cmake", "--install", build], env=dict(os.environ, DESTDIR=destdir),
                         capture_output=True, text=True)
    if not check(run.returncode == 0, "cmake --install failed:\n" + run.stderr):
        sys.exit("\n".join(faults))

    game = installed(bindir + "/zudaduviz")
    check(os.access(game, os.X_OK), "no executable " + game)
    for name in ["zudaduviz.dat", "patches.dat"]:
        built, copy = os.path.join(build, name), installed(datadir + "/zudaduviz/" + name)
        if name == "zudaduviz.dat" or os.path.exists(built):  # no patch set without freepats
            check(os.path.exists(copy) and filecmp.cmp(built, copy, shallow=False), "missing or different: " + copy)

    # The menu entry starts the installed executable and shows the installed icon.
    entry = installed(datadir + "/applications/zudaduviz.desktop")
    keys = {}
    if check(os.path.exists(entry), "no desktop entry " + entry):
        keys = dict(line.strip().split("=", 1) for line in open(entry, encoding="utf-8") if "=" in line)
        check(os.path.exists(installed(bindir + "/" + keys.get("Exec", "").split(" ")[0])),
              "Exec= names no installed program")
    for size in icon_sizes:
        icon = installed("%s/icons/hicolor/%dx%d/apps/%s.png" % (datadir, size, size, keys.get("Icon")))
        if check(os.path.exists(icon), "no icon " + icon):
            shape, opacity = size_and_opacity(icon)
            check(shape == (size, size) and opacity > 0.2, "%s is %s, opaque %.2f: not a %d-pixel ship" % (icon, shape, opacity, size))

    # The metainfo, under its id, names the desktop entry that is really installed.
    metainfo = installed(datadir + "/metainfo/" + appstream_id + ".metainfo.xml")
    if check(os.path.exists(metainfo), "no metainfo " + metainfo):
        tree = subprocess.run(["appstreamcli", "validate-tree", "--no-net", os.path.dirname(installed(datadir))],
                              capture_output=True, text=True)
        check(tree.returncode == 0, "appstreamcli validate-tree:\n" + tree.stdout + tree.stderr)

    # The manual pages, English and French, gzipped, render without a warning and document
    # every option and the exit status of a wrong command line.
    for page, exit_status in [(installed(mandir + "/man6/zudaduviz.6.gz"), "EXIT STATUS"),
                              (installed(mandir + "/fr/man6/zudaduviz.6.gz"), "STATUT DE SORTIE")]:
        if not check(os.path.exists(page), "no man page " + page):
            continue
        roff = subprocess.run(["gzip", "-dc", page], capture_output=True, text=True).stdout
        man = subprocess.run(["groff", "-man", "-Tutf8", "-ww"], input=roff, capture_output=True, text=True)
        check(man.returncode == 0 and man.stderr == "", "groff warns on %s:\n%s" % (page, man.stderr))
        text = re.sub(".\b", "", man.stdout).replace("\u2010", "-").replace("\u2212", "-")  # no bold, plain dashes
        for option in ["--fenetre", "--plein-ecran", "--echelle", "--donnees", "--rejouer", "--verifier", "--help", "--version"]:
            check(option in text, "%s does not mention %s" % (page, option))
        check(exit_status in text and re.search(r"\b2\b", text.split(exit_status)[-1]), page + " does not document exit status 2")

if faults:
    sys.exit("\n".join(faults))
print("installed files all in place")
