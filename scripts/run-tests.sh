#!/usr/bin/env bash
# Everything `make test` runs, stage by stage: the tests of the optimised build, the same tests
# under AddressSanitizer + UndefinedBehaviorSanitizer, then each fuzz target. Every stage runs
# even when an earlier one failed; the run ends with one line per stage and a last line
# "N passed, N failed", and exits non-zero when any stage failed.
# JOBS (default: nproc) sets the parallel jobs, FUZZ_SECONDS (default 10) each fuzz target's time.
set -uo pipefail
cd "$(dirname "$0")/.."
jobs="${JOBS:-$(nproc)}"
summary="$(mktemp)"
trap 'rm -f "$summary"' EXIT
export TESK_STAGE_SUMMARY="$summary"

stage() {  # stage NAME COMMAND...
  local name="$1"
  shift
  echo "==== $name"
  if "$@"; then
    echo "passed  $name" >>"$summary"
  else
    echo "FAILED  $name" >>"$summary"
  fi
}

stage "release tests" make --no-print-directory test-release JOBS="$jobs"
stage "asan tests" make --no-print-directory test-asan JOBS="$jobs"
echo "==== fuzz"
failures_before=$(grep -c '^FAILED' "$summary")
if ! JOBS="$jobs" bash scripts/run-fuzzers.sh "${FUZZ_SECONDS:-10}" &&
   [ "$(grep -c '^FAILED' "$summary")" -eq "$failures_before" ]; then
  echo "FAILED  fuzz" >>"$summary"
fi

passed=$(grep -c '^passed' "$summary")
failed=$(grep -c '^FAILED' "$summary")
echo
echo "==== summary"
cat "$summary"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
