#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the given seconds each: first over its seeds in
# fuzz/corpus/<name>/ (so an input that once crashed is tried again on every run), then on new
# inputs it derives. Prints executions per target; fails when any target found a crash or hang,
# leaving the input in <build>/fuzz-artifacts/.
set -uo pipefail
build=${1:?usage: fuzz/run.sh <fuzz build folder> [seconds per target]}
seconds=${2:-10}
root="$(cd "$(dirname "$0")/.." && pwd)"
artifacts="$build/fuzz-artifacts"
# The targets that write files make and remove a few per input: in memory that is several times
# faster.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
mkdir -p "$artifacts"

total=0
failed=()
printf '%-16s %12s %10s\n' target executions result
for exe in "$build"/fuzz/fuzz_*; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  name=${name#fuzz_}
  seeds="$root/fuzz/corpus/$name"
  work="$build/fuzz-work/$name"
  mkdir -p "$work" "$seeds"
  log="$build/fuzz-work/$name.log"
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$name-" "$work" "$seeds" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  runs=${runs:-0}
  total=$((total + runs))
  if [ $rc -eq 0 ]; then
    result=ok
  else
    result=FAILED
    failed+=("$name")
  fi
  printf '%-16s %12s %10s\n' "$name" "$runs" "$result"
done
printf '%-16s %12s\n' total "$total"

if [ ${#failed[@]} -ne 0 ]; then
  for name in "${failed[@]}"; do
    echo "---- $name: $build/fuzz-work/$name.log"
    grep -m1 -A30 -E '^==[0-9]+==ERROR|runtime error|ALARM|deadly signal|out-of-memory' \
      "$build/fuzz-work/$name.log"
  done
  echo "Crash inputs are in $artifacts; copy one into fuzz/corpus/<target>/ once it is fixed."
  exit 1
fi
