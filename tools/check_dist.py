#!/usr/bin/env python3
"""Checks the release zip: the files a Windows 9x user needs, each under an
8.3 name, the same bytes as the build made, and a README.TXT that Notepad on
Windows 95 shows as it should (printable ASCII, every line ended by CR LF).

Usage: check_dist.py ZIP PRODUCT_FOLDER
"""
import os
import re
import sys
import zipfile

WAVES = ["CLICK.WAV", "REFRESH.WAV", "CANCEL.WAV", "RESTORE.WAV", "APPLY.WAV", "TESTING.WAV"]
EXPECTED = ["HUELINE.EXE", "TEST.EXE"] + WAVES + ["README.TXT"]
EIGHT_THREE = re.compile(r"^[A-Z0-9_-]{1,8}\.[A-Z0-9_-]{1,3}$")
# What README.TXT must tell: needs, install, and the way back by hand.
README_MUST_SAY = [
    b"Windows 95 or Windows 98", b"486", b"HUELINE.EXE",
    b"copy C:\\WINDOWS\\SYSTEM.OLD C:\\WINDOWS\\SYSTEM.INI", b"before the latest Apply or",
]


def problems_of(zip_path, product):
    problems = []
    with zipfile.ZipFile(zip_path) as archive:
        bad = archive.testzip()
        if bad:
            problems.append("%s is damaged in the zip" % bad)
        names = archive.namelist()
        if sorted(names) != sorted(EXPECTED):
            problems.append("holds %s, not %s" % (sorted(names), sorted(EXPECTED)))
        for name in names:
            if not EIGHT_THREE.match(name):
                problems.append("%s is not an 8.3 name" % name)
        for name in EXPECTED:
            if name not in names:
                continue
            data = archive.read(name)
            if name == "README.TXT":
                problems += readme_problems(data)
                continue
            built = os.path.join(product, name.lower())
            if not os.path.exists(built) or open(built, "rb").read() != data:
                problems.append("%s differs from %s" % (name, built))
    return problems


def readme_problems(data):
    problems = []
    if not data.endswith(b"\r\n"):
        problems.append("README.TXT does not end with CR LF")
    lines = data.split(b"\r\n")
    for number, line in enumerate(lines, 1):
        if b"\n" in line or b"\r" in line:
            problems.append("README.TXT line %d has a line end other than CR LF" % number)
        if any((b < 0x20 and b not in (0x0A, 0x0D)) or b > 0x7E for b in line):
            problems.append("README.TXT line %d holds a byte that is not printable ASCII" % number)
    for words in README_MUST_SAY:
        if words not in data:
            problems.append("README.TXT does not say %r" % words.decode())
    return problems


def main():
    zip_path, product = sys.argv[1:3]
    if not os.path.exists(zip_path):
        print("dist: %s is missing" % zip_path)
        return 1
    problems = problems_of(zip_path, product)
    for p in problems:
        print("dist: %s" % p)
    if not problems:
        print("dist: %s holds the %d files, 8.3 names, README.TXT ASCII with CR LF"
              % (os.path.basename(zip_path), len(EXPECTED)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
