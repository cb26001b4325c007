#!/usr/bin/env bash
# Prints which build Wine runs for the tests and `make run`: 32 (the real
# i386 executables under 32-bit Wine), or 64 (their 64-bit twin under Debian's
# wine64, in a 64-bit prefix) on a machine that runs no 32-bit code.
#
# HUELINE_WINE_ARCH=32 or 64 decides it; otherwise a tiny i386 Linux program
# is run, and one that does not end with its own exit status (the kernel
# refuses it: no IA-32 emulation) means 64, said in one line on stderr.
# `make` runs this once and exports the answer to everything it starts.
set -uo pipefail

case "${HUELINE_WINE_ARCH:-}" in
  32 | 64) echo "$HUELINE_WINE_ARCH"; exit 0 ;;
  '') ;;
  *) echo "HUELINE_WINE_ARCH is 32 or 64, not '$HUELINE_WINE_ARCH'" >&2; exit 1 ;;
esac

# Where the tree builds (a folder that may run programs, unlike some /tmp).
scratch="$(cd "$(dirname "$0")/.." && pwd)/build"
mkdir -p "$scratch" || exit 1
program=$(mktemp "$scratch/i386-check.XXXXXX") || exit 1
trap 'rm -f "$program"' EXIT
# An ELF header, one loadable segment (the whole file, read and execute, at
# 0x08048000), and three instructions at 0x08048054: mov ebx,32; mov eax,1
# (exit); int 0x80. 96 bytes in all.
{
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'  # 32-bit, little-endian
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'          # executable, i386, entry
  printf '\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'          # program headers at 52
  printf '\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'          # sizes, one program header
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'  # load, from 0
  printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'  # 96 bytes, r-x
  printf '\xbb\x20\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80'          # exit(32)
} >"$program"
chmod +x "$program"
"$program" >/dev/null 2>&1
status=$?
if [ "$status" -eq 32 ]; then
  echo 32
else
  echo "this machine runs no 32-bit code: end to end on the 64-bit build" >&2
  echo 64
fi
