#!/usr/bin/env bash
# The Windows program's size and start-up under wine, against an empty Win32
# window built the same way (same toolchain, flags, static runtime and
# manifest), measured side by side in one run on a private X server.
# Informational only: wine is not Windows.
#   bench/run-wine.sh [RUNS]    (start-ups per program and architecture, default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh windows-test
bash scripts/build-windows.sh --no-deps >/dev/null
source scripts/wine-session.sh

out=build-windows
echo "== sizes"
for arch in i686 x86_64; do
    exe=$out/zelvane-win32.exe
    [ $arch = x86_64 ] && exe=$out/zelvane-win64.exe
    printf '%-8s %-34s %8d bytes\n' $arch "$exe" "$(stat -c %s "$exe")"
    printf '%-8s %-34s %8d bytes\n' $arch "empty window" "$(stat -c %s "$out/$arch/bench/win32/empty_window_win.exe")"
done

wine_session_start "$out/wine-bench"
for arch in i686 x86_64; do
    exe=$out/zelvane-win32.exe
    [ $arch = x86_64 ] && exe=$out/zelvane-win64.exe
    echo "== start-up under wine, $arch"
    timeout 1200 wine "$out/$arch/bench/win32/zelvane_win_startup_bench.exe" --runs "${1:-20}" \
        "$(wine_path "$exe")" "$(wine_path "$out/$arch/bench/win32/empty_window_win.exe")"
done
