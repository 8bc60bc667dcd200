# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the real-window tests: each test gets a private Xvfb, runs the built game from a
# fresh working directory holding a copy of the data file, drives it with real input
# (xdotool) and reads real pixels back (PIL). Every capture is kept as a PNG under
# <build dir>/window-captures/<script>/. Run as: python3 test_x.py <game> <build dir>
import array, contextlib, functools, io, math, os, pathlib, re, shutil, signal, subprocess, sys, tempfile, time, unittest
try:
    from PIL import Image
except ImportError:  # a python3 of its own comes first on PATH: Debian's has python3-pil
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
    raise

# Input is read once per frame (about 14 ms): it has to stay down for a frame or more.
HOLD = 0.08
# The options step every fourth frame while a button is held: this gives one step.
SHORT_CLICK = 0.025
HUD_BLUE, SELECTED_GREEN, PALE_YELLOW = (128, 128, 255), (128, 255, 128), (255, 255, 192)
LABEL_BLUE, UNDERLINE_BLUE, VALUE_RED = (194, 194, 255), (129, 129, 246), (255, 64, 64)
GRAPHICS_FAILED = "Le mode graphique ne peut etre mis en place"
# Leak reports on, with the logic tests' suppressions: a run that ends as the player ends it
# must have freed what it took. Stacks unwound fully, through Allegro (built without frame
# pointers), down to the game's call that the suppressions of Allegro's sound drivers name.
LEAK_CHECK = {"LSAN_OPTIONS": "detect_leaks=1:fast_unwind_on_malloc=0:suppressions="
              + os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lsan.supp")}
SANITIZER_REPORT = re.compile("AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|runtime error:")
DIALOG_LEFT, DIALOG_TOP = 250, 225  # the quit dialog's 301x151 picture, centred
MUSIC_Y, EFFECTS_Y = 350, 370  # the title's option lines
PLAYING_DB, SILENCE_DB = -35.0, -60.0  # the tunes play around -15 dBFS; an idle mixer writes zeros
LOW_HZ = 200  # the music's bass and drums; the effects' energy lies mostly above
EXE = BUILD_DIR = CAPTURE_DIR = None


def near(a, b):  # equal within what the 16-bit screen loses: 5 bits of red and blue, 6 of green
    return abs(a[0] - b[0]) <= 8 and abs(a[1] - b[1]) <= 4 and abs(a[2] - b[2]) <= 8


def poll(what, probe, timeout):
    deadline = time.monotonic() + timeout
    while not (found := probe()):
        if time.monotonic() > deadline:
            raise AssertionError(f"no {what} within {timeout} s")
        time.sleep(0.05)
    return found


@functools.lru_cache(None)
def reference(index):  # data file object `index`, from the picture the build made it from
    return Image.open(os.path.join(BUILD_DIR, "data_src", f"{index:02d}.pcx")).convert("RGB")


def centred_left(index):
    return 400 - reference(index).width // 2


# The share of ref's opaque pixels (the mask is magenta) that shot shows at (left, top).
def match_ratio(shot, ref, left, top, step=1):
    r, s = ref.load(), shot.load()
    pairs = [(r[x, y], s[left + x, top + y]) for y in range(0, ref.height, step) for x in range(0, ref.width, step)
             if 0 <= left + x < shot.width and 0 <= top + y < shot.height]
    opaque = [(a, b) for a, b in pairs if not (a[0] >= 248 and a[1] < 4 and a[2] >= 248)]
    return sum(near(a, b) for a, b in opaque) / len(opaque) if opaque else 0.0


@functools.lru_cache(None)
def glyphs():  # Allegro's 8x8 font, as the text_mask helper draws it: lit pixels -> character
    rows = subprocess.run([os.path.join(BUILD_DIR, "tests", "window_text_mask")], capture_output=True,
                          text=True, check=True).stdout.split()
    return {frozenset((x, y) for y in range(8) for x in range(8) if rows[8 * c + y][x] == "#"): chr(33 + c)
            for c in range(94)}


def read_text(shot, x, y, colour, cells=24):  # the text drawn in colour from (x, y); '?' for no glyph
    s, text = shot.load(), ""
    for left in range(x, min(x + 8 * cells, shot.width - 7), 8):
        lit = frozenset((dx, dy) for dy in range(8) for dx in range(8) if near(s[left + dx, y + dy], colour))
        text += glyphs().get(lit, "?") if lit else " "
    return text.rstrip()


def centred_text(shot, y, colour, text):  # text drawn centred on the picture's line y
    return read_text(shot, 400 - 4 * len(text), y, colour, len(text)) == text


# The play button, the quit dialog and the game-over picture are drawn in French and in English.
PLAY_BUTTONS, DIALOGS, GAME_OVERS = (4, 5, 6, 98, 99, 100), (72, 101), (65, 102)


def title_shown(shot):
    return (match_ratio(shot, reference(73), centred_left(73), 100, step=3) > 0.9
            and max(match_ratio(shot, reference(i), centred_left(4), 500, step=2) for i in PLAY_BUTTONS) > 0.9)


def play_shown(shot):
    return read_text(shot, 10, 10, HUD_BLUE, 8) in ("ARMES", "WEAPONS")


def dialog_shown(shot):
    return max(match_ratio(shot, reference(i), DIALOG_LEFT, DIALOG_TOP, step=2) for i in DIALOGS) > 0.9


def pause_shown(shot):  # the keys line under the word
    return read_text(shot, 264, 322, (150, 150, 190), 13) == "P : reprendre" and not dialog_shown(shot)


def playing(shot):
    return play_shown(shot) and not pause_shown(shot) and not dialog_shown(shot)


def game_over_shown(shot):
    return max(match_ratio(shot, reference(i), centred_left(i), 300 - reference(i).height // 2, step=3)
               for i in GAME_OVERS) > 0.9


def around_dialog(shot):  # the frame's bytes with the dialog's place blacked out
    shot = shot.copy()
    shot.paste((0, 0, 0), (DIALOG_LEFT, DIALOG_TOP, DIALOG_LEFT + 301, DIALOG_TOP + 151))
    return shot.tobytes()


def ship_at(shot, left):  # any frame of the ship, its left edge at `left`, its bottom row at y=599
    return any(match_ratio(shot, reference(i), left, 600 - reference(i).height) > 0.9 for i in (67, 68, 69))


def pointer_at(x, y):
    return lambda shot: match_ratio(shot, reference(71), x, y) > 0.9


# Clicks the title option on line y at column x until it shows value. A short press can be
# missed or stretched past four frames on a busy machine: either leaves the value, so again.
def switch_option(y, test, run, x, value):
    for attempt in range(4):
        run.point(x, y + 3, pointer_at(x, y + 3), f"pointer at ({x}, {y + 3})")
        run.click(hold=SHORT_CLICK)
        run.move_mouse(x, 390)  # off the texts, hiding none of them
        time.sleep(0.25)
        if read_text(run.capture("option"), 200, y, VALUE_RED, 14) == value:
            return
    test.fail(f"short clicks at ({x}, {y}) never gave {value!r} ({test.last_kept})")


switch_music, switch_effects = functools.partial(switch_option, MUSIC_Y), functools.partial(switch_option, EFFECTS_Y)


class XServer:  # with a window manager on request, as on a player's desktop
    def __init__(self, screen="1024x768x24", window_manager=False, extra_args=()):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp",
                                      *extra_args], pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            self.env = dict(os.environ, DISPLAY=":" + f.readline().strip())  # once it is ready
        self.size = tuple(map(int, screen.split("x")[:2]))
        self.window_manager = None

        # Ready once it lists the clients (none yet): "wmctrl -m" answers before that. Started
        # again if the server dropped it, as it now and then drops a client (see run).
        def window_manager_ready():
            if not self.window_manager or self.window_manager.poll() is not None:
                self.window_manager = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdin=subprocess.DEVNULL,
                                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            return subprocess.run(["wmctrl", "-l"], env=self.env, capture_output=True).returncode == 0
        if window_manager:
            poll("window manager", window_manager_ready, 10)

    def run(self, args, timeout=20):
        for attempt in range(5):
            done = subprocess.run(args, env=self.env, capture_output=True, timeout=timeout)
            # This Xvfb now and then hangs up on a client that connects while another one
            # does; nothing was done then, so trying again is safe.
            if done.returncode == 0 or not re.search(b"open display|unable to open X server", done.stderr):
                break
            time.sleep(0.05)
        if done.returncode:
            raise AssertionError(f"{' '.join(args)} failed: {done.stderr.decode(errors='replace')}")
        return done.stdout

    def stop(self):
        for proc in filter(None, (self.window_manager, self.proc)):
            proc.terminate()  # not kill: Xvfb then removes its lock file and socket
            proc.wait()

    def managed_windows(self):  # [(id, title, width, height)] as the window manager lists them
        lines = self.run(["wmctrl", "-lG"]).decode(errors="replace").splitlines()
        return [(int(f[0], 16), f[7] if len(f) > 7 else "", int(f[4]), int(f[5])) for f in map(str.split, lines)]


class GameRun:  # in its own process group, so that stop() ends a message box with it
    def __init__(self, test, with_data=True, args=(), exe=None, record=None):
        self.test, self.server, self.window, self.origin, self.inset, self.scale = test, test.server, None, (0, 0), (0, 0), 1
        self.workdir = tempfile.mkdtemp(prefix="zudaduviz-window-")
        if with_data:
            shutil.copy(os.path.join(BUILD_DIR, "zudaduviz.dat"), self.workdir)
        self.log = os.path.join(self.workdir, "output.txt")
        if record is not None:  # this run's data folder: no record unless given (or a function fills it)
            folder = pathlib.Path(self.workdir, "data", "zudaduviz")
            folder.mkdir(parents=True)
            record(folder) if callable(record) else (folder / "record").write_text(record)
        env = dict(self.server.env, **LEAK_CHECK, XDG_DATA_HOME=os.path.join(self.workdir, "data"))
        with open(self.log, "wb") as log:
            self.proc = subprocess.Popen([exe or EXE, *args], cwd=self.workdir, env=env, stdin=subprocess.DEVNULL,
                                         stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        test.addCleanup(self.stop)

    def output(self):
        return pathlib.Path(self.log).read_bytes().decode("latin-1")

    def wait_exit(self, timeout=10):
        return self.proc.wait(timeout)

    def stop(self):
        if not os.path.exists(self.workdir):
            return
        with contextlib.suppress(ProcessLookupError):
            os.killpg(self.proc.pid, signal.SIGKILL)
        self.proc.wait()
        text = self.output()
        shutil.rmtree(self.workdir)
        if SANITIZER_REPORT.search(text):
            raise AssertionError(f"sanitizer report in the game's output:\n{text[-3000:]}")

    # Waits for the viewable window that shows the 800x600 picture: at its size or twice or
    # three times it, or the whole desktop's in full screen (the largest whole scale, centred);
    # False if the game ends. Captures and pointer moves then go through that place and scale.
    def find_window(self):
        desktop_scale = max(1, min(self.server.size[0] // 800, self.server.size[1] // 600))
        scales = {**{(800 * s, 600 * s): s for s in (1, 2, 3)}, self.server.size: desktop_scale}

        def probe():
            if self.proc.poll() is not None:
                return "gone"
            tree = self.server.run(["xwininfo", "-root", "-tree"]).decode()
            for wid, w, h in re.findall(r"^\s*(0x[0-9a-f]+) .*?\s(\d+)x(\d+)[+-]\d+[+-]\d+\s", tree, re.M):
                scale = scales.get((int(w), int(h)))
                info = self.server.run(["xwininfo", "-id", wid]).decode() if scale else ""
                if "IsViewable" in info:
                    inset = ((int(w) - 800 * scale) // 2, (int(h) - 600 * scale) // 2)
                    corner = [int(v) for v in re.findall(r"Absolute upper-left [XY]:\s+(-?\d+)", info)]
                    return wid, (corner[0] + inset[0], corner[1] + inset[1]), inset, scale
        found = poll("game window", probe, 15)
        if found != "gone":
            self.window, self.origin, self.inset, self.scale = found
        return found != "gone"

    def mode(self):  # "window" (the window manager's, titled), "full screen" (centred on black) or None
        if any(title == "Zudaduviz" and (w, h) == (800, 600) for _, title, w, h in self.server.managed_windows()):
            return "window"
        centred = tuple((side - picture) // 2 for side, picture in zip(self.server.size, (800, 600)))
        return "full screen" if self.find_window() and self.origin == centred else None

    def wait_mode(self, mode, timeout=10):  # and the window to capture in it
        poll(mode, lambda: self.mode() == mode and self.find_window(), timeout)

    def capture(self, label, whole=False):  # whole: the window as the X server shows it, unscaled
        place = [] if whole else ["-crop", "%dx%d+%d+%d" % (800 * self.scale, 600 * self.scale, *self.inset), "+repage"]
        ppm = self.server.run(["import", "-window", self.window, *place, "-depth", "8", "ppm:-"])
        shot = Image.open(io.BytesIO(ppm)).convert("RGB")
        if self.scale > 1 and not whole:  # one screen pixel of each square
            shot = shot.resize((800, 600), Image.NEAREST)
        return self.test.keep(shot, label)

    def wait_screen(self, what, predicate, timeout=10):  # the first capture where predicate holds
        def probe():
            if self.proc.poll() is not None:
                raise AssertionError(f"the game exited with {self.proc.returncode} while waiting for {what}")
            shot = self.capture(what)
            return predicate(shot) and shot
        return poll(what, probe, timeout)

    def xdotool(self, *args):
        self.server.run(["xdotool", *map(str, args)])

    def key(self, name, hold=HOLD):  # "alt+Return" holds Alt around the press
        *modifiers, name = name.split("+")
        self.xdotool(*(["keydown", *modifiers, "sleep", 0.03] if modifiers else []), "keydown", name, "sleep", hold,
                     "keyup", name, *(["sleep", 0.03, "keyup", *modifiers] if modifiers else []))

    def press(self, name, what, shown, timeout=10):  # a key, then the screen it leads to
        self.key(name)
        return self.wait_screen(what, shown, timeout)

    # Holds a key until predicate(capture) holds. Now and then a press goes unseen, and
    # pressing a key still down does nothing: so it is released and pressed at each look.
    def hold(self, name, what, predicate, timeout=6):
        def look(shot):
            return predicate(shot) or self.xdotool("keyup", name, "sleep", 0.02, "keydown", name)
        self.xdotool("keydown", name)
        try:
            return self.wait_screen(what, look, timeout)
        finally:
            self.xdotool("keyup", name)

    def move_mouse(self, x, y):  # to the picture's (x, y)
        self.xdotool("mousemove", self.origin[0] + x * self.scale, self.origin[1] + y * self.scale)

    # Moves the pointer to (x, y) of the window until seen(capture), again from a pixel aside
    # at each look: a move made while the game opens its window can go unseen or astray.
    def point(self, x, y, seen, what):
        self.move_mouse(x, y)
        return self.wait_screen(what, lambda shot: seen(shot) or self.move_mouse(x + 1, y) or self.move_mouse(x, y), 4)

    def click(self, button=1, hold=HOLD):
        self.xdotool("mousedown", button, "sleep", hold, "mouseup", button)


# Sound heard with no sound card: ALSA's default output becomes a plug (Allegro's unsigned
# samples to signed) into a WAV file, whose "null" slave keeps real time only with the small
# fragments a test-only allegro.cfg (in a temporary HOME) asks for. ctl and rawmidi on card 0
# just keep alsa-lib from complaining.
ALSA_CONFIG = """pcm.!default { type plug; slave { pcm "wav"; format S16_LE } }
pcm.wav { type file; slave.pcm "null"; file "%s"; format "wav" }
ctl.!default { type hw; card 0 } rawmidi.!default { type hw; card 0 }"""


class SoundCapture:  # for the games the test starts from now on
    def __init__(self, test):
        if not os.path.exists(os.path.join(BUILD_DIR, "patches.dat")):
            test.skipTest("no patches.dat next to the game (no freepats?): it runs silent")
        home = pathlib.Path(test.enterContext(tempfile.TemporaryDirectory(prefix="zudaduviz-sound-")))
        self.wav = home / "out.wav"
        (home / "alsa.conf").write_text(ALSA_CONFIG % self.wav)
        (home / "allegro.cfg").write_text("[sound]\nalsa_fragsize = 441\n")
        test.server.env.update(HOME=str(home), ALSA_CONFIG_PATH=f"/usr/share/alsa/alsa.conf:{home / 'alsa.conf'}")

    def written(self):  # the WAV's size in whole stereo frames after its 44-byte header
        return os.path.getsize(self.wav) // 4 * 4

    # (level, level below LOW_HZ, clipped values, brightness) in dB of the seconds written from
    # start on; silence shows as -90.3. Brightness, the level of the steps from sample to
    # sample relative to the level, is higher for drums than for a flute.
    def measure(self, what, start, seconds):
        raw = self.wav.read_bytes()[start:start + int(seconds * 44100) * 4]
        values = array.array("h", raw[:len(raw) // 4 * 4])
        if len(values) < 0.75 * seconds * 2 * 44100:
            raise AssertionError(f"{what}: the game wrote too little sound")
        left = values[::2]
        power, steps = sum(s * s for s in left), sum((b - a) ** 2 for a, b in zip(left, left[1:]))
        result = (sox_level(values), sox_level(values, "lowpass", str(LOW_HZ), "lowpass", str(LOW_HZ)),
                  sum(abs(v) >= 32767 for v in values), 10 * math.log10(max(steps, 1) / max(power, 1)))
        print(f"  {what}: {result[0]:.1f} dBFS, below {LOW_HZ} Hz {result[1]:.1f}, {result[2]} clipped, "
              f"brightness {result[3]:.1f} dB", flush=True)
        return result

    def listen(self, what):  # the next two seconds, once a tune has had time to start or a stopped one to die away
        time.sleep(0.4)
        start = self.written()
        time.sleep(2)
        return self.measure(what, start, 2)


def sox_level(values, *effects):  # dBFS of 44.1 kHz stereo 16-bit values, after sox's effects
    stats = subprocess.run(["sox", "-t", "raw", "-e", "signed", "-b", "16", "-c", "2", "-r", "44100", "-", "-n",
                            *effects, "stats"], input=values.tobytes(), capture_output=True, check=True).stderr.decode()
    return max(float(re.search(r"RMS lev dB\s+(\S+)", stats).group(1)), -90.3)


class WindowTest(unittest.TestCase):
    screen, window_manager, server_args = "1024x768x24", False, ()

    # The ship a test leaves idle can die before the test is done with its game, when a busy
    # machine slows the input down: a failed test that saw the game end runs once more.
    def __init__(self, name="runTest"):
        super().__init__(name)
        walk, self.kept = getattr(self, name), 0

        def once_more_if_the_ship_died():
            try:
                return walk()
            except AssertionError:
                if not self.saw_game_over:
                    raise
                print(f"  the ship died before the test was done (see {self.last_kept}): once more", flush=True)
                self.doCleanups()
                self.setUp()
                return walk()
        setattr(self, name, once_more_if_the_ship_died)

    def setUp(self):
        self.last_kept, self.saw_game_over = None, False
        self.server = XServer(self.screen, self.window_manager, self.server_args)
        self.addCleanup(self.server.stop)
        # The player's settings of this test alone: none at first.
        self.config_home = self.enterContext(tempfile.TemporaryDirectory(prefix="zudaduviz-config-"))
        self.server.env["XDG_CONFIG_HOME"] = self.config_home
        # The game's French whatever the tester's locale: a test asks for another language itself.
        for variable in ("LANGUAGE", "LC_ALL", "LC_MESSAGES"):
            self.server.env.pop(variable, None)
        self.server.env["LANG"] = "C"

    def start_at_title(self, args=(), exe=None, with_data=True, record=None):  # its window found
        for attempt in range(3):
            run = GameRun(self, with_data, args, exe, record)
            if run.find_window():
                run.wait_screen("title menu", title_shown)
                return run
            # The game can lose its connection when our polling connects at the same
            # moment; a real failure to set the mode happens every time.
            if GRAPHICS_FAILED not in run.output():
                break
        raise AssertionError(f"the game exited with {run.proc.returncode}:\n{run.output()[-2000:]}")

    def keep(self, shot, label):
        self.kept += 1
        self.last_kept = os.path.join(CAPTURE_DIR, re.sub(r"[^\w.-]+", "-", f"{self._testMethodName}-{self.kept:02d}-{label}.png"))
        shot.save(self.last_kept)
        self.saw_game_over = self.saw_game_over or game_over_shown(shot)
        return shot


def main():  # arguments: <game executable> <build dir> [unittest arguments]
    global EXE, BUILD_DIR, CAPTURE_DIR
    EXE, BUILD_DIR = map(os.path.abspath, sys.argv[1:3])
    CAPTURE_DIR = os.path.join(BUILD_DIR, "window-captures", os.path.basename(sys.argv[0])[:-3])
    shutil.rmtree(CAPTURE_DIR, ignore_errors=True)
    os.makedirs(CAPTURE_DIR)
    result = unittest.main(argv=sys.argv[:1] + sys.argv[3:], exit=False, verbosity=2).result
    print(f"captures: {CAPTURE_DIR}", flush=True)
    sys.exit(not result.wasSuccessful())
