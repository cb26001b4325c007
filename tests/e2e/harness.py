"""Runs the real hueline.exe under Wine in the project's prefix and works it
through hueline_driver.exe, a second program in the same prefix.

What cannot be seen under Wine (sounds, the forced restart) is read from Wine's
relay trace of the program, limited by the prefix's RelayInclude setting
(tools/wine_prefix.sh) to the calls of traced_calls.txt.

The prefix stands for one machine at a time (MACHINE, set by use_machine):
Windows 98 at 96 dots per inch with the bitmap "MS Sans Serif", the one the
program is made for, or one of the others users have (Large Fonts, no bitmap
dialog font, the NT family).

The driver knows no window of its own: which window is which, and what an
action such as "answer Yes to the restart question" or "close the About box"
means, is said here, once (Session).

Wine's environment comes from tools/wine.env; the main window's caption and
the control and command numbers from resources/resource.h, as the program's
own code takes them; test.exe's window class from test_exe/screen_window.h.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path
from types import SimpleNamespace
from typing import NamedTuple

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build"
# The build's own scripts: the sounds' names, the PE reader, the resource check.
sys.path[:0] = [str(ROOT / "resources"), str(ROOT / "tools")]
from make_waves import SOUNDS  # noqa: E402
from pe_file import PeFile  # noqa: E402


def read_wine_env():
    """Wine's environment as tools/wine.env sets it, for the build
    tools/wine_arch.sh picks (the 64-bit one's lines start "64:")."""
    arch = subprocess.run(["bash", str(ROOT / "tools" / "wine_arch.sh")], stdout=subprocess.PIPE,
                          check=True, text=True).stdout.strip()
    env = {"HUELINE_WINE_ARCH": arch}
    for line in (ROOT / "tools" / "wine.env").read_text().splitlines():
        if line.startswith("64:") and arch == "64":
            line = line[3:]
        if line and not line.startswith(("#", "64:")):
            name, _, value = line.partition("=")
            env[name] = str(ROOT / value) if value.startswith("build/") else value
    return env


def read_string(literals, defines=None):
    """The text of C string literals written one after the other ("a" "b"),
    with names of string defines among them."""
    text = ""
    for literal, name in re.findall(r'"((?:[^"\\]|\\.)*)"|(\w+)', literals):
        text += defines[name] if name else literal.encode("latin-1").decode("unicode_escape")
    return text


def read_defines(path):
    """The number and string #defines of a C header, as ID.IDC_EXIT and the like."""
    defines = {}
    for name, value in re.findall(r"^#define\s+(\w+)\s+(.+?)\s*$", Path(path).read_text(), re.M):
        if value.isdigit():
            defines[name] = int(value)
        elif value.startswith('"'):
            defines[name] = read_string(value, defines)
    return SimpleNamespace(**defines)


def read_c_string(path, name):
    """The text of the string constant name in a C++ source file."""
    match = re.search(r"\b%s\[\]\s*=\s*((?:\s*\"(?:[^\"\\]|\\.)*\")+)\s*;" % name, Path(path).read_text())
    return read_string(match.group(1))


def read_traced_calls():
    """The calls the prefix traces, as "dll.Function"."""
    lines = (HERE / "traced_calls.txt").read_text().splitlines()
    return [line.strip() for line in lines if line.strip() and not line.startswith("#")]


HERE = Path(__file__).resolve().parent
WINE_ENV = read_wine_env()
ID = read_defines(ROOT / "resources" / "resource.h")
TRACED_CALLS = read_traced_calls()
PREFIX = Path(WINE_ENV["WINEPREFIX"])
WINDOWS = PREFIX / "drive_c" / "windows"
# The files as the program names them: upper case, as DOS writes them.
SYSTEM_INI = WINDOWS / "SYSTEM.INI"
SYSTEM_OLD = WINDOWS / "SYSTEM.OLD"
MARK = WINDOWS / "HUELINE.MRK"   # the journal: stands while a change of system.ini is under way
COPY = WINDOWS / "HUELINE.BAK"   # the copy of system.ini, before it becomes system.old
NEW = WINDOWS / "HUELINE.NEW"    # the new content, before it becomes system.ini
KEPT_OLD = WINDOWS / "HUELINE.OLD"   # where a recovery keeps system.old aside
KEPT_COPY = WINDOWS / "HUELINE.CPY"  # and the copy
KEPT_INI = WINDOWS / "HUELINE.INI"   # and the system.ini it put a copy in place of
HUELINE_FILES = (SYSTEM_OLD, MARK, COPY, NEW, KEPT_OLD, KEPT_COPY, KEPT_INI)
KEEP_FILES = object()            # a Session on the files as an earlier run left them
PRODUCT = Path(WINE_ENV["HUELINE_PRODUCT"])
WINE, WINESERVER = WINE_ENV["HUELINE_WINE"], WINE_ENV["HUELINE_WINESERVER"]
PROGRAM = PRODUCT / "hueline.exe"
DRIVER = Path(WINE_ENV["HUELINE_WINE_TESTS"]) / "hueline_driver.exe"
ARTEFACTS = Path(WINE_ENV["HUELINE_E2E"])
TEST_PROGRAM = PRODUCT / "test.exe"


def windows_path(name):
    """A file of the Windows directory as the program names it in its messages."""
    return "C:\\windows\\" + name.upper()


def settings_names():
    """The program's files in the Windows directory, by the names they stand
    under there. Wine looks for the exact case first: one_spelling() gives
    another spelling of a name (the prefix's own system.ini, one the Wine
    tests made) the program's, or removes it when that one stands too."""
    names = {path.name.lower(): path for path in (SYSTEM_INI,) + HUELINE_FILES}
    return {entry: names[entry.name.lower()] for entry in WINDOWS.glob("*") if entry.name.lower() in names}


def one_spelling():
    for entry, path in settings_names().items():
        if entry.name != path.name and not path.exists():
            entry.rename(path)
        elif entry.name != path.name:
            shutil.rmtree(entry) if entry.is_dir() else entry.unlink()


one_spelling()

WAIT_MS = 30000          # for the main window to come up
EXIT_SECONDS = 20        # for the process to end once its window has closed
COMMAND_SECONDS = 60     # for one run of the driver or of wineserver
SETTLE_SECONDS = 5       # for a box to close, or a window to come to the front
HANG_MS = 5000           # a window that takes longer to answer a message hangs

# The windows the tests work, by class and caption (test.exe's window by the
# class it registers).
DIALOG = "#32770"
MAIN_CAPTION = ID.MAIN_DIALOG_CAPTION
QUESTION_CAPTION = "Restart?"
MESSAGE_CAPTION = "Hueline"
ABOUT_CAPTION = "Hueline - About"
SCREEN_CLASS = read_defines(ROOT / "test_exe" / "screen_window.h").TEST_SCREEN_CLASS
IDOK, IDYES, IDNO = 1, 6, 7
WM_NULL, WM_CLOSE, WM_COMMAND, WM_SYSCOMMAND, BM_CLICK = 0x0000, 0x0010, 0x0111, 0x0112, 0x00F5
SC_CLOSE, SC_MINIMIZE = 0xF060, 0xF020
OTHER_PROGRAM = ("Notepad", "Untitled - Notepad")  # another program's window, by class and caption


# ---- The machine the prefix stands for -----------------------------------------

class Machine(NamedTuple):
    name: str            # also the folder of its artefacts
    dpi: int             # LogPixels: 96, or 120 and 144 for Large Fonts
    bitmap_font: bool    # the bitmap "MS Sans Serif" (sserife.fon) is installed
    windows: str         # Wine's Version: win98, or winxp for the NT family

    @property
    def standard(self):
        """The machine whose metrics the program's pixels are laid out for."""
        return self.dpi == 96 and self.bitmap_font

    @property
    def nt(self):
        return self.windows != "win98"


WINDOWS_98 = Machine("windows-98", 96, True, "win98")
MACHINE = WINDOWS_98
BITMAP_FONT = "sserife.fon"
# What the program says at every start on the NT family.
NT_NOTICE = read_c_string(ROOT / "core" / "selection_actions.cpp", "NotUsedOnNt")


def use_machine(machine):
    """Sets the prefix up as the machine: its dots per inch and Windows
    version in the registry, its fonts in the Windows folder. Every setting is
    written each time, so that no pass depends on what an earlier one, or a
    run cut short, left."""
    global MACHINE
    stop_prefix()
    font = WINDOWS / "Fonts" / BITMAP_FONT
    if machine.bitmap_font:
        shutil.copyfile(Path("/usr/share/wine/fonts") / BITMAP_FONT, font)
    elif font.exists():
        font.unlink()
    settings = PREFIX / "drive_c" / "hueline-machine.reg"
    settings.write_text('REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n\n'
                        '[HKEY_CURRENT_USER\\Software\\Wine]\n"Version"="%s"\n' % (machine.dpi, machine.windows))
    env = wine_env()
    env["DISPLAY"] = ""
    subprocess.run([WINE, "reg", "import", "C:\\hueline-machine.reg"], env=env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=COMMAND_SECONDS)
    stop_prefix()
    MACHINE = machine


def wine_env(debug=None):
    """The environment for a Wine process; debug, when given, sets WINEDEBUG."""
    env = dict(os.environ)
    env.update(WINE_ENV)
    if debug is not None:
        env["WINEDEBUG"] = debug
    return env


def stop_prefix():
    """Ends every process of the prefix, and the wineserver with them."""
    for args in ([WINESERVER, "-k"], [WINESERVER, "-w"]):
        try:
            subprocess.run(args, env=wine_env(), stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=COMMAND_SECONDS)
        except subprocess.TimeoutExpired:
            pass


def scratch_folder():
    """Where the temporary files of a run go."""
    scratch = ARTEFACTS / "tmp"
    scratch.mkdir(parents=True, exist_ok=True)
    return scratch


class DriverError(AssertionError):
    pass


class Reply:
    """What one verb of the driver printed: its "name=value" lines in order."""

    def __init__(self, verb):
        self.verb = verb
        self.pairs = []

    def __getitem__(self, name):
        for key, value in self.pairs:
            if key == name:
                return value
        raise KeyError("%s printed no %s: %s" % (self.verb, name, self.pairs))

    def values(self, name):
        return [value for key, value in self.pairs if key == name]

    def windows(self):
        """The windows props or children printed, each as a dict."""
        blocks = []
        for key, value in self.pairs:
            if key == "window":
                blocks.append({})
            blocks[-1][key] = value
        return blocks


ESCAPES = {"\\": "\\", "n": "\n", "r": "\r"}


def run_driver(*verbs, log=None):
    """Runs the driver once; returns a Reply for each verb, in order. A
    failing verb raises DriverError with the driver's output.

    Its output goes to a file, not a pipe: Wine processes that the driver's
    start brings up (the desktop, the services) inherit its handles and keep
    a pipe open long after the driver has ended."""
    args = [WINE, str(DRIVER)] + [str(a) for a in verbs]
    scratch = scratch_folder()
    with tempfile.TemporaryFile(dir=str(scratch)) as output:
        try:
            done = subprocess.run(args, env=wine_env(), cwd=str(PRODUCT), stdin=subprocess.DEVNULL,
                                  stdout=output, stderr=subprocess.DEVNULL, timeout=COMMAND_SECONDS)
            status = done.returncode
        except subprocess.TimeoutExpired:
            status = "timed out"
        output.seek(0)
        out = output.read().decode("utf-8", "replace").replace("\r", "")
    if log is not None:
        log.write("$ driver %s\n%s" % (" ".join(map(str, verbs)), out))
        log.flush()
    if status != 0:
        raise DriverError("driver %s: %s\n%s" % (" ".join(map(str, verbs)), status, out))
    replies = []
    for line in out.splitlines():
        name, sep, value = line.partition("=")
        if not sep:
            continue
        value = re.sub(r"\\(.)", lambda m: ESCAPES[m.group(1)], value)
        if name == "verb":
            replies.append(Reply(value))
        else:
            replies[-1].pairs.append((name, value))
    return replies


def stand_window(kind, caption, seconds=120):
    """Shows another program's window of that class and caption (a driver of
    its own) until it is closed or the time is up; returns that process."""
    return subprocess.Popen(["wine", str(DRIVER), "stand", kind, caption, str(seconds * 1000)], env=wine_env(),
                            cwd=str(PRODUCT), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)


def poll(look, done, seconds):
    """Calls look() until done() says yes of what it returns, or the time is
    up; returns what it returned last."""
    deadline = time.monotonic() + seconds
    while True:
        seen = look()
        if done(seen) or time.monotonic() > deadline:
            return seen
        time.sleep(0.02)


def rect(text):
    """A "x,y,width,height" of the driver as a tuple of numbers."""
    return tuple(int(part) for part in text.split(","))


def system_facts():
    """The Windows version the prefix reports (GetVersion) and the system
    colours of a dialog's face, a selection and a window, as the driver reads
    them."""
    reply = run_driver("system")[0]
    return dict(reply.pairs)


class Picture:
    """A picture of part of the screen, as rows of RGB pixels."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def pixel(self, x, y):
        at = 3 * (y * self.width + x)
        return tuple(self.pixels[at:at + 3])

    def count(self, colour, box=None):
        """How many pixels inside box (x, y, width, height; the whole
        picture when not given) are of colour."""
        x0, y0, width, height = box or (0, 0, self.width, self.height)
        return sum(1 for y in range(y0, y0 + height) for x in range(x0, x0 + width)
                   if self.pixel(x, y) == colour)

    def colour_counts(self):
        """How many pixels of each colour the picture holds."""
        counts = {}
        view = memoryview(self.pixels)
        for at in range(0, len(self.pixels), 3):
            key = bytes(view[at:at + 3])
            counts[key] = counts.get(key, 0) + 1
        return {tuple(k): n for k, n in counts.items()}

    def most_common(self):
        counts = self.colour_counts()
        return max(counts, key=counts.get)

    def crop(self, box):
        x, y, width, height = box
        if x < 0 or y < 0 or x + width > self.width or y + height > self.height:
            raise ValueError("%s is not inside the %dx%d picture" % (box, self.width, self.height))
        rows = [self.pixels[3 * ((y + row) * self.width + x):3 * ((y + row) * self.width + x + width)]
                for row in range(height)]
        return Picture(width, height, b"".join(rows))

    def ppm(self):
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.pixels


def grab(box=None, path=None):
    """The screen as the driver reads it, or the part of it inside box (x,
    y, width, height), as a Picture; saved as the picture file path too when
    given."""
    scratch = scratch_folder()
    with tempfile.NamedTemporaryFile(dir=str(scratch), suffix=".ppm") as file:
        run_driver("pixels", "desktop", "Z:" + file.name.replace("/", "\\"))
        data = Path(file.name).read_bytes()
    # A binary PPM: "P6", width, height, maximum value, one white space, pixels.
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    if not header:
        raise ValueError("not an 8-bit PPM picture of the screen")
    width, height = int(header.group(1)), int(header.group(2))
    picture = Picture(width, height, data[header.end():header.end() + 3 * width * height])
    if box is not None:
        picture = picture.crop(box)
    if path is not None:
        env = dict(os.environ)
        env["MAGICK_TEMPORARY_PATH"] = str(scratch)
        subprocess.run(["/usr/bin/convert", "ppm:-", str(path)], input=picture.ppm(), env=env, check=True,
                       timeout=COMMAND_SECONDS, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    return picture


class Image(PeFile):
    """The executable's file, to read the strings its code passes by address."""

    def string_at(self, address):
        begin = self.offset(address - self.base)
        if begin is None:
            return None
        return self.data[begin:self.data.find(b"\0", begin)].decode("latin-1")


# Wine's trace spells some modules in capitals (KERNEL32): names are matched
# without regard to case and reported as traced_calls.txt spells them.
CALL = re.compile(r"^([0-9a-f]{4}):Call (%s)\((.*)\) ret=[0-9a-f]+$"
                  % "|".join(re.escape(name) for name in TRACED_CALLS), re.IGNORECASE)
CALL_NAMES = {name.lower(): name for name in TRACED_CALLS}
FILE_CALLS = {"kernel32.OpenFile": "open", "kernel32.MoveFileA": "rename", "kernel32.CreateFileA": "CreateFileA"}
QUOTED = re.compile(r'"((?:[^"\\]|\\.)*)"')


def parse_calls(text, thread, image):
    """The traced calls made by one thread, in order, as tuples:
    ("sound", file or None, flags), ("restart", flags, reserved),
    ("question", owner, text, caption, style), ("check", item, state),
    ("end", window, result), ("shell", owner, verb, file, parameters,
    directory, show), ("launch", program, command line), ("flush-profiles",
    file) (and ("profile", file) for any other profile write); the file calls
    by file name: ("open" / "create" / "delete", name), ("rename", from, to),
    ("CreateFileA", name)."""
    calls = []
    for line in text.splitlines():
        match = CALL.match(line.rstrip("\r"))
        if not match or match.group(1) != thread:
            continue
        name, args = CALL_NAMES[match.group(2).lower()], match.group(3)
        words = args.split(",")
        if name == "winmm.sndPlaySoundA":
            address = int(words[0].split()[0], 16)
            sound = image.string_at(address) if address else None
            if address and sound is None:
                sound = "<0x%08x, not a string of the program>" % address
            calls.append(("sound", sound, low32(words[-1])))
        elif name == "user32.ExitWindowsEx":
            calls.append(("restart", low32(words[0]), low32(words[1])))
        elif name == "user32.MessageBoxA":
            texts = [t.encode("latin-1").decode("unicode_escape") for t in QUOTED.findall(args)]
            texts += [None] * (2 - len(texts))
            calls.append(("question", handle(words[0]), texts[0], texts[1], low32(words[-1])))
        elif name == "user32.CheckMenuItem":
            calls.append(("check", low32(words[1]), low32(words[2])))
        elif name == "user32.EndDialog":
            calls.append(("end", handle(words[0]), low32(words[1])))
        elif name == "shell32.ShellExecuteA":
            calls.append(("shell", handle(words[0])) + tuple(shell_strings(args, image)) + (low32(words[-1]),))
        elif name == "kernel32.CreateProcessA":
            texts = [t.encode("latin-1").decode("unicode_escape") for t in QUOTED.findall(args)]
            texts += [None] * (2 - len(texts))
            calls.append(("launch", texts[0], texts[1]))
        elif name == "kernel32.WritePrivateProfileStringA":
            # Three nulls and a file: the flush of the system's profile cache.
            nulls = all(int(word.split()[0], 16) == 0 for word in words[:3])
            calls.append(("flush-profiles" if nulls else "profile", image.string_at(int(words[3].split()[0], 16))))
        elif name in FILE_CALLS:
            style = int(words[-1], 16) if name == "kernel32.OpenFile" else 0  # OF_DELETE, OF_CREATE
            kind = "delete" if style & 0x200 else "create" if style & 0x1000 else FILE_CALLS[name]
            calls.append((kind,) + tuple(path.encode("latin-1").decode("unicode_escape").split("\\")[-1]
                                         for path in QUOTED.findall(args)))
    return calls


def low32(word):
    """A traced int argument: 64-bit Wine prints the whole register, whose
    upper half is not the argument's."""
    return int(word.split()[0], 16) & 0xFFFFFFFF


def handle(word):
    """A traced window handle as the driver prints it: 8 hex digits (a
    window handle's upper half is not used on 64-bit Windows)."""
    return "%08x" % low32(word)


def shell_strings(args, image):
    """The four string arguments of a traced ShellExecuteA, None for a null
    one: Wine's trace quotes a string after its address, and leaves an
    empty one unquoted at times, so each is read from the program's file
    when the trace gives no text."""
    strings = []
    for word in args.split(",")[1:5]:
        word = word.strip()
        address = int(word.split()[0], 16)
        quoted = QUOTED.search(word)
        if quoted:
            strings.append(quoted.group(1).encode("latin-1").decode("unicode_escape"))
        else:
            strings.append(image.string_at(address) if address else None)
    return strings


class Session:
    """One run of hueline.exe, from a system.ini of the test's choosing."""

    def __init__(self, name, system_ini, program=PROGRAM, debug="+relay"):
        self.name = name
        self.program = Path(program)
        self.debug = debug
        self.folder = ARTEFACTS / name if MACHINE == WINDOWS_98 else ARTEFACTS / MACHINE.name / name
        self.folder.mkdir(parents=True, exist_ok=True)
        self.trace_path = self.folder / "relay.log"
        self.transcript = open(self.folder / "driver.log", "w", encoding="utf-8")
        self.image = Image(self.program)
        self.process = None
        self.trace = None
        self.window = None
        self.thread = None
        self.closed = False

        stop_prefix()
        one_spelling()
        if system_ini is KEEP_FILES:
            return
        if system_ini is None:
            if SYSTEM_INI.exists():
                SYSTEM_INI.unlink()
        else:
            SYSTEM_INI.write_bytes(system_ini)
        for path in HUELINE_FILES:
            if path.is_dir():
                path.rmdir()
            elif path.exists():
                path.unlink()

    def open(self):
        """Starts the program and waits for its main window; on the NT family
        first sees the notice it gives at every start, and closes it."""
        self.launch()
        if MACHINE.nt:
            notice = self.box(MESSAGE_CAPTION, WAIT_MS)
            if notice["message"] != NT_NOTICE:
                raise AssertionError("no notice that NT does not use the colours: %s" % notice)
            self.press(MESSAGE_CAPTION, IDOK)
        self.attach()

    def launch(self):
        """Starts the program; attach() then waits for its main window."""
        # The prefix's own processes (services, desktop) start first, with a
        # run of the driver, untraced, so that the trace holds the program alone.
        self.drive("system")
        self.trace = open(self.trace_path, "wb")
        self.process = subprocess.Popen([WINE, str(self.program)], cwd=str(self.program.parent),
                                        env=wine_env(self.debug), stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=self.trace)

    def attach(self):
        """Waits for the main window; keeps its handle and its thread's
        number as the trace gives them."""
        found = self.drive("find", DIALOG, MAIN_CAPTION, "*", WAIT_MS, *self.settling("found"))[0]
        self.window, self.thread = found["window"], found["thread"]

    def mark(self):
        self.trace.flush()
        return self.trace_path.stat().st_size

    def calls(self, since=0, flushes=False, files=False, thread=None):
        """The traced calls of the program's window thread (or of that
        thread) since a mark(); the flushes of the profile cache, and the
        file calls, only when asked for."""
        with open(self.trace_path, "rb") as trace:
            trace.seek(since)
            text = trace.read().decode("latin-1")
        return [call for call in parse_calls(text, thread or self.thread, self.image)
                if (flushes or call[0] != "flush-profiles")
                and (files or call[0] not in ("delete", "create", *FILE_CALLS.values()))]

    def do(self, name, *args):
        """Does one of the actions below, by its name: the tests' tables name
        them so."""
        getattr(self, name)(*args)

    def act(self, name, *args):
        """Does an action; returns the traced calls it caused."""
        since = self.mark()
        self.do(name, *args)
        return self.calls(since)

    # ---- The main window, as the user works it; each action waits until the
    # window has dealt with it, unless told not to.

    def drive(self, *verbs):
        return run_driver(*verbs, log=self.transcript)

    def control(self, number, window=None):
        """The driver's name of a control of the main window (or of the
        window the driver names so)."""
        return "%s:%d" % (window or self.window, number)

    def settling(self, window=None):
        """The driver's verb that waits until the main window has dealt with
        the input posted to it: its background's Current field, whose caret
        nothing else moves, serves as the marker."""
        return ("settle", self.control(ID.IDC_BACK_CURRENT, window), "posted")

    def settle(self):
        self.drive(*self.settling())

    def post(self, window, message, wparam, lparam, settle=True):
        self.drive("post", window, message, wparam, lparam, *(self.settling() if settle else ()))

    def click(self, button, settle=True):
        """Presses a push button."""
        self.post(self.control(button), BM_CLICK, 0, 0, settle)

    def command(self, number, settle=True):
        """Chooses a menu command. Any WM_COMMAND wParam may be given: a
        control's notification comes from its control."""
        self.post(self.window, WM_COMMAND, number, self.control(number & 0xFFFF) if number >> 16 else 0, settle)

    def key(self, name):
        """Presses a key (escape, enter) while the main window is active."""
        self.drive("key", self.window, name, *self.settling())

    def close_window(self):
        """Presses the caption's close box."""
        self.post(self.window, WM_SYSCOMMAND, SC_CLOSE, 0)

    def minimize(self):
        self.post(self.window, WM_SYSCOMMAND, SC_MINIMIZE, 0)
        if self.props(self.window)["minimized"] != "yes":
            raise AssertionError("the main window did not minimize")

    def user_click(self, control):
        """Clicks the middle of a control with the mouse, as the user would,
        without waiting for the window."""
        self.drive("click", self.control(control), "user")

    def type_keys(self, *names):
        """Presses keys as the keyboard makes them ("alt+b", "enter"), to the
        window in front, without waiting for the window."""
        self.drive(*[verb for name in names for verb in ("key", "user", name)])

    def select(self, *lists_and_names):
        """Clicks an item by its name in each list given (IDC_BACK_LIST,
        "Green", IDC_TEXT_LIST, "Black") where it shows, as the user would;
        the list box then selects it and tells the dialog itself."""
        numbers, names = lists_and_names[::2], lists_and_names[1::2]
        clicks = [verb for number, name in zip(numbers, names)
                  for verb in ("click", self.control(number), "item", name, *self.settling())]
        for number, name, shown in zip(numbers, names, self.list_boxes(*numbers, before=clicks)):
            if shown["selected"] < 0 or shown["items"][shown["selected"]] != name:
                raise AssertionError("the click did not select %s in list %d" % (name, number))

    # ---- What the windows show

    def props(self, window):
        return dict(self.drive("props", window)[0].pairs)

    def count(self, kind, caption):
        """How many top-level windows of the class and caption are shown."""
        return int(self.drive("find", kind, caption, "*", 0)[0]["count"])

    def list_boxes(self, *numbers, before=()):
        """Lists of the main window (after the driver's verbs before, in the
        same run), each as its items, the selected one's index (-1 for none),
        the top one's, the items' height and the list's client area on the
        screen (x, y, width, height)."""
        replies = self.drive(*before, *[verb for number in numbers for verb in ("props", self.control(number),
                                                                                 "list", self.control(number))])
        replies = replies[len(replies) - 2 * len(numbers):]
        return [{"items": shown.values("item"), "selected": int(shown["selected"]), "top": int(shown["top"]),
                 "height": int(shown["item-height"]), "client": rect(props["client"])}
                for props, shown in zip(replies[::2], replies[1::2])]

    def state(self):
        """What the main window shows: its two Current fields, the items
        selected in its lists ("<none>" for none), its place on the screen,
        the size of its client area, and whether a "Restart?" or a "Hueline"
        box is open."""
        replies = self.drive(*self.settling(), "props", self.window,
                             "props", self.control(ID.IDC_BACK_CURRENT), "props", self.control(ID.IDC_TEXT_CURRENT),
                             "list", self.control(ID.IDC_BACK_LIST), "list", self.control(ID.IDC_TEXT_LIST),
                             "find", DIALOG, QUESTION_CAPTION, "*", 0, "find", DIALOG, MESSAGE_CAPTION, "*", 0)
        main, back, text, back_list, text_list, question, message = replies[1:]

        def selected(shown):
            index = int(shown["selected"])
            return shown.values("item")[index] if index >= 0 else "<none>"

        return {"back-current": back["text"], "text-current": text["text"],
                "back-list": selected(back_list), "text-list": selected(text_list),
                "rect": main["rect"], "client-size": "%dx%d" % rect(main["client"])[2:],
                "question": "open" if int(question["count"]) else "none",
                "message": "open" if int(message["count"]) else "none"}

    def place(self):
        """Where the main window lies on the screen ("client", "rect") and the
        client area of its "Preview" group box ("preview-box"), as (x, y,
        width, height), once the window has painted everything."""
        replies = self.drive(*self.settling(), "settle", self.window, "painted",
                             "props", self.window, "children", self.window, "Button")
        boxes = [box for box in replies[3].windows() if box["text"] == "Preview"]
        if not boxes:
            raise AssertionError('the main window has no "Preview" group box')
        return {"client": rect(replies[2]["client"]), "rect": rect(replies[2]["rect"]),
                "preview-box": rect(boxes[-1]["client"])}

    def cover(self, ms, held=False):
        """Covers the main window for ms ms, uncovers it, and waits until it
        has painted what was uncovered. A window held by a full-screen test
        handles no posted message until the test ends: only its painting is
        waited for."""
        self.drive("cover", self.window, ms, *(() if held else self.settling()), "settle", self.window, "painted")

    # ---- Dialog boxes, by their caption

    def box(self, caption, ms=0, painted=False):
        """The dialog box of that caption, shown within ms ms (and painted,
        when asked), as its props with "owner" said as "main", "other" or
        "none", and "message" (its last static text that is not empty),
        "buttons" ("&Yes#6,&No#7") and "default" (the default button's text)."""
        replies = self.drive("find", DIALOG, caption, "*", ms, *(("settle", "found", "painted") if painted else ()),
                             "props", "found", "children", "found", "Button", "children", "found", "Static")
        box = dict(replies[-3].pairs)
        owner = box["owner"]
        box["owner"] = "main" if owner == self.window else "none" if owner == "none" else "other"
        buttons = replies[-2].windows()
        box["buttons"] = ",".join("%s#%s" % (button["text"], button["id"]) for button in buttons)
        box["default"] = ",".join(button["text"] for button in buttons if button["default"] == "yes")
        texts = [static["text"] for static in replies[-1].windows() if static["text"]]
        box["message"] = texts[-1] if texts else None
        box["thread"] = replies[0]["thread"]
        return box

    def press(self, caption, button, ms=0, wait=True):
        """Presses a button (IDOK, IDYES, IDNO) of the dialog box of that
        caption, shown within ms ms; then, unless told not to, waits until the
        box has gone and the main window has dealt with what followed."""
        pressing = ("find", DIALOG, caption, "*", ms, "post", "found:%d" % button, BM_CLICK, 0, 0)
        if wait:
            self.wait_gone(caption, pressing)
        else:
            self.drive(*pressing)

    def key_into(self, caption, name, ms=0, settle=True):
        """Presses a key in the dialog box of that caption, shown within ms
        ms; then, unless told not to, waits until the main window has dealt
        with it."""
        self.drive("find", DIALOG, caption, "*", ms, "key", "found", name, *(self.settling() if settle else ()))

    def close_box(self, caption):
        """Presses the close box of the dialog box of that caption; waits
        until the box has gone and the main window has dealt with it."""
        self.wait_gone(caption, ("find", DIALOG, caption, "*", 0, "post", "found", WM_SYSCOMMAND, SC_CLOSE, 0))

    def wait_gone(self, caption, acting):
        """Runs the driver's verbs acting, which find the box and act on it;
        then waits until that box has gone, and the main window, when there is
        one, has dealt with what followed: the box's thread handles the
        settling marker only after the box's input."""
        deadline = time.monotonic() + SETTLE_SECONDS
        window = None
        while True:
            replies = self.drive(*acting, *(self.settling() if self.window else ()), "find", DIALOG, caption, "*", 0)
            window = window or replies[0]["window"]
            if window not in replies[-1].values("window"):
                return
            if time.monotonic() > deadline:
                raise AssertionError('the "%s" box stays open' % caption)
            acting = ()
            time.sleep(0.02)

    # ---- The full-screen test

    def screen(self, ms):
        """test.exe's full-screen window, shown within ms ms, as its props;
        "front" tells whether it came to the front in the time a user would
        give it (test.exe shows its window, then takes the foreground)."""
        screen = dict(self.drive("find", SCREEN_CLASS, "*", "*", ms, "props", "found")[1].pairs)
        return poll(lambda: self.props(screen["window"]), lambda props: props["front"] == "yes", SETTLE_SECONDS)

    def screens(self):
        """How many full-screen windows are shown."""
        return self.count(SCREEN_CLASS, "*")

    def held(self, ms):
        """Waits up to ms ms for the main window to take no input, as while a
        full-screen test runs."""
        if poll(lambda: self.props(self.window)["enabled"], lambda enabled: enabled == "no", ms / 1000) != "no":
            raise AssertionError("the main window still takes input")

    def ping(self, count):
        """Sends the main window count messages from another program, one at a
        time; returns how long each took to be answered, in ms."""
        return [float(self.drive("send", self.window, WM_NULL, 0, 0, HANG_MS)[0]["took-ms"]) for _ in range(count)]

    def end_screen(self, how):
        """Ends the running test.exe as the user would, by a key or a click on
        its window, or from outside, as the system's Close Program box does;
        waits for its end (held: Enter held down for two seconds, its
        auto-repeat and its release). Returns its exit code, the ms from its end to the
        main window answering a message, and whether the main window is then
        in front."""
        if how != "outside" and not self.screens():
            raise AssertionError("no full-screen window is open")
        ending = {"key": ("key", "user", "space"), "held": ("hold", "enter", 2000), "outside": ("process", "end"),
                  "click": ("find", SCREEN_CLASS, "*", "*", 0, "click", "found", "user"),
                  "front": ("find", *OTHER_PROGRAM, "*", 10000, "front", "found")}[how]
        if how == "front":  # another program's window comes to the front
            self.other = stand_window(*OTHER_PROGRAM)
        replies = self.drive("process", "open", TEST_PROGRAM.name, *ending, "process", "wait", 10000,
                             "send", self.window, WM_NULL, 0, 0, 10000, *self.settling(), "props", self.window)
        ended, answered, main = replies[-4], replies[-3], replies[-1]
        return {"exit-code": int(ended["exit-code"]), "main-front": main["front"],
                "answer-delay-ms": float(answered["answered-at"]) - float(ended["ended-at"])}

    def wait_exit(self, seconds=EXIT_SECONDS):
        """True when the program's process ended within the time."""
        try:
            self.process.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    def running(self):
        return self.process is not None and self.process.poll() is None

    def stop_at(self, function, match, count=1):
        """Has a driver in the background debug the program and end it (exit
        code 9) as it begins its count-th call of the imported function whose
        first argument, a string, holds match (* for any); returns once the
        driver is attached. stopped() then tells whether it ended it there."""
        slot = self.image.import_slot(function)
        self.stopper_output = tempfile.TemporaryFile(dir=str(scratch_folder()))
        self.stopper = subprocess.Popen(
            [WINE, str(DRIVER), "stop", self.program.name, hex(slot), match, str(count), str(COMMAND_SECONDS * 1000)],
            env=wine_env(), cwd=str(PRODUCT), stdin=subprocess.DEVNULL, stdout=self.stopper_output,
            stderr=subprocess.DEVNULL)
        poll(lambda: self.stopper.poll() is not None or b"attached=yes" in self.stopper_out(),
             lambda attached: attached, COMMAND_SECONDS)
        if b"attached=yes" not in self.stopper_out():
            raise DriverError("driver stop: not attached\n%s" % self.stopper_out().decode("utf-8", "replace"))

    def stopper_out(self):
        self.stopper_output.seek(0)
        return self.stopper_output.read()

    def stopped(self):
        """Whether the driver of stop_at ended the program as asked."""
        self.stopper.wait(timeout=COMMAND_SECONDS + SETTLE_SECONDS)
        out = self.stopper_out()
        self.transcript.write("$ driver stop\n%s" % out.decode("utf-8", "replace"))
        return b"stopped=yes" in out and self.wait_exit()

    def close(self):
        """Ends the run and keeps the files it left beside its trace."""
        if self.closed:
            return
        self.closed = True
        stop_prefix()
        if self.process is not None:
            try:
                self.process.wait(timeout=EXIT_SECONDS)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=EXIT_SECONDS)
        if self.trace is not None:
            self.trace.close()
        self.transcript.close()
        for path in (SYSTEM_INI, SYSTEM_OLD):
            if path.exists():
                shutil.copyfile(path, self.folder / path.name)
            elif (self.folder / path.name).exists():
                (self.folder / path.name).unlink()


