"""Runs the real hueline.exe under Wine in the project's prefix and works it
through hueline_driver.exe, a second program in the same prefix.

What cannot be seen under Wine (sounds, the forced restart) is read from Wine's
relay trace of the program, limited by the prefix's RelayInclude setting
(tools/wine_prefix.sh) to the calls of traced_calls.txt.

The prefix stands for one machine at a time (MACHINE, set by use_machine):
Windows 98 at 96 dots per inch with the bitmap "MS Sans Serif", the one the
program is made for, or one of the others users have (Large Fonts, no bitmap
dialog font, the NT family).

Wine's environment comes from tools/wine.env, and the control and command
numbers from resources/resource.h, as the program's own code takes them.
"""

import os
import re
import shutil
import struct
import subprocess
import tempfile
from pathlib import Path
from types import SimpleNamespace
from typing import NamedTuple

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build"


def read_wine_env():
    """Wine's environment as tools/wine.env sets it."""
    env = {}
    for line in (ROOT / "tools" / "wine.env").read_text().splitlines():
        if line and not line.startswith("#"):
            name, _, value = line.partition("=")
            env[name] = value
    env["WINEPREFIX"] = str(ROOT / env["WINEPREFIX"])
    return env


def read_resource_ids():
    """The #defines of resources/resource.h, as ID.IDC_EXIT and the like."""
    header = (ROOT / "resources" / "resource.h").read_text()
    return SimpleNamespace(**{name: int(value) for name, value in
                              re.findall(r"^#define\s+(\w+)\s+(\d+)\s*$", header, re.M)})


def read_traced_calls():
    """The calls the prefix traces, as "dll.Function"."""
    lines = (HERE / "traced_calls.txt").read_text().splitlines()
    return [line.strip() for line in lines if line.strip() and not line.startswith("#")]


HERE = Path(__file__).resolve().parent
WINE_ENV = read_wine_env()
ID = read_resource_ids()
TRACED_CALLS = read_traced_calls()
PREFIX = Path(WINE_ENV["WINEPREFIX"])
WINDOWS = PREFIX / "drive_c" / "windows"
SYSTEM_INI = WINDOWS / "system.ini"
SYSTEM_OLD = WINDOWS / "system.old"
MARK = WINDOWS / "hueline.mrk"   # the journal: stands while a rewrite of system.ini is under way
COPY = WINDOWS / "hueline.bak"   # the new copy of system.ini, before it becomes system.old
KEEP_FILES = object()            # a Session on the files as an earlier run left them
PRODUCT = BUILD / "product"
PROGRAM = PRODUCT / "hueline.exe"
DRIVER = BUILD / "wine-tests" / "hueline_driver.exe"
ARTEFACTS = BUILD / "e2e"
IDYES, IDNO = 6, 7


def windows_path(name):
    """A file of the Windows directory as the program names it in its messages."""
    return "C:\\windows\\" + name

