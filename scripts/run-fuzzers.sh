#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a fixed time on its seed corpus.
set -euo pipefail
seconds="${1:-20}"
cd "$(dirname "$0")/.."
targets=$(ls fuzz/*.cpp 2>/dev/null || true)
if [ -z "$targets" ]; then
  echo "no fuzz targets"
  exit 0
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESK_FUZZ=ON -DTESK_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzzers
for src in $targets; do
  name=$(basename "$src" .cpp)
  corpus="fuzz/corpus/$name"
  work="build-fuzz/corpus-$name"
  mkdir -p "$work"
  echo "fuzzing $name for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 "build-fuzz/fuzz/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 \
    -max_len=65536 -len_control=0 -print_final_stats=0 "$work" "$corpus"
done
