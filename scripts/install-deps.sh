#!/usr/bin/env bash
# Installs, from Debian's packages, whatever is needed and missing.
#   install-deps.sh [MODE...]
#     (no mode)     building and opening the Linux window
#     test          also the tests, sanitizers, fuzzers and browser tests
#     web           the web page's build (emscripten)
#     windows       the mingw-w64 cross compilers for the Windows program
#     windows-test  also wine (64- and 32-bit) and a private X server
#     package       what scripts/package.sh needs to build and check the
#                   release packages
#     package-test  also what the packaging test needs: a clean Debian
#                   root, wine and a private X server
#     bench         also what the benchmarks need
# Several modes may be given at once; everything goes in one apt run.
set -euo pipefail

packages=(cmake make g++ pkg-config libfast-float-dev libfmt-dev qt6-base-dev qt6-base-dev-tools libgl-dev
          libfontconfig-dev fonts-liberation qt6-translations-l10n)
windows=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64)
wine=(wine wine64 wine32:i386 fonts-wine xvfb x11-utils)
for mode in "$@"; do
    case "$mode" in
        test) packages+=(clang libclang-rt-14-dev emscripten chromium poppler-utils) ;;
        web) packages+=(emscripten) ;;
        windows) packages+=("${windows[@]}") ;;
        windows-test | windows-bench) packages+=("${windows[@]}" "${wine[@]}") ;;
        package) packages+=(debhelper dpkg-dev pkgconf lintian appstream desktop-file-utils nsis zip
                            binutils-mingw-w64-x86-64) ;;
        package-test) packages+=(debhelper dpkg-dev pkgconf lintian appstream desktop-file-utils nsis zip
                                 binutils-mingw-w64-x86-64 debootstrap unzip "${wine[@]}") ;;
        bench) packages+=(libbenchmark-dev libxcb1-dev libxcb-damage0-dev xvfb x11-utils xdotool emscripten chromium) ;;
        *) echo "install-deps.sh: unknown mode $mode" >&2; exit 2 ;;
    esac
done

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
# wine32 comes from the i386 architecture, which dpkg must know before
# apt's lists are read.
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi
# A mirror caught in the middle of a sync serves lists that fail their
# checks ("Mirror sync in progress?"); such a failure mostly passes in a
# few seconds, so the lists are asked for again before going on.
retries=(-o Acquire::Retries=3)
log=$(mktemp)
pin=$(mktemp)
trap 'rm -f "$log" "$pin"' EXIT
for wait in 5 15 0; do
    if "${sudo[@]}" apt-get "${retries[@]}" update -q 2>&1 | tee "$log"; then
        break
    fi
    [ "$wait" -eq 0 ] && break
    echo "install-deps.sh: reading the package lists failed; trying again in $wait s" >&2
    sleep "$wait"
done
apt_install() {
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get "${retries[@]}" "$@" install -y -q --no-install-recommends "${missing[@]}"
}
if apt_install; then
    exit 0
fi
# When a security suite's list for one architecture could not be read, apt
# knows its newer versions for the other architecture only, and 32-bit
# wine needs the same version of each shared library for both. Installing
# then succeeds only from the release's own suites; say so loudly, since
# those lack the latest security updates.
grep -q '^E: Failed to fetch .*-security/' "$log" || exit 1
echo "install-deps.sh: the security suite's package lists could not be read;" \
     "installing from the release's own suites instead (run apt-get upgrade once the mirror is whole again)" >&2
printf 'Package: *\nPin: release n=%s-security\nPin-Priority: 100\n' "$(. /etc/os-release && echo "$VERSION_CODENAME")" >"$pin"
apt_install -o "Dir::Etc::Preferences=$pin"
