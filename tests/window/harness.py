"""Shared by the real-window tests.

Each test gets its own Xvfb, runs the built game from a fresh working directory
holding a copy of the data file, drives it with real input (xdotool) and reads the
result back from real pixels (ImageMagick's import). Every capture is also kept as a
PNG under <build dir>/window-captures/<script>/ so that a person can look at it.

A script is run as: python3 test_x.py <game executable> <build dir>
"""

import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

SCREEN_W = 800
SCREEN_H = 600
# The game polls the keyboard and the mouse once per displayed frame (about 14 ms),
# so input has to stay down for a frame or more to be seen.
HOLD = 0.08
# The music option steps every fourth frame while a button is held: a press this
# short is seen by one or two frames and gives exactly one step.
SHORT_CLICK = 0.025

BLACK = (0, 0, 0)
HUD_BLUE = (128, 128, 255)
SELECTED_GREEN = (128, 255, 128)
PALE_YELLOW = (255, 255, 192)
GAUGE_GREY = (64, 64, 64)
GAUGE_LEAD = (255, 155, 192)
LABEL_BLUE = (194, 194, 255)
UNDERLINE_BLUE = (129, 129, 246)
VALUE_RED = (255, 64, 64)

EXE = None
BUILD_DIR = None
CAPTURE_DIR = None


# ---------------------------------------------------------------- colours

def near(actual, expected):
    """True when two colours agree within what the 16-bit screen loses: the game
    keeps 5 bits of red and blue and 6 of green, and X widens them again."""
    return (abs(actual[0] - expected[0]) <= 8 and abs(actual[1] - expected[1]) <= 4
            and abs(actual[2] - expected[2]) <= 8)


def is_mask(colour):
    """A colour that becomes the 16-bit mask colour, so the game never shows it."""
    return colour[0] >= 248 and colour[1] < 4 and colour[2] >= 248


# ---------------------------------------------------------------- pictures

class Picture:
    """An RGB picture whose pixels can be read by (x, y)."""

    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = bytes(rgb)
        if len(self.rgb) != width * height * 3:
            raise ValueError(f"{width}x{height} picture needs {width * height * 3} bytes, got {len(self.rgb)}")

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return (self.rgb[i], self.rgb[i + 1], self.rgb[i + 2])

    def inside(self, x, y):
        return 0 <= x < self.width and 0 <= y < self.height

    def points(self, box, predicate):
        """The (x, y) in box = (left, top, right, bottom), inclusive and clipped,
        whose colour satisfies predicate."""
        left, top, right, bottom = box
        found = []
        for y in range(max(0, top), min(self.height - 1, bottom) + 1):
            for x in range(max(0, left), min(self.width - 1, right) + 1):
                if predicate(self.pixel(x, y)):
                    found.append((x, y))
        return found

    def bounds(self, box, predicate):
        """Smallest (left, top, right, bottom) holding every matching pixel of box, or None."""
        found = self.points(box, predicate)
        if not found:
            return None
        xs = [p[0] for p in found]
        ys = [p[1] for p in found]
        return (min(xs), min(ys), max(xs), max(ys))

    def save_png(self, path):
        rows = b"".join(b"\x00" + self.rgb[y * self.width * 3:(y + 1) * self.width * 3]
                        for y in range(self.height))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body
                    + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n")
            out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)))
            out.write(chunk(b"IDAT", zlib.compress(rows, 1)))
            out.write(chunk(b"IEND", b""))


