#!/usr/bin/env bash
# Builds the web page twice, with native WebAssembly exceptions and with
# emscripten's JavaScript-based ones, and benchmarks both in headless
# Chromium against a one-label page and an empty page:
#   bash bench/web.sh [RUNS [PAGE...]]
# Further pages (an earlier build's index.html, say) run beside them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh bench
npm ci --no-audit --no-fund --loglevel=error
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
pages=()
for variant in wasm:-fwasm-exceptions js:-fexceptions; do
    name=${variant%%:*}
    flag=${variant#*:}
    emcmake cmake -S . -B "build-wasm-bench/$name" -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF \
        -DZELVANE_BUILD_UI=OFF -DZELVANE_WEB_EXCEPTIONS="$flag" \
        -DZELVANE_WEB_OUTPUT_DIR="$PWD/build-wasm-bench/page-$name-exceptions" >/dev/null
    nice -n 10 cmake --build "build-wasm-bench/$name" --parallel 2 >/dev/null
    pages+=("build-wasm-bench/page-$name-exceptions/index.html")
done
node bench/web_bench.mjs --runs "${1:-40}" "${pages[@]}" "${@:2}"
