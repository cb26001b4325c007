#!/usr/bin/env python3
"""Checks that an executable will start on a stock Windows 95 on a 486.

- PE32, subsystem version 4.0, of the expected subsystem (gui or console);
- imports only what tools/win95/imports.txt allows (no C runtime DLL at all),
  no wide (W) calls, and KERNEL32 functions only from tools/win95/kernel32.txt;
- every section's raw size and file offset a multiple of the file alignment,
  as the PE format requires of an executable (Windows 95's loader reads the
  file in whole blocks of it);
- no instruction that a 486 lacks.

Usage: check_exe.py OBJDUMP EXE gui|console
"""
import os
import re
import subprocess
import sys

from pe_file import PeFile

HERE = os.path.dirname(os.path.abspath(__file__))

# Instructions and registers that came after the 486.
NEWER_THAN_486 = re.compile(
    r"^(cmov\w*|fcmov\w*|f?u?comip?|fucomip?|rdtsc|rdtscp|rdpmc|cmpxchg8b|sysenter|sysexit|"
    r"ud2|nopw|nopl|cpuid|emms|movd|movq|pause|lfence|mfence|sfence|prefetch\w*|movnti)$")
MEDIA_REGISTERS = re.compile(r"%x?mm\d")


def read_list(name):
    entries = []
    with open(os.path.join(HERE, "win95", name)) as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                entries.append(line.split())
    return entries


def misaligned_sections(path):
    """The sections whose raw size or file offset is not a multiple of the
    file alignment, as (name, raw size, offset, alignment)."""
    pe = PeFile(path)
    alignment = pe.file_alignment
    return [(s.name, s.raw_size, s.raw_at, alignment) for s in pe.sections
            if s.raw_size % alignment or s.raw_at % alignment]


def main():
    objdump, exe, kind = sys.argv[1:4]
    problems = []
    headers = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout

    if "file format pei-i386" not in subprocess.run([objdump, "-f", exe], check=True, capture_output=True, text=True).stdout:
        problems.append("not a PE32 i386 executable")
    for field, want in (("MajorSubsystemVersion", "4"), ("MinorSubsystemVersion", "0")):
        m = re.search(r"^%s\s+(\d+)" % field, headers, re.M)
        if not m or m.group(1) != want:
            problems.append("%s is %s, not %s" % (field, m.group(1) if m else "missing", want))
    subsystem = {"gui": "(Windows GUI)", "console": "(Windows CUI)"}[kind]
    if not re.search(r"^Subsystem\s+\S+\s+" + re.escape(subsystem), headers, re.M):
        problems.append("subsystem is not " + subsystem)

    allowed = {(dll.upper(), fn) for dll, fn, *_ in read_list("imports.txt")}
    win95_kernel32 = {e[0] for e in read_list("kernel32.txt")}
    imports = []
    dll = None
    for line in headers.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1).upper()
            continue
        m = re.match(r"\s*[0-9a-f]+\s+\d+\s+(\S+)$", line)
        if dll and m:
            imports.append((dll, m.group(1)))
        elif not line.strip():
            dll = None
    for dll, fn in imports:
        if (dll, fn) not in allowed:
            problems.append("import %s!%s is not on the reviewed list" % (dll, fn))
        if re.search(r"[a-z0-9]W$", fn):
            problems.append("import %s!%s is a wide (W) call: only ANSI calls are used" % (dll, fn))
        if dll == "KERNEL32.DLL" and fn not in win95_kernel32:
            problems.append("import KERNEL32!%s is missing from Windows 95" % fn)
    if not imports:
        problems.append("no imports found: cannot check them")

    for name, raw_size, raw_at, alignment in misaligned_sections(exe):
        problems.append("section %s: raw size 0x%X at offset 0x%X, not a multiple of the file alignment 0x%X"
                        % (name, raw_size, raw_at, alignment))

    code = subprocess.run([objdump, "-d", "--no-show-raw-insn", exe], check=True, capture_output=True, text=True).stdout
    newer = set()
    for line in code.splitlines():
        m = re.match(r"\s*[0-9a-f]+:\s+(\S+)\s*(.*)", line)
        if not m:
            continue
        mnemonic, operands = m.group(1), m.group(2)
        if NEWER_THAN_486.match(mnemonic) or MEDIA_REGISTERS.search(operands):
            newer.add(mnemonic)
    for mnemonic in sorted(newer):
        problems.append("instruction %s is newer than the 486" % mnemonic)

    name = os.path.basename(exe)
    if problems:
        for p in problems:
            print("%s: %s" % (name, p))
        return 1
    print("%s: PE32 %s 4.0, %d imports all on the Windows 95 list, sections aligned, only 486 instructions"
          % (name, kind, len(imports)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
