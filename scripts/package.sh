#!/usr/bin/env bash
# Builds the release packages into dist/ (named here for debian/changelog's 1.00-1):
#   zelvane_1.00-1_amd64.deb     the Debian package (dpkg-buildpackage, release build)
#   zelvane-1.00-win32.zip       the 32-bit Windows program, its licence and a read-me
#   zelvane-1.00-win64.zip       the same for 64-bit Windows
#   zelvane-1.00-setup.exe       the installer of the 32-bit program (NSIS), with
#                                its uninstaller inside
#   SHA256SUMS                   checksums of the four
# Installs what is missing, checks the desktop metadata and the Debian
# package (lintian), and stops with a message and a non-zero exit at the
# first missing tool, failed build or failed check. Everything is written
# into a temporary folder that replaces dist/ only when all of it is done.
#
# The version is debian/changelog's (its upstream part), and it must be the
# one CMake's project(VERSION) gives the programs: the script checks that
# the Debian build and both Windows programs declare it, and that the
# AppStream metainfo's newest release and the zips' read-me name it.
#
# The Windows programs come from scripts/build-windows.sh
# (build-windows/zelvane-win32.exe and zelvane-win64.exe); to package
# programs built elsewhere, set ZELVANE_WINDOWS_EXES to the folder that
# holds those two files.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
metainfo=assets/io.github.zelvane.zelvane.metainfo.xml

fail() {
    echo "package.sh: $*" >&2
    exit 1
}
step() { echo "== package: $*"; }

bash scripts/install-deps.sh package || fail "could not install the packaging tools (scripts/install-deps.sh package)"
for tool in git dpkg-buildpackage dpkg-parsechangelog dpkg-architecture lintian appstreamcli desktop-file-validate \
    makensis zip sha256sum x86_64-w64-mingw32-objdump x86_64-w64-mingw32-windres; do
    command -v "$tool" >/dev/null || fail "missing tool: $tool (scripts/install-deps.sh package installs it)"
done

