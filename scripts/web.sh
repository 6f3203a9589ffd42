#!/usr/bin/env bash
# Builds the demo's page, the viewer's page and the headless simulator with Emscripten into
# build-web/: index.html with wobblerama-page.js and wobblerama-page.wasm (serve the folder, open
# the page), view.html with view.js, view-worker.js, rib-view-page.js and rib-view-page.wasm, and
# wobblerama-sim.js (node build-web/wobblerama-sim.js ARGS prints what build/wobblerama-sim ARGS
# prints). Installs what it needs and is missing, as scripts/deps.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh cmake emscripten nodejs node-acorn
# Emscripten's JavaScript optimizer runs under the system's node, which finds Debian's acorn
# only through NODE_PATH.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"

emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web -j"$(nproc 2>/dev/null || echo 2)"
