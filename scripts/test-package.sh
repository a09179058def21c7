#!/usr/bin/env bash
# Checks the release packages in dist/ (made by scripts/package.sh) the way
# their users get them:
#   - the checksums in SHA256SUMS match;
#   - the .deb installs with apt-get into a clean Debian 12 root, its program
#     opens and paints its window (offscreen), stays up and ends on SIGTERM,
#     and purging the package removes exactly its files
#     (scripts/check-deb-in-root.sh, run inside that root);
#   - the programs in both zips start under wine and show their window;
#   - under wine, the installer installs silently (program, licence,
#     uninstaller, Start-menu shortcut, uninstall entry with publisher,
#     version and icon) and its uninstaller removes all of it silently
#     (but a file saved in the program's folder, which stays with the folder);
#     while the installed program runs, both stop with exit code 2 and
#     change nothing; a folder chosen with /D= gets \Zelvane appended unless
#     it is named so, and another program's LICENSE.txt and uninstall.exe in
#     that folder survive installing and uninstalling. Every step compares
#     the C: drive before and after in both directions: what was added,
#     what went, and what was written over.
# Needs root (debootstrap and chroot). The clean root is made once per
# machine with debootstrap and kept as a tar file, with the .debs apt
# downloads for it, under $ZELVANE_TEST_CACHE (default
# /var/cache/zelvane-test); each run unpacks a fresh copy.
# `test-package.sh --prepare` only makes that clean root, if it is not made
# yet (scripts/test.sh runs it in the background while the program builds).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
cache=${ZELVANE_TEST_CACHE:-/var/cache/zelvane-test}

fail() {
    echo "test-package.sh: $*" >&2
    exit 1
}
step() { echo "== package test: $* (at ${SECONDS} s)"; }
# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh

[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap and chroot)"
bash scripts/install-deps.sh package-test || fail "could not install what the packaging test needs"

# The Debian 12 suites this machine's apt reads, as sources.list lines
# ("deb URI SUITE COMPONENT"): the clean root uses the same mirrors.
debian_sources() {
    # shellcheck disable=SC2016 # $(...) here is apt's own field syntax
    apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Created-By: Packages' 2>/dev/null |
        awk '$2 ~ /^bookworm(-updates|-security)?$/ { print "deb " $1 " " $2 " " $3 }' | sort -u
}

