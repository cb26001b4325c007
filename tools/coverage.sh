#!/usr/bin/env bash
# Line and branch coverage of the platform-independent code (core/, settings/,
# fullscreen/, the portable files of shell/ and test_exe/) by the host tests: builds them
# with gcov counters in build/coverage, runs them, and prints one row per file.
# Branches that only exceptions or the compiler's own checks can take are not
# counted: the product is built without exceptions.
set -euo pipefail
cd "$(dirname "$0")/.."

out=build/coverage
cmake -S . -B "$out" -DHUELINE_BUILD=host -DCMAKE_BUILD_TYPE=Debug \
  "-DCMAKE_CXX_FLAGS=--coverage -O0" "-DCMAKE_EXE_LINKER_FLAGS=--coverage" >/dev/null
cmake --build "$out" -j2 --target hueline_tests
find "$out" -name '*.gcda' -delete
(cd "$out" && ./hueline_tests --gtest_brief=1 >tests.log 2>&1) || {
  cat "$out/tests.log"
  echo "coverage: the host tests failed" >&2
  exit 1
}

# Portable code only: no *_win32 file, no test, no host stand-in.
gcovr --root . --object-directory "$out" \
  "$out/CMakeFiles/hueline_portable.dir" "$out/CMakeFiles/hueline_tests.dir" \
  --filter 'core/' --filter 'settings/' --filter 'shell/' --filter 'fullscreen/' --filter 'test_exe/' \
  --exclude '.*_win32\.(cpp|h)$' \
  --exclude-throw-branches --exclude-unreachable-branches \
  --json-summary "$out/summary.json" >/dev/null
python3 - "$out/summary.json" <<'EOF'
import json
import sys

summary = json.load(open(sys.argv[1]))

def percent(covered, total):
    return "%5.1f%%" % (100.0 * covered / total) if total else "    -"

rows = [(f["filename"], f["line_covered"], f["line_total"], f["branch_covered"], f["branch_total"])
        for f in sorted(summary["files"], key=lambda f: f["filename"])]
rows.append(("total", summary["line_covered"], summary["line_total"],
             summary["branch_covered"], summary["branch_total"]))
width = max(len(r[0]) for r in rows)
print("%-*s  %-21s  %-21s" % (width, "file", "       lines", "       branches"))
for name, lc, lt, bc, bt in rows:
    if name == "total":
        print("-" * (width + 46))
    print("%-*s  %6d/%-6d %7s  %6d/%-6d %7s" % (width, name, lc, lt, percent(lc, lt), bc, bt, percent(bc, bt)))
EOF
