#!/usr/bin/env bash
# Builds everything (Release) and the web build (scripts/web.sh), and runs every test with ctest; then the same tests in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer (scripts/sanitize.sh), and each fuzz target of
# the RIB library for a bounded time (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh cmake g++ zlib1g-dev libdeflate-dev libgtest-dev libgmock-dev libbenchmark-dev \
  freeglut3-dev libglu1-mesa-dev libosd-dev libpng-dev libegl-dev libegl-mesa0 libosmesa6-dev libgl1-mesa-dri xvfb x11-utils locales libx11-dev \
  valgrind clang libclang-rt-14-dev pkg-config \
  pybind11-dev python3-dev python3-numpy python3-pytest python3-mypy chromium

# The web build first, so that the tests holding it against the native programs find it.
bash scripts/web.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DWOBBLE_BUILD_DEMO=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

bash scripts/sanitize.sh build-asan
bash scripts/fuzz.sh build-fuzz "${WOBBLE_FUZZ_SECONDS:-30}"
