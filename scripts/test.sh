#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once in a normal
# build and once with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== normal build"
cmake -S . -B build -DBUILD_TESTING=ON -DZELVANE_BUILD_UI=ON >/dev/null
cmake --build build --parallel "$jobs"
ctest --test-dir build --output-on-failure --parallel "$jobs"

echo "== sanitizer build"
cmake -S . -B build-asan -DBUILD_TESTING=ON -DZELVANE_BUILD_UI=ON -DZELVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-asan --parallel "$jobs"
ctest --test-dir build-asan --output-on-failure --parallel "$jobs"

# The Windows resource (icon and version 1.00) is compiled by the cross
# resource compiler, so that it cannot rot unnoticed on Linux.
if command -v x86_64-w64-mingw32-windres >/dev/null; then
    echo "== Windows resource"
    x86_64-w64-mingw32-windres --preprocessor=cpp build/app/zelvane.rc -O coff -o build/zelvane-rc.o
    echo "compiled build/app/zelvane.rc"
fi
