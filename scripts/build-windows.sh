#!/usr/bin/env bash
# Cross-builds the Windows program in release mode for both architectures
# with Debian's mingw-w64, and leaves
#   build-windows/zelvane-win32.exe   (i686: every 32- and 64-bit Windows from 7 on)
#   build-windows/zelvane-win64.exe   (x86_64)
# Each build directory (build-windows/i686, build-windows/x86_64) also holds
# the test driver, the sweep and the start-up benchmark's programs.
#   build-windows.sh [--no-deps]
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${1:-}" = --no-deps ] || bash scripts/install-deps.sh windows

out=build-windows
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
for arch in i686 x86_64; do
    echo "== Windows $arch"
    cmake -S . -B "$out/$arch" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
        ${ZELVANE_PUBLISHER_URL:+-DZELVANE_PUBLISHER_URL="$ZELVANE_PUBLISHER_URL"} >/dev/null
    nice -n 10 cmake --build "$out/$arch" --parallel "$jobs"
done
cp "$out/i686/win32/zelvane.exe" "$out/zelvane-win32.exe"
cp "$out/x86_64/win32/zelvane.exe" "$out/zelvane-win64.exe"
ls -l "$out"/zelvane-win32.exe "$out"/zelvane-win64.exe
