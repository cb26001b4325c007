#!/usr/bin/env python3
"""Checks the release that make_dist.py made: the zip, the floppy image and
the CD image each hold exactly the files a Windows 9x user needs, under 8.3
names, the same bytes as the build made, with a README.TXT that Notepad on
Windows 95 shows as it should (printable ASCII, every line ended by CR LF);
SHA256SUMS gives the sum of each.

The images are read back with other tools than the ones that wrote them
(mtools and xorriso): the floppy's structure, label and names by dosfstools
(fsck.fat -n, fatlabel), its files by mcopy; the CD's two name trees, ISO 9660
and Joliet, and their files by isoinfo.

Usage: check_dist.py FOLDER/NAME PRODUCT_FOLDER
"""
import hashlib
import os
import re
import subprocess
import sys
import tempfile
import zipfile

from make_dist import EIGHT_THREE, FLOPPY_KILOBYTES, SUMS, VOLUME_LABEL, readme_bytes

RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
sys.path.insert(0, RESOURCES)
from make_waves import SOUNDS  # noqa: E402  (the one list of the sounds)

README_SOURCE = os.path.join(RESOURCES, "readme.txt")
WAVES = [name.upper() for name in SOUNDS]
EXPECTED = ["HUELINE.EXE", "TEST.EXE"] + WAVES + ["README.TXT"]
# What README.TXT must tell: needs, install from each medium, and the way back by hand.
README_MUST_SAY = [
    b"Windows 95 or Windows 98", b"486", b"HUELINE.EXE", b"floppy", b"CD",
    b"before the latest Apply or",
    # the recovery at a DOS prompt: how to reach one on 95, 98 and Me, the lists, and the exact commands
    b"press F8", b"hold down the Ctrl key", b"Windows Me Startup disk", b"dir /a SYSTEM.*", b"dir /a HUELINE.*",
    b"type HUELINE.MRK", b"attrib -r SYSTEM.INI", b"copy /y HUELINE.NEW SYSTEM.INI",
    b"copy /y HUELINE.BAK SYSTEM.INI", b"copy /y SYSTEM.OLD SYSTEM.INI", b"del HUELINE.MRK",
    b"more < C:\\README.TXT",
]


def run_tool(args):
    """What a reading tool wrote to its output (bytes), with its messages
    after it, and its exit status."""
    done = subprocess.run(args, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          env=dict(os.environ, LC_ALL="C", MTOOLSRC=os.devnull), timeout=60)
    return done.stdout, done.stderr.decode("latin-1"), done.returncode


def output_of(args):
    """What a reading tool printed, as text, and its exit status."""
    out, messages, status = run_tool(args)
    return out.decode("latin-1") + messages, status


def zip_files(path):
    """The zip's files as {name: bytes}, and what is wrong with it."""
    with zipfile.ZipFile(path) as archive:
        bad = archive.testzip()
        files = {name: archive.read(name) for name in archive.namelist()}
    return files, ["%s is damaged" % bad] if bad else []


def floppy_files(path):
    problems = []
    if os.path.getsize(path) != FLOPPY_KILOBYTES * 1024:
        problems.append("is %d bytes, not %d" % (os.path.getsize(path), FLOPPY_KILOBYTES * 1024))
    faults, status = output_of(["fsck.fat", "-n", path])
    if status != 0:
        problems.append("fsck.fat -n finds faults:\n" + faults)
    report, _ = output_of(["fsck.fat", "-n", "-v", "-l", path])
    if "2 FATs, 12 bit entries" not in report:
        problems.append("is not FAT12 with two FATs")
    # fsck.fat lists the volume label's entry among the files.
    listed = sorted(re.findall(r"^Checking file /(.*)$", report, re.M))
    if listed != sorted(EXPECTED + [VOLUME_LABEL]):
        problems.append("fsck.fat lists %s, not the files and the label %s" % (listed, VOLUME_LABEL))
    label, _ = output_of(["fatlabel", path])
    if label.strip() != VOLUME_LABEL:
        problems.append("label %r, not %r" % (label.strip(), VOLUME_LABEL))
    with tempfile.TemporaryDirectory() as folder:
        report, status = output_of(["mcopy", "-n", "-i", path, "::*", folder])
        if status != 0:
            problems.append("mcopy cannot read the files:\n" + report)
        files = {name: open(os.path.join(folder, name), "rb").read() for name in os.listdir(folder)}
    return files, problems


