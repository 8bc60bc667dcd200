# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds the two Debian packages as the README does (a Release build for /usr, in
BUILD_DIR/package, kept between runs so that a second run only rebuilds what changed),
then checks them as Debian would: lintian with no error and no warning, the hardening
of the packaged executable, the split between the two packages; and every file they
install in its place, holding what it should.

usage: test_package.py SOURCE_DIR BUILD_DIR COMPILER_LAUNCHER APPSTREAM_ID ICON_SIZE...
"""
import filecmp, glob, os, re, subprocess, sys, tempfile

source, build, launcher, appstream_id = sys.argv[1:5]
icon_sizes = [int(s) for s in sys.argv[5:]]
package_build = os.path.join(build, "package")
faults = []


def check(ok, message):
    if not ok:
        faults.append(message)
    return ok


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


configure = ["cmake", "-S", source, "-B", package_build, "-DCMAKE_BUILD_TYPE=Release", "-DZUDADUVIZ_TESTS=OFF",
             "-DCMAKE_INSTALL_PREFIX=/usr", "-DCMAKE_CXX_COMPILER_LAUNCHER=" + launcher]
for step in [configure, ["cmake", "--build", package_build, "-j2"]]:
    done = run(step)
    if not check(done.returncode == 0, " ".join(step) + " failed:\n" + done.stdout[-3000:] + done.stderr):
        sys.exit("\n".join(faults))
for old in glob.glob(os.path.join(package_build, "*.deb")):
    os.remove(old)
done = run(["cpack", "-G", "DEB"], cwd=package_build)
debs = {os.path.basename(d).split("_")[0]: d for d in glob.glob(os.path.join(package_build, "*.deb"))}
if not check(done.returncode == 0 and set(debs) == {"zudaduviz", "zudaduviz-data"},
             "cpack gave %s:\n%s%s" % (sorted(debs), done.stdout, done.stderr)):
    sys.exit("\n".join(faults))

# Debian's checker, with the package's own overrides (each says why); info tags do not fail.
lint = run(["lintian", "--fail-on", "error,warning", "--display-info"] + sorted(debs.values()))
print(lint.stdout, end="")
check(lint.returncode == 0, "lintian finds errors or warnings:\n" + lint.stdout + lint.stderr)


def field(package, name):
    return run(["dpkg-deb", "-f", debs[package], name]).stdout.strip()


version = field("zudaduviz", "Version")
for package, name, expected in [
        ("zudaduviz-data", "Architecture", "all"),
        ("zudaduviz", "Architecture", run(["dpkg", "--print-architecture"]).stdout.strip()),
        ("zudaduviz-data", "Version", version)]:
    check(field(package, name) == expected, "%s: %s is %r, not %r" % (package, name, field(package, name), expected))
check(("zudaduviz-data (= %s)" % version) in field("zudaduviz", "Depends").split(", "),
      "zudaduviz does not depend on zudaduviz-data at its own version")

with tempfile.TemporaryDirectory() as root:
    for deb in debs.values():
        run(["dpkg-deb", "-x", deb, root])
    share = os.path.join(root, "usr/share")
    mo = "locale/en/LC_MESSAGES/zudaduviz.mo"  # the English catalogue, in the data package
    check(mo in run(["dpkg-deb", "-c", debs["zudaduviz-data"]]).stdout, "zudaduviz-data holds no " + mo)
    for name, place in [("zudaduviz.dat", "zudaduviz"), ("patches.dat", "zudaduviz"), (mo, "")]:
        built, copy = os.path.join(package_build, name), os.path.join(share, place, os.path.basename(name) if place else name)
        if name != "patches.dat" or os.path.exists(built):  # no patch set without freepats
            check(os.path.exists(copy) and filecmp.cmp(built, copy, shallow=False), "missing or different: " + copy)

    # The menu entry starts the packaged executable and shows the packaged icon, at every size.
    entry = os.path.join(share, "applications/zudaduviz.desktop")
    keys = dict(line.strip().split("=", 1) for line in open(entry, encoding="utf-8") if "=" in line)
    game = os.path.join(root, "usr/games", keys["Exec"].split(" ")[0])
    check(os.access(game, os.X_OK), "Exec= names no packaged program in /usr/games")
    for size in icon_sizes:
        icon = os.path.join(share, "icons/hicolor/%dx%d/apps/%s.png" % (size, size, keys["Icon"]))
        shape = run(["convert", icon, "-alpha", "extract", "-format", "%w %h %[fx:mean]", "info:"]).stdout.split()
        check(shape[:2] == [str(size)] * 2 and float(shape[2]) > 0.2, "%s is %s: not a %d-pixel ship" % (icon, shape, size))
    # The metainfo, under its id, names the desktop entry that is really there.
    check(os.path.exists(os.path.join(share, "metainfo", appstream_id + ".metainfo.xml")), "no metainfo")
    tree = run(["appstreamcli", "validate-tree", "--no-net", root + "/usr"])
    check(tree.returncode == 0, "appstreamcli validate-tree:\n" + tree.stdout + tree.stderr)

    # The manual pages, English and French, render without a warning and document every
    # option and the exit status of a wrong command line.
    for page, exit_status in [("man/man6/zudaduviz.6.gz", "EXIT STATUS"), ("man/fr/man6/zudaduviz.6.gz", "STATUT DE SORTIE")]:
        roff = run(["gzip", "-dc", os.path.join(share, page)]).stdout
        man = run(["groff", "-man", "-Tutf8", "-ww"], input=roff)
        check(man.returncode == 0 and man.stderr == "" and roff, "groff on %s:\n%s" % (page, man.stderr))
        text = re.sub(".\b", "", man.stdout).replace("\u2010", "-").replace("\u2212", "-")  # no bold, plain dashes
        for option in ["--fenetre", "--plein-ecran", "--echelle", "--donnees", "--rejouer", "--verifier", "--scores", "--help", "--version"]:
            check(option in text, "%s does not mention %s" % (page, option))
        check(exit_status in text and re.search(r"\b2\b", text.split(exit_status)[-1]), page + " does not document exit status 2")

    # Debian 12's own start files carry no control-flow marks, so no executable built on it
    # has them (not even Debian's): that one check is left to newer releases.
    hardening = run(["hardening-check", "--nocfprotection", game])
    print(hardening.stdout, end="")
    check(hardening.returncode == 0, "hardening-check fails:\n" + hardening.stdout + hardening.stderr)

if faults:
    sys.exit("\n".join(faults))
print("both packages pass lintian and hardening-check, every file in its place")
