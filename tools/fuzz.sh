#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz/ (libFuzzer, with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for about SECONDS, from its seed corpus
# in tests/fuzz/corpus/TARGET. The writer, which does several rewrites and a
# whole Apply or Restore per input, gets four times the reader's time. New inputs go to build/fuzz/TARGET/, never to
# the seeds. Each target ends with a line "fuzz-TARGET: N passed, M failed":
# one pass when it ran its time and broke no property; a broken property
# leaves the input that broke it in build/fuzz/TARGET/. The last line,
# "fuzz: N passed, M failed", sums them.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
out=build/fuzz
mkdir -p "$out"

sources=(core/color_table.cpp core/text.cpp
         settings/journal.cpp settings/marker_block.cpp settings/settings_messages.cpp settings/settings_path.cpp
         settings/settings_reader.cpp settings/settings_recovery.cpp settings/settings_rewrite.cpp
         settings/settings_scan.cpp settings/settings_writer.cpp settings/whole_files.cpp
         tests/host/format_host.cpp tests/host/files_host.cpp)
common=(-std=c++17 -O2 -g -I. -fsanitize=address,undefined -fno-sanitize-recover=all)
# Only the program's own code guides the fuzzer: the targets' checks and the
# in-memory files are built without its coverage counters, which would
# otherwise take most of the time. The program's code gets the edge counters
# but not the tracing of every comparison, which cost a third of the time in
# the byte loops; the words those comparisons look for come from
# tests/fuzz/settings.dict instead, and the targets' own comparisons of
# whole files give the fuzzer no hints (-use_memcmp=0).
mkdir -p "$out/obj"
objects=()
for source in "${sources[@]}"; do
  object=$out/obj/$(echo "$source" | tr / _).o
  if [[ $source == tests/* || $source == platform/* ]]; then extra=(); else extra=(-fsanitize=fuzzer-no-link -fno-sanitize-coverage=trace-cmp); fi
  clang++ "${common[@]}" "${extra[@]}" -c "$source" -o "$object" || exit 1
  objects+=("$object")
done

passed=0
failed=0
for target in reader writer; do
  if [ "$target" = writer ]; then time=$((4 * seconds)); else time=$seconds; fi
  binary=$out/${target}_fuzz
  if ! { clang++ "${common[@]}" -c "tests/fuzz/${target}_fuzz.cpp" -o "$out/obj/${target}_fuzz.o" &&
         clang++ "${common[@]}" -fsanitize=fuzzer "$out/obj/${target}_fuzz.o" "${objects[@]}" -o "$binary"; } \
       2>"$out/$target-build.log"; then
    cat "$out/$target-build.log"
    echo "fuzz-$target: 0 passed, 1 failed"
    failed=$((failed + 1))
    continue
  fi
  work=$out/$target
  mkdir -p "$work"
  # What an earlier run found is not this run's finding; the inputs it kept stay.
  rm -f "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*
  "$binary" -max_total_time="$time" -max_len=4096 -timeout=10 -rss_limit_mb=2048 -dict=tests/fuzz/settings.dict -use_memcmp=0 \
    -artifact_prefix="$work/" -print_final_stats=1 "$work" "tests/fuzz/corpus/$target" \
    >"$out/$target.log" 2>&1
  code=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$target.log" | tail -n 1)
  found=$(ls "$work" | grep -cE '^(crash|leak|timeout|oom)-' || true)
  echo "fuzz-$target: ${runs:-0} executions in ${time} s, $found findings"
  if [ "$code" -ne 0 ] || [ "$found" -ne 0 ]; then
    grep -E 'property broken|ERROR|SUMMARY' "$out/$target.log" | head -n 5
    echo "fuzz-$target: 0 passed, 1 failed"
    failed=$((failed + 1))
  else
    echo "fuzz-$target: 1 passed, 0 failed"
    passed=$((passed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
