#!/usr/bin/env python3
"""Makes the release: the same nine files as a zip, as a 1.44 MB floppy image
and as a CD image, and SHA256SUMS for the three.

Usage: make_dist.py TIME FOLDER/NAME HUELINE.EXE TEST.EXE WAVE... README

makes FOLDER/NAME-win32.zip, FOLDER/NAME.img (FAT12, made by mtools) and
FOLDER/NAME.iso (ISO 9660 level 1 with Joliet, made by xorriso), and
FOLDER/SHA256SUMS. TIME (seconds since 1970, taken as UTC) is every date they
hold: each file's time, the floppy's label and serial number, the CD's volume
dates.

Every file goes in under its 8.3 name in capitals (README as README.TXT),
with no folder. README is kept in the source as plain text with LF line ends
and is written as ASCII with CR LF line ends; anything that is not printable
ASCII stops the packing. Everything is made in a scratch folder and moved
into FOLDER when whole, SHA256SUMS last.
"""
import hashlib
import os
import re
import subprocess
import sys
import tempfile
import time
import zipfile

EIGHT_THREE = re.compile(r"^[A-Z0-9_-]{1,8}\.[A-Z0-9_-]{1,3}$")
VOLUME_LABEL = "HUELINE"   # of the floppy and the CD
FLOPPY_KILOBYTES = 1440
SUMS = "SHA256SUMS"


def readme_bytes(path):
    text = open(path, "rb").read()
    if b"\r" in text:
        raise SystemExit("%s: keep it with LF line ends; the release gets CR LF" % path)
    for number, line in enumerate(text.split(b"\n"), 1):
        if any(b < 0x20 or b > 0x7E for b in line):
            raise SystemExit("%s:%d: only printable ASCII may stand in README.TXT" % (path, number))
    if not text.endswith(b"\n"):
        text += b"\n"
    return text.replace(b"\n", b"\r\n")


def dos_name(path):
    name = os.path.basename(path).upper()
    if name == "README.TXT" or path.endswith("readme.txt"):
        name = "README.TXT"
    if not EIGHT_THREE.match(name):
        raise SystemExit("%s: %s is not an 8.3 name" % (path, name))
    return name


def stage(files, folder, when):
    """Writes the files under their 8.3 names into folder, dated when;
    returns the names in order."""
    names = []
    for path in files:
        name = dos_name(path)
        if name in names:
            raise SystemExit("%s twice in the release" % name)
        names.append(name)
        data = readme_bytes(path) if name == "README.TXT" else open(path, "rb").read()
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)
        os.utime(os.path.join(folder, name), (when, when))
    os.utime(folder, (when, when))
    return names


def make_zip(target, folder, names, when):
    stamp = time.gmtime(max(when, 315532800))[:6]  # zip dates start in 1980
    with zipfile.ZipFile(target, "w") as archive:
        for name in names:
            info = zipfile.ZipInfo(name, stamp)
            info.create_system = 0               # made on MS-DOS: plain attributes
            info.external_attr = 0x20            # the archive bit
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, open(os.path.join(folder, name), "rb").read())


def tool_env(when):
    """mtools and xorriso take "now" from SOURCE_DATE_EPOCH and write local
    times: UTC, like the zip."""
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(when), TZ="UTC0", LC_ALL="C")
    env["MTOOLSRC"] = os.devnull   # no user's mtools settings
    return env


def run(args, env):
    done = subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT)
    if done.returncode != 0:
        raise SystemExit("%s failed (%d):\n%s" % (args[0], done.returncode,
                                                 done.stdout.decode("utf-8", "replace")))


def make_floppy(target, folder, names, when):
    env = tool_env(when)
    # The serial number DOS would make from the date; here the release time.
    serial = "%08x" % (when & 0xFFFFFFFF)
    run(["mformat", "-i", target, "-C", "-f", str(FLOPPY_KILOBYTES), "-v", VOLUME_LABEL,
         "-N", serial, "::"], env)
    run(["mcopy", "-i", target, "-m"] + [os.path.join(folder, n) for n in names] + ["::"], env)


def make_cd(target, folder, when):
    # No Rock Ridge: it would record the build's owners and permissions.
    run(["xorriso", "-as", "mkisofs", "-quiet", "-iso-level", "1", "-J", "--norock",
         "-V", VOLUME_LABEL, "-o", target, folder], tool_env(when))


def main():
    if len(sys.argv) != 12:
        raise SystemExit("usage: make_dist.py TIME FOLDER/NAME HUELINE.EXE TEST.EXE WAVE*6 README")
    when, base, files = int(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3:]
    dist, name = os.path.split(base)
    os.makedirs(dist, exist_ok=True)
    made = [name + "-win32.zip", name + ".img", name + ".iso"]
    with tempfile.TemporaryDirectory(dir=dist, prefix=".making-") as scratch:
        folder = os.path.join(scratch, "files")
        os.mkdir(folder)
        names = stage(files, folder, when)
        out = [os.path.join(scratch, m) for m in made]
        make_zip(out[0], folder, names, when)
        make_floppy(out[1], folder, names, when)
        make_cd(out[2], folder, when)
        sums = "".join("%s  %s\n" % (hashlib.sha256(open(o, "rb").read()).hexdigest(), m)
                       for o, m in zip(out, made))
        if os.path.exists(os.path.join(dist, SUMS)):
            os.remove(os.path.join(dist, SUMS))
        for o, m in zip(out, made):
            os.replace(o, os.path.join(dist, m))
        with open(os.path.join(scratch, SUMS), "w") as f:
            f.write(sums)
        os.replace(os.path.join(scratch, SUMS), os.path.join(dist, SUMS))
    for m in made:
        print("dist: %s (%d bytes)" % (os.path.join(dist, m), os.path.getsize(os.path.join(dist, m))))
    print("dist: %d files in each, %s" % (len(names), os.path.join(dist, SUMS)))


if __name__ == "__main__":
    main()
