#!/usr/bin/env bash
# Builds (Release) and starts the demo window. Needs an X display ($DISPLAY); without one it says
# so and exits with status 1 instead of starting a program that cannot open its window.
set -euo pipefail
cd "$(dirname "$0")/.."

# The demo needs GLUT and OpenGL; the tree's other programs, configured with it, OpenSubdiv,
# libpng and EGL. The tests' libraries are not looked for here.
bash scripts/deps.sh cmake g++ zlib1g-dev libdeflate-dev freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri x11-utils \
  libosd-dev libpng-dev libegl-dev libegl-mesa0
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)" --target wobblerama

if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: no display: set DISPLAY to an X server to see the demo window" >&2
  exit 1
fi
# Bounded, so that an unreachable display cannot make the script hang.
if ! timeout 10 xdpyinfo >/dev/null 2>&1; then
  echo "run.sh: cannot connect to the X display '$DISPLAY'" >&2
  exit 1
fi
# The demo writes blorp6.rib into the current folder, here the repository root.
exec ./build/wobblerama