# Makes the clean Debian 12 root once per machine and keeps it as a tar file.
make_clean_root() {
    mkdir -p "$cache/archives"
    (
        flock 9
        if [ ! -f "$cache/bookworm-minbase.tar" ]; then
            echo "making it once with debootstrap (kept in $cache)"
            rm -rf --one-file-system "$cache/bookworm-minbase"
            local sources mirror
            sources=$(debian_sources)
            mirror=$(awk '$3 == "bookworm" { print $2; exit }' <<<"$sources")
            [ -n "$mirror" ] || { echo "apt on this machine reads no Debian 12 (bookworm) archive"; exit 1; }
            nice -n 10 debootstrap --variant=minbase bookworm "$cache/bookworm-minbase" "$mirror" \
                >"$cache/debootstrap.log" 2>&1 || { tail -n 20 "$cache/debootstrap.log"; exit 1; }
            printf '%s\n' "$sources" >"$cache/bookworm-minbase/etc/apt/sources.list"
            rm -f "$cache"/bookworm-minbase/var/cache/apt/archives/*.deb
            tar -C "$cache/bookworm-minbase" -cf "$cache/bookworm-minbase.tar.part" .
            mv "$cache/bookworm-minbase.tar.part" "$cache/bookworm-minbase.tar"
            rm -rf --one-file-system "$cache/bookworm-minbase"
        fi
    ) 9>"$cache/lock" || fail "debootstrap could not make the clean root (log: $cache/debootstrap.log)"
}

if [ "${1:-}" = --prepare ]; then
    step "clean Debian 12 root"
    make_clean_root
    exit 0
fi

# The version the packages carry: debian/changelog's, as scripts/package.sh
# names them (the upstream part, 1.00 of 1.00-1, for the Windows files).
debversion=$(dpkg-parsechangelog -l debian/changelog -SVersion) || fail "cannot read the version from debian/changelog"
debversion=${debversion#*:}
version=${debversion%-*}
deb=zelvane_${debversion}_$(dpkg-architecture -qDEB_HOST_ARCH).deb

for f in "$deb" "zelvane-$version-win32.zip" "zelvane-$version-win64.zip" "zelvane-$version-setup.exe" SHA256SUMS; do
    [ -f "dist/$f" ] || fail "dist/$f is missing: run scripts/package.sh first"
done

work=$(mktemp -d /tmp/zelvane-package-test.XXXXXX)
cleanup() {
    wine_session_stop
    # Nothing is mounted under $work (the chroot's /proc lives in its own
    # mount namespace); --one-file-system guards against a mistake anyway.
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT

step "checksums"
(cd dist && sha256sum --quiet -c SHA256SUMS) || fail "dist/SHA256SUMS does not match the files"

# --- The Debian package in a clean Debian 12 root --------------------------

step "clean Debian 12 root"
make_clean_root
chroot_dir=$work/root
mkdir "$chroot_dir"
tar -C "$chroot_dir" -xf "$cache/bookworm-minbase.tar"
cp "dist/$deb" "$chroot_dir/tmp/"
# The .debs of earlier runs: apt takes them instead of downloading again
# when they are still the current versions.
find "$cache/archives" -name '*.deb' -exec cp -l {} "$chroot_dir/var/cache/apt/archives/" \; 2>/dev/null ||
    find "$cache/archives" -name '*.deb' -exec cp {} "$chroot_dir/var/cache/apt/archives/" \;
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"

cp scripts/check-deb-in-root.sh "$chroot_dir/tmp/"
step "install the .deb, start its program, purge it"
# A private mount and process namespace: /proc for the root, and every
# process still running in it ends with it.
unshare --mount --pid --fork --mount-proc="$chroot_dir/proc" chroot "$chroot_dir" /tmp/check-deb-in-root.sh "$deb" ||
    fail "the .deb failed in the clean root"
find "$chroot_dir/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -n {} "$cache/archives/" \;

# --- The Windows packages under wine -----------------------------------------

step "wine with a private prefix and X server"
# The prefix is fresh: made here, or made for this run beforehand in
# ZELVANE_PACKAGE_WINE_DIR (scripts/test.sh makes it while the program builds).
wine_session_start "${ZELVANE_PACKAGE_WINE_DIR:-$work/wine}" || fail "could not start wine with a private prefix and X server"
trap cleanup EXIT  # wine_session_start set its own
timeout 60 wineserver -w || fail "wine did not settle after making the prefix"

# Waits (bounded) for a top-level window of the program $1 (the file name
# of its .exe, which wine gives as the window's class), other than the
# input-method window every wine program has.
wait_for_window() {
    local exe=$1 pid=$2
    for _ in $(seq 150); do
        if xwininfo -root -tree 2>/dev/null | grep -F "(\"$exe\" " | grep -vqF '"Default IME"'; then return 0; fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.2
    done
    return 1
}

for bits in 32 64; do
    step "zelvane-$version-win$bits.zip starts under wine"
    if [ $bits = 32 ] && [ "$WINE_SESSION_32BIT" = 0 ]; then
        echo "SKIPPED: this host cannot execute 32-bit programs"
        continue
    fi
    unzip -q "dist/zelvane-$version-win$bits.zip" -d "$work/zip$bits"
    dir=$work/zip$bits/zelvane-$version-win$bits
    for f in zelvane.exe LICENSE.txt README.txt; do [ -f "$dir/$f" ] || fail "the zip has no $f"; done
    (cd "$dir" && exec wine zelvane.exe) >"$work/zip$bits.log" 2>&1 &
    pid=$!
    wait_for_window zelvane.exe "$pid" || { cat "$work/zip$bits.log"; fail "zelvane.exe from the win$bits zip showed no window within 30 s"; }
    sleep 1
    kill -0 "$pid" 2>/dev/null || fail "zelvane.exe from the win$bits zip ended by itself"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    wineserver -k
    timeout 30 wineserver -w || true
    echo "its window opened"
done

if [ "$WINE_SESSION_32BIT" = 0 ]; then
    step "installer: SKIPPED: the installer is a 32-bit program, and this host cannot execute 32-bit programs"
    step "all passed (but the installer)"
    exit 0
fi

drive=$WINEPREFIX/drive_c
setup=$root/dist/zelvane-$version-setup.exe
shortcut='./ProgramData/Microsoft/Windows/Start Menu/Programs/Зелване.lnk'
# The 32-bit installer writes the 32-bit view of the registry, which a
# 64-bit prefix keeps under Wow6432Node.
entry_key='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Zelvane'

# Every file and folder on the prefix's C: drive but wine's own Windows
# folder, a line each; a file with its size and the time its inode last
# changed, so that a file written over or replaced differs as well as one
# added or removed. Folders without times: adding or removing an entry
# changes a folder's own.
snapshot() {
    (cd "$drive" && find . -path ./windows -prune -o -type d -printf 'folder\t-\t-\t%p\n' \
        -o -printf 'file\t%s\t%C@\t%p\n') | LC_ALL=C sort
}
# What differs between two snapshots, both ways, as paths.
report_changes() {
    comm -23 "$1" "$2" | cut -f4 | sed 's/^/  gone or written over: /'
    comm -13 "$1" "$2" | cut -f4 | sed 's/^/  new or written over:  /'
}
# Fails with $2 unless the C: drive is exactly as in snapshot $1.
expect_unchanged() {
    snapshot >"$work/now.snapshot"
    cmp -s "$1" "$work/now.snapshot" || { report_changes "$1" "$work/now.snapshot"; fail "$2"; }
}
# Fails with $2 unless the C: drive is as in snapshot $1 with exactly the
# paths $3... added: nothing else new, nothing gone, nothing written over.
expect_added() {
    local before=$1 message=$2 gone added wanted
    shift 2
    snapshot >"$work/now.snapshot"
    gone=$(comm -23 "$before" "$work/now.snapshot")
    added=$(comm -13 "$before" "$work/now.snapshot" | cut -f4 | LC_ALL=C sort)
    wanted=$(printf '%s\n' "$@" | LC_ALL=C sort)
    if [ -n "$gone" ] || [ "$added" != "$wanted" ]; then
        report_changes "$before" "$work/now.snapshot"
        printf '  expected new: %s\n' "$@"
        fail "$message"
    fi
}
# The uninstall entry's values as .reg lines, nothing when there is none.
uninstall_entry() {
    rm -f "$work/entry.reg"
    timeout 60 wine reg export "$entry_key" "Z:${work//\//\\}\\entry.reg" /y >/dev/null 2>&1 || return 0
    iconv -f UTF-16 -t UTF-8 "$work/entry.reg" | tr -d '\r' | grep '^"'
}
# Runs a Windows program, bounded, and prints its exit code.
exit_code() {
    local status=0
    timeout 120 wine "$@" >>"$work/setup.log" 2>&1 || status=$?
    [ "$status" -ne 124 ] || fail "$* did not end within 120 s"
    echo "$status"
}
# Waits until wine's programs have ended: the uninstaller deletes its own
# file with a command that runs on after it.
settle() { timeout 60 wineserver -w || fail "wine did not settle after $1"; }

# The files the installer puts into the folder $1 (as a snapshot names it).
program_files() { printf '%s\n' "$1" "$1/zelvane.exe" "$1/LICENSE.txt" "$1/uninstall.exe" "$shortcut"; }

step "installer: silent install"
snapshot >"$work/clean.snapshot"
status=$(exit_code "$setup" /S)
[ "$status" -eq 0 ] || fail "the installer failed (/S): exit code $status"
mapfile -t installed < <(program_files "./Program Files (x86)/Zelvane")
expect_added "$work/clean.snapshot" "the installer did not add exactly the program's files, or changed others" \
    "${installed[@]}"
install_dir="$drive/Program Files (x86)/Zelvane"
cmp -s "$install_dir/zelvane.exe" "$work/zip32/zelvane-$version-win32/zelvane.exe" ||
    fail "the installed zelvane.exe is not the 32-bit program of the zip"
cmp -s "$install_dir/LICENSE.txt" "$work/zip32/zelvane-$version-win32/LICENSE.txt" ||
    fail "the installed LICENSE.txt is not the zip's"
entry=$(uninstall_entry)
[ -n "$entry" ] || fail "the installer wrote no uninstall entry"
IFS=. read -r major minor _ <<<"$version.0"
while IFS= read -r value; do
    grep -qxF "$value" <<<"$entry" || { echo "$entry"; fail "the uninstall entry lacks $value"; }
done <<EOF
"DisplayName"="Зелване"
"DisplayVersion"="$version"
"Publisher"="The Zelvane authors"
"DisplayIcon"="C:\\\\Program Files (x86)\\\\Zelvane\\\\zelvane.exe,0"
"InstallLocation"="C:\\\\Program Files (x86)\\\\Zelvane"
"UninstallString"="\\"C:\\\\Program Files (x86)\\\\Zelvane\\\\uninstall.exe\\""
"QuietUninstallString"="\\"C:\\\\Program Files (x86)\\\\Zelvane\\\\uninstall.exe\\" /S"
"VersionMajor"=dword:$(printf '%08x' "$((10#$major))")
"VersionMinor"=dword:$(printf '%08x' "$((10#$minor))")
EOF
echo "program, licence, uninstaller, Start-menu shortcut and uninstall entry are in place, nothing else changed"

step "installer and uninstaller while the installed program runs"
(cd "$install_dir" && exec wine zelvane.exe) >"$work/running.log" 2>&1 &
running=$!
wait_for_window zelvane.exe "$running" || { cat "$work/running.log"; fail "the installed zelvane.exe showed no window"; }
snapshot >"$work/installed.snapshot"
for run in "uninstaller|C:\\Program Files (x86)\\Zelvane\\uninstall.exe" "installer|$setup"; do
    what=${run%%|*}
    status=$(exit_code "${run#*|}" /S)
    [ "$status" -eq 2 ] || fail "the $what (/S) ended with exit code $status while the program ran, not 2"
    expect_unchanged "$work/installed.snapshot" "the $what (/S) changed files while the program ran"
    [ "$(uninstall_entry)" = "$entry" ] || fail "the $what (/S) changed the uninstall entry while the program ran"
    echo "the $what stopped with exit code 2 and changed nothing"
done
kill -0 "$running" 2>/dev/null || fail "the installed program ended while the installer and uninstaller ran"
kill "$running"
wait "$running" 2>/dev/null || true
settle "the program"

step "installer: silent uninstall"
# A file someone saved into the program's folder stays, and so does the
# folder; all the rest goes.
printf 'notes\r\n' >"$install_dir/notes.txt"
status=$(exit_code "C:\\Program Files (x86)\\Zelvane\\uninstall.exe" /S)
[ "$status" -eq 0 ] || fail "the uninstaller failed (/S): exit code $status"
settle "the uninstaller"
expect_added "$work/clean.snapshot" "the uninstaller did not remove exactly what the installer added" \
    "./Program Files (x86)/Zelvane" "./Program Files (x86)/Zelvane/notes.txt"
[ -z "$(uninstall_entry)" ] || fail "the uninstall entry is still there"
rm -r "$install_dir"
echo "only the file saved beside the program and its folder are left; no uninstall entry, nothing else changed"

step "installer: chosen folders, beside another program's files"
# Another program's licence and uninstaller in the folder the user names:
# the installer must not write over them, nor the uninstaller delete them.
mkdir "$drive/Other"
printf 'Another program'"'"'s licence\r\n' >"$drive/Other/LICENSE.txt"
printf 'MZ: another program'"'"'s uninstaller\r\n' >"$drive/Other/uninstall.exe"
snapshot >"$work/other.snapshot"
# /D= as given | the folder the program must go into
while IFS='|' read -r given folder; do
    status=$(exit_code "$setup" /S "/D=$given")
    [ "$status" -eq 0 ] || fail "the installer failed (/S /D=$given): exit code $status"
    mapfile -t installed < <(program_files "./$folder")
    expect_added "$work/other.snapshot" "/D=$given: the installer did not add exactly the program's files there" \
        "${installed[@]}"
    windows_folder="C:\\${folder//\//\\}"
    grep -qxF "\"InstallLocation\"=\"${windows_folder//\\/\\\\}\"" <<<"$(uninstall_entry)" ||
        fail "/D=$given: the uninstall entry does not name $windows_folder"
    status=$(exit_code "$windows_folder\\uninstall.exe" /S)
    [ "$status" -eq 0 ] || fail "the uninstaller in $windows_folder failed (/S): exit code $status"
    settle "the uninstaller"
    expect_unchanged "$work/other.snapshot" "/D=$given: the uninstaller did not leave the C: drive as it was"
    echo "/D=$given installed into $windows_folder and uninstalled, the other program's files untouched"
done <<'EOF'
C:\Other|Other/Zelvane
C:\Other\|Other/Zelvane
C:\Other\zelvane|Other/zelvane
C:\|Zelvane
EOF
step "all passed"
