#!/usr/bin/env bash
# The Windows program's size and start-up under wine, against two floors
# built the same way (same toolchain, flags, static runtime and manifest): a
# window with one label in the program's font (bench/win32/text_window.cpp)
# and an empty window. Measured side by side, in rotation, on a private X
# server, two ways:
#   - to the first painted frame: the Linux start-up benchmark
#     (bench/startup_bench.cpp) starts `wine PROGRAM` and watches X DAMAGE;
#   - to the window being visible: a timer run under wine
#     (bench/win32/startup_bench.cpp).
# Then the explain view's opening, F1 to its first drawing, for 1/9967.
# Informational only: wine is not Windows.
#   bench/run-wine.sh [RUNS]    (start-ups per program and architecture, default 20)
# ZELVANE_COMPARE_WINDOWS=DIR also runs DIR/zelvane-win32.exe and
# zelvane-win64.exe (an earlier build) beside the others.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh windows-test bench
bash scripts/build-windows.sh --no-deps >/dev/null
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DZELVANE_BENCHMARKS=ON >/dev/null
cmake --build build-bench --parallel "$(nproc)" --target zelvane_startup_bench >/dev/null
source scripts/wine-session.sh

out=build-windows
runs=${1:-20}
echo "== sizes"
for arch in i686 x86_64; do
    exe=$out/zelvane-win32.exe
    [ $arch = x86_64 ] && exe=$out/zelvane-win64.exe
    printf '%-8s %-34s %8d bytes\n' $arch "$exe" "$(stat -c %s "$exe")"
    for floor in text_window_win empty_window_win; do
        printf '%-8s %-34s %8d bytes\n' $arch "$floor" "$(stat -c %s "$out/$arch/bench/win32/$floor.exe")"
    done
done

wine_session_start "$out/wine-bench"
# One wine server for the whole run, as on a desktop where wine already runs.
wineserver -p
for arch in i686 x86_64; do
    bits=32
    [ $arch = x86_64 ] && bits=64
    programs=("$out/zelvane-win$bits.exe")
    if [ -n "${ZELVANE_COMPARE_WINDOWS:-}" ]; then
        programs+=("$ZELVANE_COMPARE_WINDOWS/zelvane-win$bits.exe")
    fi
    floors=("$out/$arch/bench/win32/text_window_win.exe" "$out/$arch/bench/win32/empty_window_win.exe")
    echo "== start-up under wine, $arch: to the first painted frame (X DAMAGE), ratios to the one-label window"
    timeout 1800 ./build-bench/bench/zelvane_startup_bench --wine --runs "$runs" --settle-ms 300 \
        "${programs[@]}" "${floors[1]}" "${floors[0]}"
    echo "== start-up under wine, $arch: to the visible window, ratios to the one-label window"
    windows_programs=()
    for program in "${programs[@]}" "${floors[1]}" "${floors[0]}"; do
        windows_programs+=("$(wine_path "$program")")
    done
    timeout 1800 wine "$out/$arch/bench/win32/zelvane_win_startup_bench.exe" --runs "$runs" "${windows_programs[@]}"
    echo "== the explain view under wine, $arch: F1 to its first drawing, for 1/9967"
    timeout 1800 ./build-bench/bench/zelvane_startup_bench --wine --explain --runs 5 --settle-ms 300 "${programs[0]}"
done
