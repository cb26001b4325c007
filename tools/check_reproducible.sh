#!/usr/bin/env bash
# Checks that the release is reproducible: makes it once more from a copy of
# this tree (the files git tracks or would track, as they stand) in another
# folder, on a clock three days ahead, with the release time this tree's build
# used (libfaketime left to shift the clock alone, not the file times that
# stat reads), and compares the SHA-256 of every file of build/dist and of both
# executables with this tree's own build. Needs `make dist` first.
# Its last line is "reproducible: N passed, M failed", a file each; the copy
# stays in build/reproduce when something differs.
set -uo pipefail
cd "$(dirname "$0")/.."

time_file=build/product/release-time.txt
if [ ! -f "$time_file" ] || [ ! -f build/dist/SHA256SUMS ]; then
  echo "reproducible: no release to compare with: run make dist"
  echo "reproducible: 0 passed, 1 failed"
  exit 1
fi

scratch=build/reproduce
rm -rf "$scratch"
copy=$scratch/a/folder/of/another/name
mkdir -p "$copy"
git ls-files -z --cached --others --exclude-standard |
  tar -c --null --ignore-failed-read -T - 2>/dev/null | tar -x -C "$copy"

start=$(date +%s)
export SOURCE_DATE_EPOCH NO_FAKE_STAT=1
SOURCE_DATE_EPOCH=$(cat "$time_file")
if ! faketime -f +3d make -C "$copy" dist >"$scratch/make.log" 2>&1; then
  tail -n 20 "$scratch/make.log"
  echo "reproducible: the second build failed (see $scratch/make.log)"
  echo "reproducible: 0 passed, 1 failed"
  exit 1
fi
echo "reproducible: made again in $copy in $(( $(date +%s) - start )) s, three days later"

passed=0
failed=0
for f in $(cd build && ls -d dist/* product/*.exe) $(cd "$copy/build" && ls -d dist/* product/*.exe); do
  echo "$f"
done | sort -u >"$scratch/files"
while read -r f; do
  a=$(sha256sum <"build/$f" 2>/dev/null | cut -c1-64)
  b=$(sha256sum <"$copy/build/$f" 2>/dev/null | cut -c1-64)
  if [ -n "$a" ] && [ "$a" = "$b" ]; then
    echo "reproducible: $f ${a:0:16}... same"
    passed=$((passed + 1))
  else
    echo "reproducible: $f differs: ${a:-missing} here, ${b:-missing} in the copy"
    failed=$((failed + 1))
  fi
done <"$scratch/files"
[ "$failed" -eq 0 ] && rm -rf "$scratch"
echo "reproducible: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
