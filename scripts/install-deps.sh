#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build needs and is missing.
#   install-deps.sh        what building and opening the window needs
#   install-deps.sh test   also what the tests, sanitizers and fuzzers need
#   install-deps.sh bench  also what the benchmarks need
#   install-deps.sh package       also what scripts/package.sh needs to build
#                                 and check the release packages
#   install-deps.sh package-test  also what the packaging test needs: a
#                                 clean Debian root, wine and a private X server
set -euo pipefail

packages=(cmake make g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libfontconfig-dev fonts-liberation)
if [ "${1:-}" = test ]; then
    packages+=(clang libclang-rt-14-dev binutils-mingw-w64-x86-64)
fi
if [ "${1:-}" = bench ]; then
    packages+=(libbenchmark-dev libxcb1-dev pkg-config xvfb x11-utils)
fi
if [ "${1:-}" = package ] || [ "${1:-}" = package-test ]; then
    packages+=(debhelper dpkg-dev pkgconf lintian appstream desktop-file-utils nsis zip
               binutils-mingw-w64-x86-64)
fi
if [ "${1:-}" = package-test ]; then
    packages+=(debootstrap unzip xvfb x11-utils wine wine64 wine32:i386)
    # The 32-bit wine runs the 32-bit program and the installer.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        sudo=()
        [ "$(id -u)" -ne 0 ] && sudo=(sudo)
        "${sudo[@]}" dpkg --add-architecture i386
    fi
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