def read_pcx(path):
    """Reads an 8-bit (palette) or 24-bit (three planes) RLE PCX file."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 128 or data[0] != 10:
        raise ValueError(f"{path}: not a PCX file")
    bits = data[3]
    xmin, ymin, xmax, ymax = struct.unpack_from("<HHHH", data, 4)
    planes = data[65]
    per_line = struct.unpack_from("<H", data, 66)[0]
    width, height = xmax - xmin + 1, ymax - ymin + 1
    if bits != 8 or planes not in (1, 3):
        raise ValueError(f"{path}: {bits} bits in {planes} planes is not read here")
    needed = height * planes * per_line
    raw = bytearray()
    i = 128
    while len(raw) < needed:
        b = data[i]
        i += 1
        if b >= 0xC0:
            raw.extend(bytes([data[i]]) * (b & 0x3F))
            i += 1
        else:
            raw.append(b)
    rgb = bytearray(width * height * 3)
    if planes == 3:
        for y in range(height):
            line = y * 3 * per_line
            for c in range(3):
                plane = raw[line + c * per_line:line + c * per_line + width]
                rgb[(y * width) * 3 + c:((y + 1) * width) * 3:3] = plane
    else:
        if len(data) < 769 or data[-769] != 12:
            raise ValueError(f"{path}: palette missing")
        palette = data[-768:]
        for y in range(height):
            for x in range(width):
                p = raw[y * per_line + x] * 3
                rgb[(y * width + x) * 3:(y * width + x) * 3 + 3] = palette[p:p + 3]
    return Picture(width, height, rgb)


_references = {}


def reference(index):
    """The source picture of data file object `index`, as the build made it."""
    if index not in _references:
        path = os.path.join(BUILD_DIR, "data_src", f"{index:02d}.pcx")
        if not os.path.exists(path):
            raise AssertionError(f"missing {path}: build the data_file target first")
        _references[index] = read_pcx(path)
    return _references[index]


def match_ratio(shot, ref, left, top, step=1):
    """Share of the opaque pixels of ref that shot shows at (left, top), among
    those that fall on the shot. 0.0 when none does."""
    total = agree = 0
    for y in range(0, ref.height, step):
        sy = top + y
        if not 0 <= sy < shot.height:
            continue
        for x in range(0, ref.width, step):
            sx = left + x
            if not 0 <= sx < shot.width:
                continue
            colour = ref.pixel(x, y)
            if is_mask(colour):
                continue
            total += 1
            if near(shot.pixel(sx, sy), colour):
                agree += 1
    return agree / total if total else 0.0


def centred_left(index, centre_x=SCREEN_W // 2):
    return centre_x - reference(index).width // 2


# ---------------------------------------------------------------- text

class Font:
    """Allegro's built-in 8x8 font, rendered by the text_mask helper so that text
    on a capture can be read back cell by cell."""

    CELL = 8

    def __init__(self):
        helper = os.path.join(BUILD_DIR, "tests", "window_text_mask")
        if not os.path.exists(helper):
            raise AssertionError(f"missing {helper}: build the window_text_mask target first")
        chars = [chr(c) for c in range(33, 127)]
        out = subprocess.run([helper] + chars, capture_output=True, text=True, timeout=30, check=True).stdout
        lines = out.splitlines()
        self.glyphs = {}
        i = 0
        for ch in chars:
            w, h = map(int, lines[i].split())
            rows = lines[i + 1:i + 1 + h]
            i += 1 + h
            if w != self.CELL or h != self.CELL:
                raise AssertionError(f"glyph {ch!r} is {w}x{h}, expected an 8x8 font")
            self.glyphs[frozenset((x, y) for y, row in enumerate(rows) for x, c in enumerate(row) if c == "#")] = ch

    def read(self, shot, x, y, colour, cells):
        """The text drawn in colour from (x, y) over `cells` character cells;
        '?' for a cell whose lit pixels form no glyph. Trailing blanks removed."""
        text = []
        for k in range(cells):
            lit = frozenset((dx, dy) for dy in range(self.CELL) for dx in range(self.CELL)
                            if shot.inside(x + k * self.CELL + dx, y + dy)
                            and near(shot.pixel(x + k * self.CELL + dx, y + dy), colour))
            text.append(" " if not lit else self.glyphs.get(lit, "?"))
        return "".join(text).rstrip()


_font = None


def font():
    global _font
    if _font is None:
        _font = Font()
    return _font


def read_text(shot, x, y, colour, cells=24):
    return font().read(shot, x, y, colour, cells)


# ---------------------------------------------------------------- processes

def _children_of(pid):
    """Every live process descended from pid."""
    parents = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                stat = f.read()
        except OSError:
            continue
        # The command name is in parentheses and may hold spaces.
        fields = stat[stat.rfind(")") + 2:].split()
        parents.setdefault(int(fields[1]), []).append(int(entry))
    found, todo = [], [pid]
    while todo:
        for child in parents.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def _cmdline(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return [a.decode("latin-1") for a in f.read().split(b"\0")[:-1]]
    except OSError:
        return []


def sanitizer_report(text):
    for marker in ("AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "runtime error:"):
        if marker in text:
            return marker
    return None


def _refused(error):
    return "open display" in error or "unable to open X server" in error


# What the game says when it could not open its window.
GRAPHICS_FAILED = "Le mode graphique ne peut etre mis en place"


class ConnectionRace(Exception):
    """The game lost its connection to the X server while starting (see XServer.run)."""


class XServer:
    """A private Xvfb on a display number it picks itself."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n"):
            if time.monotonic() > deadline:
                self.stop()
                raise AssertionError("Xvfb did not report its display in time")
            chunk = os.read(read_end, 16)
            if not chunk:
                self.stop()
                raise AssertionError("Xvfb exited before reporting its display")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display)

    def run(self, args, timeout=10, binary=False):
        for attempt in range(5):
            done = subprocess.run(args, env=self.env, capture_output=True, timeout=timeout)
            error = done.stderr.decode(errors="replace").strip()
            # This Xvfb now and then hangs up on a client that connects while
            # another one does; nothing was done then, so trying again is safe.
            if done.returncode == 0 or not _refused(error):
                break
            time.sleep(0.05)
        if done.returncode != 0:
            raise AssertionError(f"{' '.join(args)} failed: {error}")
        return done.stdout if binary else done.stdout.decode(errors="replace")

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


