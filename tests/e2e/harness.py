"""Runs the real hueline.exe under Wine in the project's prefix and works it
through hueline_driver.exe, a second program in the same prefix.

What cannot be seen under Wine (sounds, the forced restart) is read from Wine's
relay trace of the program, limited by the prefix's RelayInclude setting
(tools/wine_prefix.sh) to the calls the tests look at.
"""

import os
import re
import shutil
import struct
import subprocess
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build"
PREFIX = BUILD / "wine"
WINDOWS = PREFIX / "drive_c" / "windows"
SYSTEM_INI = WINDOWS / "system.ini"
SYSTEM_OLD = WINDOWS / "system.old"
MARK = WINDOWS / "hueline.mrk"   # stands while a rewrite of system.ini is under way
KEEP_FILES = object()            # a Session on the files as an earlier run left them
PRODUCT = BUILD / "product"
PROGRAM = PRODUCT / "hueline.exe"
DRIVER = BUILD / "wine-tests" / "hueline_driver.exe"
ARTEFACTS = BUILD / "e2e"

WAIT_MS = 30000          # for the main window to come up
EXIT_SECONDS = 20        # for the process to end once its window has closed
COMMAND_SECONDS = 60     # for one run of the driver or of wineserver


def wine_env(debug="-all"):
    env = dict(os.environ)
    env.update(
        WINEPREFIX=str(PREFIX),
        WINEARCH="win32",
        WINEDEBUG=debug,
        WINEDLLOVERRIDES="mscoree,mshtml=",
    )
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


CALL = re.compile(r"^([0-9a-f]{4}):Call (winmm\.sndPlaySoundA|user32\.ExitWindowsEx|"
                  r"user32\.MessageBoxA|user32\.CheckMenuItem|user32\.EndDialog)\((.*)\) ret=[0-9a-f]+$")
QUOTED = re.compile(r'"((?:[^"\\]|\\.)*)"')


def parse_calls(text, thread, image):
    """The traced calls made by one thread, in order, as tuples:
    ("sound", file or None, flags), ("restart", flags, reserved),
    ("question", owner, text, caption, style), ("check", item, state),
    ("end", window, result)."""
    calls = []
    for line in text.splitlines():
        match = CALL.match(line.rstrip("\r"))
        if not match or match.group(1) != thread:
            continue
        name, args = match.group(2), match.group(3)
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
    return calls


class Session:
    """One run of hueline.exe, from a system.ini of the test's choosing."""

    def __init__(self, name, system_ini):
        self.name = name
        self.folder = ARTEFACTS / name
        self.folder.mkdir(parents=True, exist_ok=True)
        self.trace_path = self.folder / "relay.log"
        self.transcript = open(self.folder / "driver.log", "w", encoding="utf-8")
        self.image = Image(PROGRAM)
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
        for path in (SYSTEM_OLD, MARK):
            if path.exists():
                path.unlink()

    def open(self):
        """Starts the program and waits for its main window."""
        self.launch()
        self.attach()

    def launch(self):
        """Starts the program; attach() then waits for its main window."""
        # The prefix's own processes (services, desktop) start first, untraced,
        # so that the trace holds the program alone.
        self.drive("gone", 0)
        self.trace = open(self.trace_path, "wb")
        self.process = subprocess.Popen(["wine", str(PROGRAM)], cwd=str(PRODUCT),
                                        env=wine_env("+relay"), stdin=subprocess.DEVNULL,
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

    def calls(self, since=0):
        """The traced calls of the program's window thread since a mark()."""
        with open(self.trace_path, "rb") as trace:
            trace.seek(since)
            text = trace.read().decode("latin-1")
        return parse_calls(text, self.thread, self.image)

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


def screenshot(rect, path):
    """Saves the part of the screen inside rect (x, y, width, height)."""
    x, y, width, height = rect
    env = dict(os.environ)
    scratch = ARTEFACTS / "tmp"
    scratch.mkdir(parents=True, exist_ok=True)
    env["MAGICK_TEMPORARY_PATH"] = str(scratch)
    subprocess.run(["/usr/bin/import", "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (width, height, x, y), "+repage", str(path)],
                   env=env, check=True, timeout=COMMAND_SECONDS,
                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def image_facts(path):
    """Width, height and number of distinct colours of an image file."""
    done = subprocess.run(["/usr/bin/identify", "-format", "%w %h %k", str(path)],
                          check=True, timeout=COMMAND_SECONDS, stdout=subprocess.PIPE)
    width, height, colours = done.stdout.decode().split()
    return int(width), int(height), int(colours)


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
