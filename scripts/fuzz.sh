#!/usr/bin/env bash
# Builds the RIB library's fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a bounded time from its seed corpus in fuzz/corpus.
# Usage: scripts/fuzz.sh [build folder] [seconds per target]      (default: build-fuzz 30)
# A crash leaves its input in <build folder>/fuzz-artifacts and ends the script with status 1;
# new inputs the run finds go to <build folder>/fuzz-corpus, never into the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-fuzz}
seconds=${2:-30}
jobs=$(nproc 2>/dev/null || echo 2)
targets=(declarations_fuzzer param_lists_fuzzer geometry_counts_fuzzer error_reports_fuzzer
         rib_reader_fuzzer)

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWOBBLE_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build "$dir" --target fuzz_targets -j"$jobs"

mkdir -p "$dir/fuzz-artifacts"
status=0
for target in "${targets[@]}"; do
  corpus="$dir/fuzz-corpus/$target"
  mkdir -p "$corpus"
  log="$dir/fuzz-artifacts/$target.log"
  # The targets' own output (RIB diagnostics, error reports) would drown the log: closed.
  if "$dir/$target" -max_total_time="$seconds" -close_fd_mask=3 -print_final_stats=1 \
       -artifact_prefix="$dir/fuzz-artifacts/$target-" "$corpus" "fuzz/corpus/$target" \
       >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${runs:-?} runs in ${seconds}s, no finding"
  else
    echo "$target: FAILED (log and input in $dir/fuzz-artifacts)" >&2
    grep -E 'ERROR|SUMMARY|fuzz check failed|runtime error' "$log" | head -20 >&2 || true
    status=1
  fi
done
exit $status