class GameRun:
    """The game running under an XServer from a temporary working directory."""

    def __init__(self, test, server, with_data=True):
        self.test = test
        self.server = server
        self.workdir = tempfile.mkdtemp(prefix="zudaduviz-window-")
        if with_data:
            shutil.copy(os.path.join(BUILD_DIR, "zudaduviz.dat"), self.workdir)
        self.stdout_path = os.path.join(self.workdir, "stdout.txt")
        self.stderr_path = os.path.join(self.workdir, "stderr.txt")
        env = dict(server.env)
        # As under CTest: Allegro keeps some memory until the process ends.
        env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.proc = subprocess.Popen([EXE], cwd=self.workdir, env=env,
                                         stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        self.window = None
        self.origin = (0, 0)
        self.stopped = False

    # -- life

    def output(self):
        texts = []
        for path in (self.stdout_path, self.stderr_path):
            with open(path, "rb") as f:
                texts.append(f.read().decode("latin-1"))
        return "\n".join(texts)

    def alive(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the game was still running {timeout} s later") from None

    def stop(self):
        """Ends the game and whatever it started (a message box), then checks its
        output for sanitizer reports."""
        if self.stopped:
            return
        self.stopped = True
        if self.alive():
            for pid in _children_of(self.proc.pid):
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            self.proc.kill()
        self.proc.wait()
        text = self.output()
        report = sanitizer_report(text)
        shutil.rmtree(self.workdir, ignore_errors=True)
        if report:
            raise AssertionError(f"sanitizer report ({report}) in the game's output:\n{text[-3000:]}")

    def message_box(self, timeout=10):
        """Waits for the message box the game opens; returns (pid, its arguments)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for pid in _children_of(self.proc.pid):
                args = _cmdline(pid)
                if args and os.path.basename(args[0]) == "xmessage":
                    return pid, args
            if not self.alive():
                raise AssertionError(f"the game exited with {self.proc.returncode} without a message box:\n"
                                     + self.output()[-2000:])
            time.sleep(0.05)
        raise AssertionError("no message box appeared")

    # -- window

    def find_window(self, timeout=15):
        """Waits for the game's viewable 800x600 window."""
        deadline = time.monotonic() + timeout
        while True:
            if not self.alive():
                if self.proc.returncode == 1 and GRAPHICS_FAILED in self.output():
                    raise ConnectionRace()
                raise AssertionError(f"the game exited with {self.proc.returncode} before showing its window:\n"
                                     + self.output()[-2000:])
            tree = self.server.run(["xwininfo", "-root", "-tree"])
            for wid in re.findall(r"^\s*(0x[0-9a-f]+) .*?\s800x600[+-]\d+[+-]\d+\s", tree, re.M):
                info = self.server.run(["xwininfo", "-id", wid])
                if "IsViewable" in info:
                    left = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", info).group(1))
                    top = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", info).group(1))
                    self.window, self.origin = wid, (left, top)
                    return wid
            if time.monotonic() > deadline:
                raise AssertionError("the game showed no viewable 800x600 window:\n" + tree)
            time.sleep(0.05)

    def capture(self, label):
        """The window's pixels now; also kept as a PNG."""
        if self.window is None:
            self.find_window()
        raw = self.server.run(["import", "-window", self.window, "-depth", "8", "rgb:-"],
                              timeout=20, binary=True)
        shot = Picture(SCREEN_W, SCREEN_H, raw)
        self.test.keep(shot, label)
        return shot

    def wait_screen(self, what, predicate, timeout=10):
        """Captures until predicate(capture) is true; returns that capture."""
        deadline = time.monotonic() + timeout
        while True:
            if not self.alive():
                raise AssertionError(f"the game exited with {self.proc.returncode} while waiting for {what}")
            shot = self.capture(what)
            if predicate(shot):
                return shot
            if time.monotonic() > deadline:
                raise AssertionError(f"no {what} within {timeout} s (last capture: {self.test.last_kept})")
            time.sleep(0.05)

    # -- input

    def xdotool(self, *args):
        self.server.run(["xdotool"] + [str(a) for a in args])

    def key(self, name, hold=HOLD):
        self.xdotool("keydown", name, "sleep", hold, "keyup", name)

    def key_down(self, name):
        self.xdotool("keydown", name)

    def key_up(self, name):
        self.xdotool("keyup", name)

    def move_mouse(self, x, y):
        """Puts the X pointer on (x, y) of the game window."""
        self.xdotool("mousemove", self.origin[0] + x, self.origin[1] + y)

    def point(self, x, y, seen, what, timeout=4):
        """Moves the pointer to (x, y) of the window and waits until seen(capture)
        shows it there. The move is sent again each second: a move that reaches
        the server while the game is busy starting a screen can go unseen."""
        deadline = time.monotonic() + timeout
        while True:
            self.move_mouse(x, y)
            try:
                return self.wait_screen(what, seen, timeout=min(1.0, max(0.0, deadline - time.monotonic())))
            except AssertionError:
                if time.monotonic() >= deadline:
                    raise

    def click(self, button=1, hold=HOLD):
        self.xdotool("mousedown", button, "sleep", hold, "mouseup", button)


# ---------------------------------------------------------------- screens

def title_shown(shot):
    """The title menu: its picture at the top and the play button below."""
    title_left = centred_left(73)
    button_left = centred_left(4)
    return (match_ratio(shot, reference(73), title_left, 100, step=3) > 0.9
            and max(match_ratio(shot, reference(i), button_left, 500, step=2) for i in (4, 5, 6)) > 0.9)


def play_shown(shot):
    """A game: the head-up display's weapons label."""
    return read_text(shot, 10, 10, HUD_BLUE, 6) == "ARMES"


def gauge_outline_shown(shot):
    """A play frame: the armour gauge's outline, which nothing on the field can cover."""
    return (all(near(shot.pixel(x, y), GAUGE_GREY) for x in range(150, 253) for y in (20, 32))
            and all(near(shot.pixel(x, y), GAUGE_GREY) for x in (150, 252) for y in range(21, 32)))


def centred_picture_shown(index):
    ref = reference(index)
    left = SCREEN_W // 2 - ref.width // 2
    top = SCREEN_H // 2 - ref.height // 2
    return lambda shot: match_ratio(shot, ref, left, top, step=2) > 0.9


# ---------------------------------------------------------------- tests

class WindowTest(unittest.TestCase):
    """Gives each test a private X server and keeps its captures."""

    def setUp(self):
        self.kept = 0
        self.last_kept = None
        self.last_shot = None
        self.server = XServer()
        self.addCleanup(self.server.stop)

    def start_game(self, with_data=True):
        """Starts the game; with the data file, waits for its window too."""
        for attempt in range(3):
            run = GameRun(self, self.server, with_data)
            self.addCleanup(run.stop)
            if not with_data:
                return run
            try:
                run.find_window()
            except ConnectionRace:
                # Our own polling raced the game's connection to the server;
                # a real failure to set the mode would happen every time.
                print(f"\n  the game could not open its window (attempt {attempt + 1}); starting it again",
                      file=sys.stderr)
                output = run.output()
                run.stop()
                continue
            return run
        raise AssertionError(f"the game could not set its graphics mode three times:\n{output[-2000:]}")

    def start_at_title(self):
        run = self.start_game()
        run.wait_screen("title menu", title_shown)
        return run

    def start_playing(self):
        run = self.start_at_title()
        run.key("Return")
        run.wait_screen("game", play_shown)
        return run

    def keep(self, shot, label):
        self.kept += 1
        name = re.sub(r"[^A-Za-z0-9_.-]+", "-", f"{self.id().split('.', 1)[-1]}-{self.kept:02d}-{label}")
        path = os.path.join(CAPTURE_DIR, name + ".png")
        shot.save_png(path)
        self.last_kept = path
        self.last_shot = shot

    def assertText(self, shot, x, y, colour, expected):
        actual = read_text(shot, x, y, colour, len(expected) + 2)
        self.assertEqual(actual, expected, f"text at ({x}, {y}) in {colour} (capture {self.last_kept})")


def main():
    """Runs the unittest cases of the calling script against the game given on the command line."""
    global EXE, BUILD_DIR, CAPTURE_DIR
    if len(sys.argv) < 3:
        sys.exit(f"usage: {sys.argv[0]} <zudaduviz executable> <build dir> [unittest arguments]")
    EXE = os.path.abspath(sys.argv[1])
    BUILD_DIR = os.path.abspath(sys.argv[2])
    script = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    CAPTURE_DIR = os.path.join(BUILD_DIR, "window-captures", script)
    shutil.rmtree(CAPTURE_DIR, ignore_errors=True)
    os.makedirs(CAPTURE_DIR)
    print(f"captures: {CAPTURE_DIR}", flush=True)
    result = unittest.main(argv=[sys.argv[0]] + sys.argv[3:], exit=False, verbosity=2).result
    print(f"captures: {CAPTURE_DIR}", flush=True)
    sys.exit(0 if result.wasSuccessful() else 1)
