#!/usr/bin/env bash
# Installs what is missing, builds in release mode and runs every benchmark:
# the micro-benchmarks of the actions and of the explanation; start-up and
# peak memory of the Qt program against a one-label and an empty Qt Widgets
# window on a private Xvfb display, and the opening of its explain view;
# the web page in headless Chromium (bench/web.sh); the Windows programs
# under wine (bench/run-wine.sh).
#   bench/run.sh [RUNS]    (start-up runs per program, default 40)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh bench
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DZELVANE_BENCHMARKS=ON >/dev/null
cmake --build build-bench --parallel "$(nproc)"

echo "== actions (core time per click)"
./build-bench/bench/zelvane_bench_actions --benchmark_min_time=0.2

echo "== start-up and peak memory"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
DISPLAY=$display QT_QPA_PLATFORM=xcb ./build-bench/bench/zelvane_startup_bench --runs "${1:-40}" --settle-ms 200 \
    ./build-bench/qt/zelvane ./build-bench/bench/text_window ./build-bench/bench/empty_window
echo "== the explain view: F1 to its first drawing, for 1/9967"
DISPLAY=$display QT_QPA_PLATFORM=xcb ./build-bench/bench/zelvane_startup_bench --explain --runs 10 --settle-ms 200 \
    ./build-bench/qt/zelvane
kill $xvfb 2>/dev/null || true

echo "== web page"
bash bench/web.sh 30 ${ZELVANE_COMPARE_PAGE:+"$ZELVANE_COMPARE_PAGE"}
echo "== Windows programs under wine"
bash bench/run-wine.sh 20