WAIT_MS = 30000          # for the main window to come up
EXIT_SECONDS = 20        # for the process to end once its window has closed
COMMAND_SECONDS = 60     # for one run of the driver or of wineserver


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
NT_NOTICE = ("Windows NT, 2000 and XP do not use these colors: they belong to the system message screen "
             "of Windows 95, 98 and Me.\nHueline still changes system.ini when you apply or restore, "
             "but on this computer that changes nothing.")


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
    subprocess.run(["wine", "reg", "import", "C:\\hueline-machine.reg"], env=env, check=True,
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
    for args in (["wineserver", "-k"], ["wineserver", "-w"]):
        try:
            subprocess.run(args, env=wine_env(), stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=COMMAND_SECONDS)
        except subprocess.TimeoutExpired:
            pass


class DriverError(AssertionError):
    pass


def run_driver(*actions, log=None):
    """Runs the driver once; returns its "name=value" lines as (name, value)
    pairs in order. A failing action raises DriverError with its output.

    Its output goes to a file, not a pipe: Wine processes that the driver's
    start brings up (the desktop, the services) inherit its handles and keep
    a pipe open long after the driver has ended."""
    args = ["wine", str(DRIVER)] + [str(a) for a in actions]
    scratch = ARTEFACTS / "tmp"
    scratch.mkdir(parents=True, exist_ok=True)
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
        log.write("$ driver %s\n%s" % (" ".join(map(str, actions)), out))
        log.flush()
    if status != 0:
        raise DriverError("driver %s: %s\n%s" % (" ".join(map(str, actions)), status, out))
    pairs = []
    for line in out.splitlines():
        name, sep, value = line.partition("=")
        if sep:
            pairs.append((name, value))
    return pairs


class Image:
    """The executable's file, to read the strings its code passes by address."""

    def __init__(self, path):
        self.data = Path(path).read_bytes()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("%s is not a PE file" % path)
        sections = struct.unpack_from("<H", self.data, pe + 6)[0]
        optional_size = struct.unpack_from("<H", self.data, pe + 20)[0]
        optional = pe + 24
        self.base = struct.unpack_from("<I", self.data, optional + 28)[0]
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            virtual_size, address, raw_size, raw_at = struct.unpack_from(
                "<IIII", self.data, table + 40 * i + 8)
            self.sections.append((address, max(virtual_size, raw_size), raw_at, raw_size))

    def string_at(self, address):
        offset = address - self.base
        for start, size, raw_at, raw_size in self.sections:
            if start <= offset < start + size and offset - start < raw_size:
                begin = raw_at + offset - start
                end = self.data.find(b"\0", begin)
                return self.data[begin:end].decode("latin-1")
        return None


# Wine's trace spells some modules in capitals (KERNEL32): names are matched
# without regard to case and reported as traced_calls.txt spells them.
CALL = re.compile(r"^([0-9a-f]{4}):Call (%s)\((.*)\) ret=[0-9a-f]+$"
                  % "|".join(re.escape(name) for name in TRACED_CALLS), re.IGNORECASE)
CALL_NAMES = {name.lower(): name for name in TRACED_CALLS}
QUOTED = re.compile(r'"((?:[^"\\]|\\.)*)"')


def parse_calls(text, thread, image):
    """The traced calls made by one thread, in order, as tuples:
    ("sound", file or None, flags), ("restart", flags, reserved),
    ("question", owner, text, caption, style), ("check", item, state),
    ("end", window, result), ("shell", owner, verb, file, parameters,
    directory, show), ("launch", program, command line), ("flush-profiles",
    file) (and ("profile", file) for any other profile write)."""
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
            calls.append(("sound", sound, int(words[-1], 16)))
        elif name == "user32.ExitWindowsEx":
            calls.append(("restart", int(words[0], 16), int(words[1], 16)))
        elif name == "user32.MessageBoxA":
            texts = [t.encode("latin-1").decode("unicode_escape") for t in QUOTED.findall(args)]
            texts += [None] * (2 - len(texts))
            calls.append(("question", words[0], texts[0], texts[1], int(words[-1], 16)))
        elif name == "user32.CheckMenuItem":
            calls.append(("check", int(words[1], 16), int(words[2], 16)))
        elif name == "user32.EndDialog":
            calls.append(("end", words[0], int(words[1], 16)))
        elif name == "shell32.ShellExecuteA":
            calls.append(("shell", words[0]) + tuple(shell_strings(args, image)) + (int(words[-1], 16),))
        elif name == "kernel32.CreateProcessA":
            texts = [t.encode("latin-1").decode("unicode_escape") for t in QUOTED.findall(args)]
            texts += [None] * (2 - len(texts))
            calls.append(("launch", texts[0], texts[1]))
        elif name == "kernel32.WritePrivateProfileStringA":
            # Three nulls and a file: the flush of the system's profile cache.
            nulls = all(int(word.split()[0], 16) == 0 for word in words[:3])
            calls.append(("flush-profiles" if nulls else "profile", image.string_at(int(words[3].split()[0], 16))))
    return calls


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
        if system_ini is KEEP_FILES:
            return
        if system_ini is None:
            if SYSTEM_INI.exists():
                SYSTEM_INI.unlink()
        else:
            SYSTEM_INI.write_bytes(system_ini)
        for path in (SYSTEM_OLD, MARK, COPY):
            if path.is_dir():
                path.rmdir()
            elif path.exists():
                path.unlink()

    def open(self):
        """Starts the program and waits for its main window; on the NT family
        first sees the notice it gives at every start, and closes it."""
        self.launch()
        if MACHINE.nt:
            notice = dict(self.drive("message", WAIT_MS))
            if notice.get("message-text") != NT_NOTICE.replace("\n", "|"):
                raise AssertionError("no notice that NT does not use the colours: %s" % notice)
            self.drive("ok")
        self.attach()

    def launch(self):
        """Starts the program; attach() then waits for its main window."""
        # The prefix's own processes (services, desktop) start first, untraced,
        # so that the trace holds the program alone.
        self.drive("gone", 0)
        self.trace = open(self.trace_path, "wb")
        self.process = subprocess.Popen(["wine", str(self.program)], cwd=str(self.program.parent),
                                        env=wine_env(self.debug), stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=self.trace)

    def attach(self):
        found = dict(self.drive("wait", WAIT_MS))
        self.window = found["main-window"]
        self.thread = found["main-thread"]

    def drive(self, *actions):
        return run_driver(*actions, log=self.transcript)

    def state(self):
        return dict(self.drive("state"))

    def mark(self):
        self.trace.flush()
        return self.trace_path.stat().st_size

    def calls(self, since=0, flushes=False):
        """The traced calls of the program's window thread since a mark();
        the flushes of the profile cache only when asked for."""
        with open(self.trace_path, "rb") as trace:
            trace.seek(since)
            text = trace.read().decode("latin-1")
        return [call for call in parse_calls(text, self.thread, self.image)
                if flushes or call[0] != "flush-profiles"]

    def act(self, *actions):
        """Runs actions; returns the traced calls they caused."""
        since = self.mark()
        self.drive(*actions)
        return self.calls(since)

    def wait_exit(self, seconds=EXIT_SECONDS):
        """True when the program's process ended within the time."""
        try:
            self.process.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    def running(self):
        return self.process is not None and self.process.poll() is None

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


class Picture:
    """A picture of part of the screen, as rows of RGB pixels."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def pixel(self, x, y):
        at = 3 * (y * self.width + x)
        return tuple(self.pixels[at:at + 3])

    def count(self, colour, box):
        """How many pixels inside box (x, y, width, height) are of colour."""
        x0, y0, width, height = box
        return sum(1 for y in range(y0, y0 + height) for x in range(x0, x0 + width)
                   if self.pixel(x, y) == colour)

    def most_common(self):
        counts = {}
        for at in range(0, len(self.pixels), 3):
            colour = tuple(self.pixels[at:at + 3])
            counts[colour] = counts.get(colour, 0) + 1
        return max(counts, key=counts.get)


def screenshot(rect, path):
    """Saves the part of the screen inside rect (x, y, width, height) as the
    picture file path, and returns it as a Picture."""
    x, y, width, height = rect
    env = dict(os.environ)
    scratch = ARTEFACTS / "tmp"
    scratch.mkdir(parents=True, exist_ok=True)
    env["MAGICK_TEMPORARY_PATH"] = str(scratch)
    subprocess.run(["/usr/bin/import", "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (width, height, x, y), "+repage", str(path)],
                   env=env, check=True, timeout=COMMAND_SECONDS,
                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    done = subprocess.run(["/usr/bin/convert", str(path), "-depth", "8", "ppm:-"],
                          env=env, check=True, timeout=COMMAND_SECONDS, stdout=subprocess.PIPE)
    # A binary PPM: "P6", width, height, maximum value, one white space, pixels.
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", done.stdout)
    if not header:
        raise ValueError("%s: not an 8-bit picture" % path)
    width, height = int(header.group(1)), int(header.group(2))
    pixels = done.stdout[header.end():]
    if len(pixels) != 3 * width * height:
        raise ValueError("%s: %d bytes of pixels for %dx%d" % (path, len(pixels), width, height))
    return Picture(width, height, pixels)


def grab_screen(*crop):
    """The screen as (width, height, RGB bytes), or the part of it that crop
    (width, height, x, y) names."""
    env = dict(os.environ)
    scratch = ARTEFACTS / "tmp"
    scratch.mkdir(parents=True, exist_ok=True)
    env["MAGICK_TEMPORARY_PATH"] = str(scratch)
    args = ["/usr/bin/import", "-window", "root"]
    if crop:
        args += ["-crop", "%dx%d+%d+%d" % crop, "+repage"]
    done = subprocess.run(args + ["-depth", "8", "ppm:-"], env=env, check=True, timeout=COMMAND_SECONDS,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    # A binary PPM: "P6", width, height, maximum value, one white space, pixels.
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", done.stdout)
    if not header:
        raise ValueError("not an 8-bit PPM picture of the screen")
    width, height = int(header.group(1)), int(header.group(2))
    return width, height, done.stdout[header.end():header.end() + 3 * width * height]


def screen_pixels(x, y, width, height):
    """The screen's pixels inside a rectangle: rows top down of (R, G, B)."""
    got_width, got_height, data = grab_screen(width, height, x, y)
    if (got_width, got_height) != (width, height):
        raise ValueError("a picture of %dx%d, not %dx%d" % (got_width, got_height, width, height))
    return [[tuple(data[3 * (row * width + i):3 * (row * width + i) + 3]) for i in range(width)]
            for row in range(height)]

# ---- The full-screen test -------------------------------------------------------

TEST_PROGRAM = PRODUCT / "test.exe"
WAVES = ["click.wav", "refresh.wav", "cancel.wav", "restore.wav", "apply.wav", "testing.wav"]


def install_copy(folder, with_test=True):
    """Copies hueline.exe, its sounds and (unless told not to) test.exe into
    the folder of the prefix's drive C given as a Windows path below C:\
    (spaces allowed); returns the copy of hueline.exe."""
    target = PREFIX / "drive_c" / Path(*folder.split("\\"))
    if target.exists():
        shutil.rmtree(target)
    target.mkdir(parents=True)
    names = ["hueline.exe"] + WAVES + (["test.exe"] if with_test else [])
    for name in names:
        shutil.copyfile(PRODUCT / name, target / name)
    return target / "hueline.exe"


CD_LETTER = "d:"
CD_FOLDER = ARTEFACTS / "cd"


def set_unwritable_tree(folder, unwritable):
    """chattr +i (or -i) on a folder and everything in it."""
    subprocess.run(["chattr", "-R", "+i" if unwritable else "-i", str(folder)], check=True,
                   timeout=COMMAND_SECONDS, stdout=subprocess.DEVNULL)


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
    set_unwritable_tree(CD_FOLDER, True)
    (PREFIX / "dosdevices" / CD_LETTER).symlink_to(CD_FOLDER)
    return CD_FOLDER / "HUELINE.EXE"


def eject_cd():
    """Takes drive D: away again, and the unpacked CD with it."""
    drive = PREFIX / "dosdevices" / CD_LETTER
    if drive.is_symlink():
        drive.unlink()
    if CD_FOLDER.exists():
        set_unwritable_tree(CD_FOLDER, False)
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


def root_pixels():
    """The whole screen of the display as (width, height, RGB bytes)."""
    return grab_screen()


def pixel(picture, x, y):
    width, height, data = picture
    at = 3 * (y * width + x)
    return tuple(data[at:at + 3])


def colour_counts(picture):
    """How many pixels of each colour the picture holds."""
    width, height, data = picture
    counts = {}
    view = memoryview(data)
    for at in range(0, 3 * width * height, 3):
        key = bytes(view[at:at + 3])
        counts[key] = counts.get(key, 0) + 1
    return {tuple(k): n for k, n in counts.items()}


def save_root(path):
    """Saves a picture of the whole screen."""
    env = dict(os.environ)
    scratch = ARTEFACTS / "tmp"
    scratch.mkdir(parents=True, exist_ok=True)
    env["MAGICK_TEMPORARY_PATH"] = str(scratch)
    subprocess.run(["/usr/bin/import", "-window", "root", str(path)], env=env, check=True,
                   timeout=COMMAND_SECONDS, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def run_test_program(*words):
    """Runs test.exe on its own with these arguments; returns its exit code
    and what it wrote to its output."""
    scratch = ARTEFACTS / "tmp"
    scratch.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryFile(dir=str(scratch)) as output:
        done = subprocess.run(["wine", str(TEST_PROGRAM)] + list(words), env=wine_env(), cwd=str(PRODUCT),
                              stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.DEVNULL,
                              timeout=COMMAND_SECONDS)
        output.seek(0)
        return done.returncode, output.read().decode("latin-1")


def set_unwritable(path, unwritable):
    """Makes every write to the file fail (chattr +i: even root, even under
    Wine), or undoes it."""
    subprocess.run(["chattr", "+i" if unwritable else "-i", str(path)], check=True,
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
        second = subprocess.Popen(["wine", str(PROGRAM)], cwd=str(PRODUCT), env=wine_env(),
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log)
        try:
            return second.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            second.kill()
            second.wait(timeout=seconds)
            return None