def cd_files(path, joliet):
    """The CD's files in one of its two name trees. ISO 9660 level 1 names
    end in the version ";1", which is taken off."""
    problems = []
    tree = ["-J"] if joliet else []
    about, status = output_of(["isoinfo", "-d", "-i", path])
    if status != 0 or "Volume id: %s\n" % VOLUME_LABEL not in about:
        problems.append("volume id is not %s:\n%s" % (VOLUME_LABEL, about))
    if joliet and "Joliet with UCS level" not in about:
        return {}, problems + ["has no Joliet names"]
    listing, messages, status = run_tool(["isoinfo"] + tree + ["-f", "-i", path])
    if status != 0 or messages:
        return {}, problems + ["isoinfo cannot list the files: %s" % messages]
    files = {}
    for entry in listing.decode("latin-1").splitlines():
        name = entry[1:]
        if not joliet:
            if not name.endswith(";1"):
                problems.append("%s is not a level 1 file name" % entry)
            name = name[:-2]
        data, messages, status = run_tool(["isoinfo"] + tree + ["-i", path, "-x", entry])
        if status != 0 or messages or "/" in name:
            problems.append("%s cannot be read or is not in the root %s" % (entry, messages))
        files[name] = data
    return files, problems


def files_problems(files, expected):
    problems = []
    if sorted(files) != sorted(expected):
        problems.append("holds %s, not %s" % (sorted(files), sorted(expected)))
    for name, data in files.items():
        if not EIGHT_THREE.match(name):
            problems.append("%s is not an 8.3 name" % name)
        elif name in expected and data != expected[name]:
            problems.append("%s differs from the build's" % name)
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


def sums_problems(folder, made):
    path = os.path.join(folder, SUMS)
    if not os.path.exists(path):
        return ["%s is missing" % SUMS]
    listed = dict((name, digest) for digest, name in re.findall(r"^([0-9a-f]{64})  (\S+)$", open(path).read(), re.M))
    if sorted(listed) != sorted(made):
        return ["%s lists %s, not %s" % (SUMS, sorted(listed), sorted(made))]
    return ["%s: %s is not the sum of %s" % (SUMS, listed[m], m) for m in made
            if hashlib.sha256(open(os.path.join(folder, m), "rb").read()).hexdigest() != listed[m]]


def main():
    base, product = sys.argv[1:3]
    folder, name = os.path.split(base)
    readers = [
        (name + "-win32.zip", "", zip_files),
        (name + ".img", "", floppy_files),
        (name + ".iso", " (ISO 9660)", lambda path: cd_files(path, joliet=False)),
        (name + ".iso", " (Joliet)", lambda path: cd_files(path, joliet=True)),
    ]
    built = {n: os.path.join(product, n.lower()) for n in EXPECTED if n != "README.TXT"}
    problems = ["%s is missing" % p for p in built.values() if not os.path.exists(p)]
    if problems:
        return report(problems)
    expected = {n: open(p, "rb").read() for n, p in built.items()}
    expected["README.TXT"] = readme_bytes(README_SOURCE)
    problems = ["README.TXT: " + p for p in readme_problems(expected["README.TXT"])]
    made = sorted(set(m for m, _, _ in readers))
    for made_name, tree, reader in readers:
        path = os.path.join(folder, made_name)
        if not os.path.exists(path):
            problems.append("%s is missing" % made_name)
            continue
        files, found = reader(path)
        problems += ["%s%s: %s" % (made_name, tree, p) for p in found + files_problems(files, expected)]
    problems += sums_problems(folder, made)
    return report(problems, "%s each hold the %d files, 8.3 names, the build's bytes, README.TXT ASCII "
                  "with CR LF; %s right" % (", ".join(made), len(EXPECTED), SUMS))


def report(problems, success=""):
    for p in problems:
        print("dist: %s" % p)
    if not problems:
        print("dist: " + success)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
