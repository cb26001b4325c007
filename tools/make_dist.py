#!/usr/bin/env python3
"""Packs the release zip a Windows 9x user unpacks and runs.

Usage: make_dist.py ZIP HUELINE.EXE TEST.EXE WAVE... README

Every file goes in under its 8.3 name in capitals (README as README.TXT),
with no folder. README is kept in the source as plain text with LF line ends
and is written as ASCII with CR LF line ends; anything that is not printable
ASCII stops the packing. The zip is written beside its final name and
renamed when whole.
"""
import os
import re
import sys
import time
import zipfile

EIGHT_THREE = re.compile(r"^[A-Z0-9_-]{1,8}\.[A-Z0-9_-]{1,3}$")


def readme_bytes(path):
    text = open(path, "rb").read()
    if b"\r" in text:
        raise SystemExit("%s: keep it with LF line ends; the zip gets CR LF" % path)
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


def add(archive, name, data, mtime):
    stamp = time.localtime(max(mtime, 315532800))[:6]  # zip dates start in 1980
    info = zipfile.ZipInfo(name, stamp)
    info.create_system = 0               # made on MS-DOS: plain attributes
    info.external_attr = 0x20            # the archive bit
    info.compress_type = zipfile.ZIP_DEFLATED
    archive.writestr(info, data)


def main():
    target, files = sys.argv[1], sys.argv[2:]
    if len(files) != 9:
        raise SystemExit("usage: make_dist.py ZIP HUELINE.EXE TEST.EXE WAVE*6 README")
    os.makedirs(os.path.dirname(os.path.abspath(target)), exist_ok=True)
    partial = target + ".partial"
    names = set()
    with zipfile.ZipFile(partial, "w") as archive:
        for path in files:
            name = dos_name(path)
            if name in names:
                raise SystemExit("%s twice in the zip" % name)
            names.add(name)
            data = readme_bytes(path) if name == "README.TXT" else open(path, "rb").read()
            add(archive, name, data, os.path.getmtime(path))
    os.replace(partial, target)
    print("dist: %s (%d bytes, %d files)" % (target, os.path.getsize(target), len(names)))


if __name__ == "__main__":
    main()
