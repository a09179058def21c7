#!/usr/bin/env bash
# The Windows checks, under wine on a private X server: for the 32-bit and
# the 64-bit program, the black-box driver starts the real .exe and drives
# it (tests/win32/driver.cpp), and a slice of the exhaustive sweep, built
# for the same architecture, runs the core on Windows' own runtime.
# Expects scripts/build-windows.sh to have run. Every step is bounded; wine's
# processes and the X server are stopped by their own ids on exit.
#   run-wine-tests.sh [SWEEP-ARGS...]   default: --denominators 3-9999 --stride 211
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/wine-session.sh

out=build-windows
sweep=("$@")
[ ${#sweep[@]} -gt 0 ] || sweep=(--denominators 3-9999 --stride 211 --threads 2)

wine_session_start "$out/wine"
status=0
for arch in i686 x86_64; do
    if [ $arch = i686 ] && [ "$WINE_SESSION_32BIT" = 0 ]; then
        echo "== wine, i686: SKIPPED: this host cannot execute 32-bit programs, so the 32-bit program is built but not run"
        continue
    fi
    exe=$out/zelvane-win32.exe
    [ $arch = x86_64 ] && exe=$out/zelvane-win64.exe
    echo "== wine, $arch: driving $exe"
    timeout 300 wine "$out/$arch/tests/win32/zelvane_win_driver.exe" "$(wine_path "$exe")" "$(wine_path tests/cases)" \
        "$(wine_path "$out/window-$arch.bmp")" || { echo "the $arch program failed its checks"; status=1; }
    echo "== wine, $arch: sweep ${sweep[*]}"
    timeout 600 wine "$out/$arch/tools/zelvane_sweep.exe" "${sweep[@]}" || { echo "the $arch sweep failed"; status=1; }
done
exit $status
