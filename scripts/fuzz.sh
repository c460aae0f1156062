#!/usr/bin/env bash
# Replays every committed seed and past finding of each fuzz target as a regression test, then
# fuzzes each target for a while. Usage: scripts/fuzz.sh <build folder> <seconds per target>
# New inputs the fuzzer finds go to <build folder>/fuzz-corpus/, a finding to
# <build folder>/fuzz-findings/<target>/; once fixed, commit it to tests/fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?build folder}
seconds=${2:-60}
targets=(document_reader zip_reader package_opener image_loader)

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0
# The targets' scratch files and private folders go in one folder of this run, removed however
# the run ends, so that runs leave nothing in /tmp.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch

for target in "${targets[@]}"; do
  fuzzer="$build/tests/fuzz/${target}_fuzzer"
  echo "== $target: replaying the seeds and past findings"
  "$fuzzer" -runs=0 "tests/fuzz/corpus/$target" "tests/fuzz/findings/$target" 2>&1 | tail -n 2
done

[ "$seconds" -gt 0 ] || exit 0
for target in "${targets[@]}"; do
  fuzzer="$build/tests/fuzz/${target}_fuzzer"
  corpus="$build/fuzz-corpus/$target"
  findings="$build/fuzz-findings/$target"
  mkdir -p "$corpus" "$findings"
  echo "== $target: fuzzing for $seconds s"
  "$fuzzer" "$corpus" "tests/fuzz/corpus/$target" -max_total_time="$seconds" -timeout=20 \
    -rss_limit_mb=3072 -artifact_prefix="$findings/" -print_final_stats=1 2>&1 |
    grep -E '^(stat::number_of_executed_units|Done|==|SUMMARY|FINDING)' || true
  if [ -n "$(ls -A "$findings")" ]; then
    echo "fuzz: $target found an input that fails, kept in $findings" >&2
    exit 1
  fi
done