# The version: debian/changelog's newest entry, e.g. 1.00-1, whose upstream
# part (no epoch, no Debian revision) is the program's, 1.00. Windows wants
# it as four numbers as well: 1.0.0.0.
debversion=$(dpkg-parsechangelog -l debian/changelog -SVersion) || fail "cannot read the version from debian/changelog"
version=${debversion#*:}
version=${version%-*}
[[ $version =~ ^[0-9]+(\.[0-9]+){0,3}$ ]] ||
    fail "the version $version (debian/changelog) is not up to four numbers such as 1.00, as Windows needs it"
IFS=. read -r -a parts <<<"$version.0.0.0"
version_quad=$((10#${parts[0]})).$((10#${parts[1]})).$((10#${parts[2]})).$((10#${parts[3]}))
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
echo "== package: version $version (Debian $debversion, Windows $version_quad)"

stage=$(mktemp -d "$root/dist.tmp.XXXXXX")
trap 'rm -rf "$stage"' EXIT
# File dates inside the archives: the date of the release's changelog entry.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l debian/changelog -STimestamp)
export SOURCE_DATE_EPOCH

step "version in the metadata"
# Hand-written at each release beside debian/changelog.
release=$(grep -o -m1 '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[ "$release" = "$version" ] ||
    fail "the newest release in $metainfo is ${release:-missing}, debian/changelog says $version"
grep -q "^Zelvane $version " packaging/windows/README.txt ||
    fail "packaging/windows/README.txt does not name version $version in its English title"
grep -q "^Зелване $version " packaging/windows/README.txt ||
    fail "packaging/windows/README.txt does not name version $version in its Bulgarian title"

step "desktop metadata"
desktop-file-validate assets/zelvane.desktop >"$stage/check.log" 2>&1 || true
if [ -s "$stage/check.log" ]; then
    cat "$stage/check.log" >&2
    fail "desktop-file-validate reports problems in assets/zelvane.desktop"
fi
# Errors, warnings and infos all fail the check; pedantic hints are shown.
if ! appstreamcli validate --no-net --pedantic --no-color "$metainfo" >"$stage/check.log" 2>&1 ||
    grep -qE '^[EWI]:' "$stage/check.log"; then
    cat "$stage/check.log" >&2
    fail "appstreamcli reports problems in $metainfo"
fi
grep -E '^P:' "$stage/check.log" || true

step "Debian package (release build)"
# dpkg-buildpackage writes next to the source tree, so it builds a copy of
# the working tree under build-deb/. Its CMake build folder stays between
# runs, so that a rebuild compiles only what changed.
debsrc=build-deb/zelvane-$version
mkdir -p "$debsrc"
find "$debsrc" -mindepth 1 -maxdepth 1 ! -name 'obj-*' -exec rm -rf {} +
rm -f build-deb/zelvane_* build-deb/zelvane-dbgsym_*
git ls-files --cached --others --exclude-standard -z |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf - | tar -xf - -C "$debsrc"
if ! (cd "$debsrc" && DEB_BUILD_OPTIONS="nocheck noddebs parallel=2" \
    nice -n 10 dpkg-buildpackage -b -nc -uc -us >../dpkg-buildpackage.log 2>&1); then
    tail -n 40 build-deb/dpkg-buildpackage.log >&2
    fail "the Debian package did not build (whole log: build-deb/dpkg-buildpackage.log)"
fi
deb=zelvane_${debversion#*:}_$arch.deb
[ -f "build-deb/$deb" ] || fail "dpkg-buildpackage made no build-deb/$deb"
# The version CMake configured for the program (project(VERSION)).
config_h=$(find "$debsrc" -path '*/form/zelvane_config.h' -print -quit)
[ -n "$config_h" ] || fail "the Debian build left no form/zelvane_config.h to read the program's version from"
grep -qxF "#define ZELVANE_VERSION_TEXT \"$version\"" "$config_h" ||
    fail "the program declares version $(grep -o 'ZELVANE_VERSION_TEXT "[^"]*"' "$config_h"), debian/changelog says $version:" \
        "project(VERSION) in CMakeLists.txt and debian/changelog must change together"
# The installed tree as a whole: the metainfo with the .desktop file it
# names as launchable and the icons that file names.
appstreamcli validate-tree --no-net --pedantic --no-color "$debsrc/debian/zelvane" >"$stage/check.log" 2>&1 ||
    { cat "$stage/check.log" >&2; fail "appstreamcli validate-tree reports problems in the installed files"; }
grep -E '^[EWI]:' "$stage/check.log" >&2 && fail "appstreamcli validate-tree reports problems in the installed files"
cp "build-deb/$deb" "$stage/"

step "lintian"
# Errors and warnings fail; what the package cannot change is overridden,
# with the reason, in debian/zelvane.lintian-overrides.
lintian --fail-on error,warning --display-info "$stage/$deb" || fail "lintian reports problems in $deb"

step "Windows programs"
if [ -n "${ZELVANE_WINDOWS_EXES:-}" ]; then
    exes=$ZELVANE_WINDOWS_EXES
    echo "using the programs in $exes"
else
    [ -f scripts/build-windows.sh ] ||
        fail "scripts/build-windows.sh is missing, so the Windows programs cannot be built" \
            "(or set ZELVANE_WINDOWS_EXES to a folder holding zelvane-win32.exe and zelvane-win64.exe)"
    bash scripts/build-windows.sh || fail "the Windows programs did not build (scripts/build-windows.sh)"
    exes=$root/build-windows
fi
for bits in 32 64; do
    exe=$exes/zelvane-win$bits.exe
    [ -f "$exe" ] || fail "missing $exe"
    case $bits in 32) format=pei-i386 ;; 64) format=pei-x86-64 ;; esac
    x86_64-w64-mingw32-objdump -f "$exe" | grep -q "file format $format" ||
        fail "$exe is not a $bits-bit Windows program ($format)"
    # Its version resource, as Windows' file properties show it.
    resource=$(x86_64-w64-mingw32-windres --target="$format" -J coff -O rc -i "$exe" 2>&1) ||
        fail "cannot read the version resource of $exe: $resource"
    for want in " FILEVERSION ${version_quad//./, }" " PRODUCTVERSION ${version_quad//./, }" \
        "VALUE \"FileVersion\", \"$version\"" "VALUE \"ProductVersion\", \"$version\""; do
        grep -qF "$want" <<<"$resource" ||
            fail "$exe does not declare $want (debian/changelog says $version): build it again from this tree"
    done
done

step "Windows zips"
# Windows' own text tools read these: CRLF line ends, UTF-8 with a byte
# order mark for the Cyrillic read-me.
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
{ printf '\357\273\277'; sed 's/$/\r/' packaging/windows/README.txt; } >"$stage/README.txt"
for bits in 32 64; do
    name=zelvane-$version-win$bits
    mkdir "$stage/$name"
    cp "$exes/zelvane-win$bits.exe" "$stage/$name/zelvane.exe"
    cp "$stage/LICENSE.txt" "$stage/README.txt" "$stage/$name/"
    find "$stage/$name" -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
    (cd "$stage" && TZ=UTC zip -q -X -r "$name.zip" "$name") || fail "zip failed for $name.zip"
    rm -rf "${stage:?}/$name"
done

step "Windows installer"
# The uninstaller first: the installer carries it as one of its files.
nsis=(-V2 -WX -DVERSION="$version" -DVERSION_QUAD="$version_quad" -DICON="$root/assets/icons/zelvane.ico")
makensis "${nsis[@]}" -DOUTFILE="$stage/uninstall.exe" packaging/windows/uninstall.nsi ||
    fail "makensis failed on packaging/windows/uninstall.nsi"
makensis "${nsis[@]}" -DEXE="$exes/zelvane-win32.exe" -DLICENSE="$stage/LICENSE.txt" \
    -DUNINSTALLER="$stage/uninstall.exe" -DOUTFILE="$stage/zelvane-$version-setup.exe" \
    packaging/windows/zelvane.nsi || fail "makensis failed on packaging/windows/zelvane.nsi"
rm -f "$stage/LICENSE.txt" "$stage/README.txt" "$stage/uninstall.exe" "$stage/check.log"

step "checksums"
(cd "$stage" && sha256sum "$deb" "zelvane-$version-win32.zip" "zelvane-$version-win64.zip" \
    "zelvane-$version-setup.exe" >SHA256SUMS)

rm -rf dist.old
[ -d dist ] && mv dist dist.old
mv "$stage" dist
trap - EXIT
rm -rf dist.old
echo "== package: done"
ls -l dist
