#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build needs and is missing.
#   install-deps.sh        what building and opening the window needs
#   install-deps.sh test   also what the tests, sanitizers and fuzzers need
#   install-deps.sh bench  also what the benchmarks need
#   install-deps.sh web    what building the web page needs
#   install-deps.sh windows       the mingw-w64 cross compilers for the Windows program
#   install-deps.sh windows-test  also wine (64- and 32-bit) and a private X server
set -euo pipefail

packages=(cmake make g++ pkg-config libfast-float-dev libfmt-dev qt6-base-dev qt6-base-dev-tools libgl-dev libfontconfig-dev fonts-liberation qt6-translations-l10n)
if [ "${1:-}" = test ]; then
    packages+=(clang libclang-rt-14-dev binutils-mingw-w64-x86-64 emscripten chromium)
fi
if [ "${1:-}" = web ]; then
    packages+=(emscripten)
fi
windows=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64)
wine=(wine wine64 wine32:i386 fonts-wine xvfb)
case "${1:-}" in
    windows) packages+=("${windows[@]}") ;;
    windows-test | windows-bench) packages+=("${windows[@]}" "${wine[@]}") ;;
esac
if [ "${1:-}" = bench ]; then
    packages+=(libbenchmark-dev libxcb1-dev libxcb-damage0-dev pkg-config xvfb x11-utils emscripten chromium)
fi

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

# wine32 comes from the i386 architecture, which must be known to dpkg
# (and apt's lists refreshed) before it can be installed.
if printf '%s\n' "${packages[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
    "${sudo[@]}" apt-get update -q
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
