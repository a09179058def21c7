#!/usr/bin/env bash
# The explain view's opening under wine, for 1/9967: from F1 to the view's
# first painted frame as the screen shows it (bench/win32/explain_bench.cpp),
# for each architecture wine runs here; also a later opening and a step
# selected. Expects scripts/build-windows.sh to have run. Informational
# only: wine is not Windows.
#   bench/win32/run-explain.sh [RUNS]    (runs per architecture, default 20)
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/wine-session.sh

out=build-windows
runs=${1:-20}
wine_session_start "$out/wine-bench"
# One wine server for the whole run, as on a desktop where wine already runs.
wineserver -p
for arch in i686 x86_64; do
    if [ $arch = i686 ] && [ "$WINE_SESSION_32BIT" = 0 ]; then
        echo "== i686: SKIPPED: this host cannot execute 32-bit programs"
        continue
    fi
    exe=$out/zelvane-win32.exe
    [ $arch = x86_64 ] && exe=$out/zelvane-win64.exe
    echo "== the explain view under wine, $arch"
    timeout 1800 wine "$out/$arch/bench/win32/zelvane_win_explain_bench.exe" --runs "$runs" "$(wine_path "$exe")"
done
