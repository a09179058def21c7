#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build needs and is missing.
#   install-deps.sh        what building and opening the window needs
#   install-deps.sh test   also what the tests, sanitizers and fuzzers need
#   install-deps.sh bench  also what the benchmarks need
#   install-deps.sh web    what building the web page needs
set -euo pipefail

packages=(cmake make g++ pkg-config libfast-float-dev libfmt-dev qt6-base-dev qt6-base-dev-tools libgl-dev libfontconfig-dev fonts-liberation qt6-translations-l10n)
if [ "${1:-}" = test ]; then
    packages+=(clang libclang-rt-14-dev binutils-mingw-w64-x86-64 emscripten chromium)
fi
if [ "${1:-}" = web ]; then
    packages+=(emscripten)
fi
if [ "${1:-}" = bench ]; then
    packages+=(libbenchmark-dev libxcb1-dev libxcb-damage0-dev pkg-config xvfb x11-utils emscripten chromium)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
