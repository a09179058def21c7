#!/usr/bin/env bash
# Builds the web page with Debian's emscripten: the core compiled to
# WebAssembly, in one self-contained build-web/index.html. The CMake build
# tree is build-wasm/.
#   build-web.sh            native WebAssembly exceptions (the default)
#   ZELVANE_WEB_EXCEPTIONS=-fexceptions build-web.sh   JavaScript-based ones
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh web
# Debian's node does not search Debian's node modules (acorn) by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S . -B build-wasm -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF -DZELVANE_BUILD_UI=OFF \
    -DZELVANE_WEB_EXCEPTIONS="${ZELVANE_WEB_EXCEPTIONS:--fwasm-exceptions}" \
    -DZELVANE_WEB_OUTPUT_DIR="$PWD/build-web" >/dev/null
nice -n 10 cmake --build build-wasm --parallel 2
echo "built $PWD/build-web/index.html"
