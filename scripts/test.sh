#!/usr/bin/env bash
# Builds everything (Release) and runs every test with ctest.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh cmake g++ libgtest-dev libgmock-dev libbenchmark-dev \
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri xvfb x11-utils locales libx11-dev

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