def read_or_none(path):
    return path.read_bytes() if path.exists() else None


def save_settings_files(paths=(SYSTEM_INI, SYSTEM_OLD)):
    """The files of the Windows directory as they stand (the prefix's own
    system.ini and system.old unless told), to put back afterwards."""
    return {path: read_or_none(path) for path in paths}


def restore_settings_files(saved):
    for path, content in saved.items():
        if content is None:
            if path.exists():
                path.unlink()
        else:
            path.write_bytes(content)


# ---- Copies of the program elsewhere --------------------------------------------


def install_copy(folder, with_test=True):
    """Copies hueline.exe, its sounds and (unless told not to) test.exe into
    the folder of the prefix's drive C given as a Windows path below C:\
    (spaces allowed); returns the copy of hueline.exe."""
    target = PREFIX / "drive_c" / Path(*folder.split("\\"))
    if target.exists():
        shutil.rmtree(target)
    target.mkdir(parents=True)
    names = ["hueline.exe"] + list(SOUNDS) + (["test.exe"] if with_test else [])
    for name in names:
        shutil.copyfile(PRODUCT / name, target / name)
    return target / "hueline.exe"


CD_LETTER = "d:"
CD_FOLDER = ARTEFACTS / "cd"


def insert_cd():
    """Unpacks the CD image of make dist into a folder that nothing can
    write to, not even root, and makes it drive D: of the prefix; returns
    the Unix path of HUELINE.EXE there."""
    eject_cd()
    images = sorted((BUILD / "dist").glob("*.iso"))
    if len(images) != 1:
        raise AssertionError("want one CD image in build/dist (make dist), found %s" % images)
    subprocess.run(["xorriso", "-osirrox", "on", "-indev", str(images[0]), "-extract", "/", str(CD_FOLDER)],
                   check=True, timeout=COMMAND_SECONDS, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if WINE_ENV["HUELINE_WINE_ARCH"] == "64":
        # The 64-bit build: the CD as made, with the twins of its executables.
        for name in ("hueline.exe", "test.exe"):
            shutil.copyfile(PRODUCT / name, CD_FOLDER / name.upper())
    set_unwritable(CD_FOLDER, True)
    (PREFIX / "dosdevices" / CD_LETTER).symlink_to(CD_FOLDER)
    return CD_FOLDER / "HUELINE.EXE"


def eject_cd():
    """Takes drive D: away again, and the unpacked CD with it."""
    drive = PREFIX / "dosdevices" / CD_LETTER
    if drive.is_symlink():
        drive.unlink()
    if CD_FOLDER.exists():
        set_unwritable(CD_FOLDER, False)
        subprocess.run(["chmod", "-R", "u+w", str(CD_FOLDER)], check=True, timeout=COMMAND_SECONDS)
        shutil.rmtree(CD_FOLDER)


# What Wine's +file trace says of each file a process opens, and of one
# that is not there. A name is written as in C, "\\\\" for one backslash.
NT_CREATE = re.compile(r'^[0-9a-f]{4}:trace:file:NtCreateFile handle=\S+ access=([0-9a-f]+) '
                       r'name=L"((?:[^"\\]|\\.)*)" .* disp=(\d+) options=([0-9a-f]+) ')
NOT_FOUND = re.compile(r'^[0-9a-f]{4}:warn:file:NtCreateFile L"((?:[^"\\]|\\.)*)" not found ')
# Write, append, write attributes or extended attributes, delete a child,
# delete, change the owner or the access list, generic write or all.
WRITE_ACCESS = 0x500D0156
FILE_OPEN = 1
FILE_DELETE_ON_CLOSE = 0x1000


def files_used(trace_path, folder):
    """From a trace with +file: the files in folder (a Windows path ending in
    a backslash) that were there when opened, in lower case, and every
    attempt to create, change or delete anything there."""
    def in_folder(name):
        name = name.replace("\\\\", "\\").lower()
        return name[len("\\??\\"):] if name.startswith("\\??\\" + folder.lower()) else None

    opened, writes = set(), []
    for line in trace_path.read_bytes().decode("latin-1").splitlines():
        match = NT_CREATE.match(line)
        if match and in_folder(match.group(2)):
            access, disposition, options = int(match.group(1), 16), int(match.group(3)), int(match.group(4), 16)
            if access & WRITE_ACCESS or disposition != FILE_OPEN or options & FILE_DELETE_ON_CLOSE:
                writes.append(line)
            opened.add(in_folder(match.group(2)))
        match = NOT_FOUND.match(line)
        if match and in_folder(match.group(1)):
            opened.discard(in_folder(match.group(1)))
    opened.discard(folder.lower())
    return opened, writes


def run_test_program(*words):
    """Runs test.exe on its own with these arguments; returns its exit code
    and what it wrote to its output."""
    scratch = scratch_folder()
    with tempfile.TemporaryFile(dir=str(scratch)) as output:
        done = subprocess.run([WINE, str(TEST_PROGRAM)] + list(words), env=wine_env(), cwd=str(PRODUCT),
                              stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.DEVNULL,
                              timeout=COMMAND_SECONDS)
        output.seek(0)
        return done.returncode, output.read().decode("latin-1")


def set_unwritable(path, unwritable):
    """Makes every write to the file, or to a folder and everything in it,
    fail (chattr +i: even root, even under Wine), or undoes it."""
    subprocess.run(["chattr", "-R", "+i" if unwritable else "-i", str(path)], check=True,
                   timeout=COMMAND_SECONDS, stdout=subprocess.DEVNULL)


def marker_block(back, text):
    """The five lines the program writes after [386Enh], for two colour digits."""
    return (
        b";; Following 2 lines by Hueline (hueline@hueline.org)\r\n"
        b";; They are used to change the color of the blue screen of death\r\n"
        b"MessageBackColor=" + back + b"\r\n"
        b"MessageTextColor=" + text + b"\r\n"
        b";; End of Hueline Lines\r\n"
    )


def start_second_copy(log_path, seconds=EXIT_SECONDS):
    """Starts hueline.exe once more beside a running one; returns its exit
    status, or None when it was still running after the time."""
    with open(log_path, "wb") as log:
        second = subprocess.Popen([WINE, str(PROGRAM)], cwd=str(PRODUCT), env=wine_env(),
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log)
        try:
            return second.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            second.kill()
            second.wait(timeout=seconds)
            return None
