#!/usr/bin/env python3
"""Plants realistic single faults in the code, one at a time, and tells which
of them the host tests catch.

The faults are listed in tests/mutations/faults.txt (its head says how an entry
is written). The runner works in a scratch copy of the tree (build/mutate/src)
with its own build tree (build/mutate/build), so the working tree is never
changed. For each fault it puts the replacement in place of the original text,
rebuilds the host tests, runs them and puts the original back. `make mutate`
builds them as `make test`'s sanitizer tree does, so a fault that only reads or
writes out of bounds is caught as the test run would catch it.

A fault is caught when the tests fail (or hang, or crash) with it in place,
and survives when they pass. An entry whose original text is not in its file,
or is there more than once, is an error: the list is stale and must be mended.
So is a fault that stops the code from building: it would prove nothing.

Usage: mutate.py [--jobs N] [--only TEXT] [--min PERCENT] [--faults FILE]
                 [--cxx-flags FLAGS] [--link-flags FLAGS]
  --only TEXT   run only the faults whose file or description holds TEXT
  --min         the score below which the run fails (default 90)
The last line is "mutate: C caught, S survived, E errors of N; score P%".
"""

import argparse
import os
import re
import resource
import shutil
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
FAULTS = ROOT / "tests" / "mutations" / "faults.txt"
WORK = ROOT / "build" / "mutate"
SOURCE = WORK / "src"
BUILD = WORK / "build"
TEST_BINARY = BUILD / "hueline_tests"
TEST_SECONDS = 120         # the whole run takes about 35 s under the sanitizers
TEST_MEMORY = 1 << 30      # bytes; a fault that makes a loop grow a string stops there


def limit_memory():
    resource.setrlimit(resource.RLIMIT_AS, (TEST_MEMORY, TEST_MEMORY))


def test_environment():
    """AddressSanitizer reserves far more address space than it uses, so it
    gets a limit of its own instead of the address-space limit."""
    env = dict(os.environ)
    env["ASAN_OPTIONS"] = "hard_rss_limit_mb=%d" % (TEST_MEMORY >> 20)
    return env


class Fault:
    def __init__(self, path, description, line):
        self.path = path
        self.description = description
        self.line = line  # where the entry starts in the list
        self.original = []
        self.replacement = []

    def name(self):
        return "%s: %s" % (self.path, self.description)


def read_faults(text):
    """The entries of the list. Each begins with a line
        == path/of/file.cpp: what the fault does
    followed by the original text, one "- " line per line of it, and the
    replacement, one "+ " line per line ("+" alone is an empty line; no "+"
    lines at all removes the original). Lines starting with # and blank
    lines between entries are ignored."""
    faults = []
    current = None
    for number, line in enumerate(text.splitlines(), 1):
        if line.startswith("== "):
            path, sep, description = line[3:].partition(": ")
            if not sep or not description.strip():
                raise SystemExit("faults:%d: an entry starts '== FILE: description'" % number)
            current = Fault(path.strip(), description.strip(), number)
            faults.append(current)
        elif line.startswith("-") and current is not None and not current.replacement:
            current.original.append(line[2:] if line.startswith("- ") else "")
        elif line.startswith("+") and current is not None:
            current.replacement.append(line[2:] if line.startswith("+ ") else "")
        elif line.strip() == "" or line.startswith("#"):
            continue
        else:
            raise SystemExit("faults:%d: cannot read this line: %r" % (number, line))
    for fault in faults:
        if not fault.original:
            raise SystemExit("faults:%d: the entry has no original text" % fault.line)
    return faults


def copy_tree():
    """Brings the scratch copy up to the working tree (tracked and untracked
    files, not the ignored ones), keeping what is unchanged untouched so the
    build stays incremental."""
    listed = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                            cwd=str(ROOT), check=True, stdout=subprocess.PIPE).stdout
    wanted = set()
    for name in listed.decode().split("\0"):
        if not name or not (ROOT / name).is_file():
            continue
        wanted.add(name)
        source, copy = ROOT / name, SOURCE / name
        if copy.exists() and copy.read_bytes() == source.read_bytes():
            continue
        copy.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, copy)
    for copy in list(SOURCE.rglob("*")):
        if copy.is_file() and str(copy.relative_to(SOURCE)) not in wanted:
            copy.unlink()


