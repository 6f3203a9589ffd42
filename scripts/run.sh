#!/usr/bin/env bash
# Builds (Release) and starts the demo window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh cmake g++ freeglut3-dev libglu1-mesa-dev libgtest-dev libbenchmark-dev
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)"
echo "The demo window arrives with the next build step; build/wobblerama-sim runs the simulation headless." >&2
exit 1
