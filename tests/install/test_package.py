# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds the two Debian packages as the README does (a Release build for /usr, in
BUILD_DIR/package, kept between runs so that a second run only rebuilds what changed),
then checks them as Debian would: lintian with no error and no warning, the hardening
of the packaged executable, the split between the two packages.

usage: test_package.py SOURCE_DIR BUILD_DIR [COMPILER_LAUNCHER]
"""
import glob
import os
import subprocess
import sys
import tempfile

source, build = sys.argv[1:3]
launcher = sys.argv[3] if len(sys.argv) > 3 else ""
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
    for path in ["usr/games/zudaduviz", "usr/share/zudaduviz/zudaduviz.dat",
                 "usr/share/doc/zudaduviz/copyright", "usr/share/doc/zudaduviz-data/copyright"]:
        check(os.path.exists(os.path.join(root, path)), "no " + path + " in the packages")
    # Debian 12's own start files carry no control-flow marks, so no executable built on it
    # has them (not even Debian's): that one check is left to newer releases.
    hardening = run(["hardening-check", "--nocfprotection", os.path.join(root, "usr/games/zudaduviz")])
    print(hardening.stdout, end="")
    check(hardening.returncode == 0, "hardening-check fails:\n" + hardening.stdout + hardening.stderr)

if faults:
    sys.exit("\n".join(faults))
print("both packages pass lintian and hardening-check")