def build(jobs):
    """Builds the host tests; returns (ok, output)."""
    done = subprocess.run(["cmake", "--build", str(BUILD), "--target", "hueline_tests", "-j", str(jobs)],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    return done.returncode == 0, done.stdout.decode("utf-8", "replace")


def run_tests(sanitized):
    """Runs the host tests; returns (passed, the names of the failed tests or
    how the run ended)."""
    try:
        done = subprocess.run([str(TEST_BINARY), "--gtest_brief=1"], cwd=str(BUILD),
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=TEST_SECONDS,
                              env=test_environment(), preexec_fn=None if sanitized else limit_memory)
    except subprocess.TimeoutExpired:
        return False, "the tests hung"
    output = done.stdout.decode("utf-8", "replace")
    if done.returncode == 0:
        return True, ""
    failed = re.findall(r"^\[  FAILED  \] (\S+)", output, re.M)
    failed = [name for name in dict.fromkeys(failed) if "." in name]
    if failed:
        more = " and %d more" % (len(failed) - 3) if len(failed) > 3 else ""
        return False, ", ".join(failed[:3]) + more
    sanitizer = re.search(r"ERROR: (\w+Sanitizer: [\w-]+)|(runtime error: [^\n]*)", output)
    if sanitizer:
        return False, sanitizer.group(1) or sanitizer.group(2)
    return False, "the tests ended with status %d" % done.returncode


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--only", default="")
    parser.add_argument("--min", type=float, default=90.0)
    parser.add_argument("--faults", type=Path, default=FAULTS, help="another list of faults")
    parser.add_argument("--cxx-flags", default="", help="compiler flags of the build, e.g. sanitizers")
    parser.add_argument("--link-flags", default="", help="linker flags of the build")
    args = parser.parse_args()

    faults = read_faults(args.faults.read_bytes().decode())
    if args.only:
        faults = [f for f in faults if args.only in f.name()]
    if not faults:
        print("mutate: no fault to plant")
        return 1

    SOURCE.mkdir(parents=True, exist_ok=True)
    copy_tree()
    sanitized = "-fsanitize=address" in args.cxx_flags
    subprocess.run(["cmake", "-S", str(SOURCE), "-B", str(BUILD), "-DHUELINE_BUILD=host",
                    "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCMAKE_CXX_FLAGS=" + args.cxx_flags,
                    "-DCMAKE_EXE_LINKER_FLAGS=" + args.link_flags], check=True, stdout=subprocess.DEVNULL)
    ok, output = build(args.jobs)
    if not ok:
        print(output)
        print("mutate: the unchanged tree does not build")
        return 1
    passed, why = run_tests(sanitized)
    if not passed:
        print("mutate: the tests fail on the unchanged tree (%s)" % why)
        return 1

    caught = survived = errors = 0
    survivors = []
    for fault in faults:
        path = SOURCE / fault.path
        label = fault.name()
        if not path.is_file():
            print("ERROR    %s (line %d): no such file" % (label, fault.line))
            errors += 1
            continue
        text = path.read_bytes().decode()
        original = "\n".join(fault.original)
        found = text.count(original)
        if found != 1:
            print("ERROR    %s (line %d): the original text is %s in the file" %
                  (label, fault.line, "not" if found == 0 else "%d times" % found))
            errors += 1
            continue
        try:
            path.write_bytes(text.replace(original, "\n".join(fault.replacement)).encode())
            ok, output = build(args.jobs)
            if ok:
                passed, why = run_tests(sanitized)
        finally:
            path.write_bytes(text.encode())
        if not ok:
            print("ERROR    %s (line %d): does not build with the fault" % (label, fault.line))
            errors += 1
        elif passed:
            print("SURVIVED %s" % label)
            survived += 1
            survivors.append(label)
        else:
            print("caught   %s  [%s]" % (label, why))
            caught += 1
        sys.stdout.flush()

    # Leave the scratch build matching the working tree again.
    build(args.jobs)
    total = len(faults)
    score = 100.0 * caught / total
    for label in survivors:
        print("survivor: %s" % label)
    print("mutate: %d caught, %d survived, %d errors of %d; score %.0f%%" %
          (caught, survived, errors, total, score))
    return 0 if errors == 0 and score >= args.min else 1


if __name__ == "__main__":
    sys.exit(main())
