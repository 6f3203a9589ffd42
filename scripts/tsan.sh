#!/usr/bin/env bash
# Builds the RIB library and its threads test with ThreadSanitizer and runs that test: contexts
# made, declaring and written on threads of their own, and readings on threads of their own, must
# share nothing unguarded. Only what the test needs is built.
# Usage: scripts/tsan.sh [build folder]      (default: build-tsan)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-tsan}
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DWOBBLE_TSAN=ON
cmake --build "$dir" -j"$jobs" --target rib_thread_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  "$dir/rib_thread_tests" --gtest_filter='Failure.*Thread*'
