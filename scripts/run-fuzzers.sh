#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a fixed time on its seed corpus.
# Usage: run-fuzzers.sh [seconds per target]; JOBS sets the build's parallel jobs (default: nproc).
# Each target's output goes to build-fuzz/logs/<target>.log, shown only when the target fails, and
# an input that fails it to build-fuzz/artifacts/<target>-crash-<hash>;
# one line per target says how it went. When TESK_STAGE_SUMMARY names a file, those lines are
# also appended to it (scripts/run-tests.sh collects them there). Exits non-zero on any failure.
set -uo pipefail
seconds="${1:-20}"
jobs="${JOBS:-$(nproc)}"
cd "$(dirname "$0")/.."
logs=build-fuzz/logs
shown_lines=200

report() {  # report passed|FAILED NAME [DETAIL]
  local line="$1  $2${3:+ ($3)}"
  echo "$line"
  if [ -n "${TESK_STAGE_SUMMARY:-}" ]; then echo "$line" >>"$TESK_STAGE_SUMMARY"; fi
}

targets=$(ls fuzz/*.cpp 2>/dev/null || true)
if [ -z "$targets" ]; then
  echo "no fuzz targets"
  exit 0
fi

mkdir -p "$logs"
if ! { CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESK_FUZZ=ON \
         -DTESK_BENCH=OFF >/dev/null && cmake --build build-fuzz -j "$jobs" --target fuzzers; }; then
  report FAILED "fuzz build"
  exit 1
fi

failed=0
for src in $targets; do
  name=$(basename "$src" .cpp)
  corpus="fuzz/corpus/$name"
  work="build-fuzz/corpus-$name"
  log="$logs/$name.log"
  mkdir -p "$work" build-fuzz/artifacts
  echo "fuzzing $name for ${seconds}s (output in $log)"
  if ASAN_OPTIONS=detect_leaks=1 "build-fuzz/fuzz/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 \
       -max_len=65536 -len_control=0 -print_final_stats=0 \
       -artifact_prefix="build-fuzz/artifacts/$name-" "$work" "$corpus" >"$log" 2>&1; then
    report passed "$name"
  else
    echo "---- last $shown_lines lines of $log"
    tail -n "$shown_lines" "$log"
    echo "----"
    report FAILED "$name" "log: $log"
    failed=1
  fi
done
exit "$failed"
