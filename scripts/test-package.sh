#!/usr/bin/env bash
# Checks the release packages in dist/ (made by scripts/package.sh) the way
# their users get them:
#   - the checksums in SHA256SUMS match;
#   - the .deb installs with apt-get into a clean Debian 12 root, its program
#     opens and paints its window (offscreen), stays up and ends on SIGTERM,
#     and purging the package leaves none of its files behind;
#   - the programs in both zips start under wine and show their window;
#   - the installer installs silently under wine (program, licence,
#     uninstaller, Start-menu shortcut, uninstall entry with publisher,
#     version and icon) and its uninstaller removes all of it silently.
# Needs root (debootstrap and chroot). The clean root is made once per
# machine with debootstrap and kept as a tar file, with the .debs apt
# downloads for it, under $ZELVANE_TEST_CACHE (default
# /var/cache/zelvane-test); each run unpacks a fresh copy.
# `test-package.sh --prepare` only makes that clean root, if it is not made
# yet (scripts/test.sh runs it in the background while the program builds).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
version=1.00
deb=zelvane_1.00-1_amd64.deb
cache=${ZELVANE_TEST_CACHE:-/var/cache/zelvane-test}

fail() {
    echo "test-package.sh: $*" >&2
    exit 1
}
step() { echo "== package test: $* (at ${SECONDS} s)"; }

[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap and chroot)"
bash scripts/install-deps.sh package-test || fail "could not install what the packaging test needs"

# The Debian 12 suites this machine's apt reads, as sources.list lines
# ("deb URI SUITE COMPONENT"): the clean root uses the same mirrors.
debian_sources() {
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

for f in "$deb" "zelvane-$version-win32.zip" "zelvane-$version-win64.zip" "zelvane-$version-setup.exe" SHA256SUMS; do
    [ -f "dist/$f" ] || fail "dist/$f is missing: run scripts/package.sh first"
done

work=$(mktemp -d /tmp/zelvane-package-test.XXXXXX)
xvfb_pid=
cleanup() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
        timeout 20 wineserver -w 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
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

cat >"$chroot_dir/tmp/check.sh" <<'EOF'
#!/bin/bash
# Runs inside the clean root.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin
deb=$1
fail() { echo "in the clean root: $*" >&2; exit 1; }
# Every file and folder, except the package manager's own state, logs and
# scratch space.
snapshot() {
    find / -xdev \( -path /proc -o -path /tmp -o -path /run -o -path /dev -o -path /var/cache/apt \
        -o -path /var/lib/apt -o -path /var/lib/dpkg -o -path /var/log -o -path /var/cache/debconf \) -prune \
        -o -print | sort
}

apt-get update -q >/tmp/apt.log 2>&1 || { cat /tmp/apt.log; fail "apt-get update failed"; }
apt-get install -y -q --no-install-recommends "/tmp/$deb" >>/tmp/apt.log 2>&1 ||
    { tail -n 30 /tmp/apt.log; fail "apt-get install ./$deb failed"; }
echo "installed $(dpkg-query -W -f='${Package} ${Version}' zelvane) with $(grep -c '^Unpacking' /tmp/apt.log) packages"

# Start the installed program as a user would (from PATH), offscreen. Qt
# logs its window painting; the first full paint of the top-level window is
# the sign that the window is open.
mkdir -p -m 700 /tmp/home
HOME=/tmp/home XDG_RUNTIME_DIR=/tmp/home QT_QPA_PLATFORM=offscreen \
    QT_LOGGING_RULES='qt.widgets.painting=true' zelvane >/tmp/zelvane.log 2>&1 &
pid=$!
opened=
for _ in $(seq 100); do
    if grep -q 'Painting and flushing dirty top level' /tmp/zelvane.log; then opened=1; break; fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
if [ -z "$opened" ]; then
    tail -n 20 /tmp/zelvane.log
    kill -KILL "$pid" 2>/dev/null || true
    fail "the program did not open its window within 20 s"
fi
sleep 2
kill -0 "$pid" 2>/dev/null || { tail -n 20 /tmp/zelvane.log; fail "the program ended by itself after opening its window"; }
kill -TERM "$pid"
status=0
timeout 10 tail --pid="$pid" -f /dev/null || { kill -KILL "$pid"; fail "the program did not end within 10 s of SIGTERM"; }
wait "$pid" || status=$?
# The program quits its event loop on SIGTERM and ends normally.
case $status in
    0) echo "window opened, stayed up, ended cleanly on SIGTERM (exit status 0)" ;;
    *) tail -n 20 /tmp/zelvane.log; fail "the program ended with status $status on SIGTERM" ;;
esac

# Purge the package alone: exactly its files must go, nothing else may change.
dpkg-query -L zelvane | grep -vx '/\.' | sort >/tmp/owned
snapshot >/tmp/before
apt-get purge -y -q zelvane >>/tmp/apt.log 2>&1 || { tail -n 20 /tmp/apt.log; fail "apt-get purge zelvane failed"; }
snapshot >/tmp/after
if dpkg-query -W -f='${Status}\n' zelvane 2>/dev/null | grep -q .; then
    fail "dpkg still knows the package after the purge: $(dpkg-query -W -f='${Status}' zelvane)"
fi
comm -13 /tmp/before /tmp/after >/tmp/added
[ ! -s /tmp/added ] || { cat /tmp/added; fail "purging the package added files"; }
comm -23 /tmp/before /tmp/after >/tmp/removed
comm -23 /tmp/removed /tmp/owned >/tmp/others
[ ! -s /tmp/others ] || { cat /tmp/others; fail "purging the package removed files it does not own"; }
left=0
while IFS= read -r path; do
    # A folder that other packages share stays; anything else is left over.
    if [ -e "$path" ] && ! { [ -d "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1; }; then
        echo "left behind: $path"
        left=1
    fi
done </tmp/owned
[ "$left" -eq 0 ] || fail "purging the package left files behind"
echo "purge removed all $(wc -l </tmp/removed) of its files and folders and nothing else"
EOF
chmod +x "$chroot_dir/tmp/check.sh"
step "install the .deb, start its program, purge it"
# A private mount and process namespace: /proc for the root, and every
# process still running in it ends with it.
unshare --mount --pid --fork --mount-proc="$chroot_dir/proc" chroot "$chroot_dir" /tmp/check.sh "$deb" ||
    fail "the .deb failed in the clean root"
find "$chroot_dir/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -n {} "$cache/archives/" \;

# --- The Windows packages under wine -----------------------------------------

step "wine with a private prefix and X server"
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.2; done
[ -s "$work/display" ] || fail "Xvfb did not start (log: $(cat "$work/xvfb.log"))"
export DISPLAY=:$(head -n1 "$work/display")
timeout 180 wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; fail "wineboot could not make the prefix"; }
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

step "installer: silent install"
drive=$WINEPREFIX/drive_c
files_before=$(cd "$drive" && find . | sort)
cp "dist/zelvane-$version-setup.exe" "$work/"
timeout 120 wine "$work/zelvane-$version-setup.exe" /S >"$work/setup.log" 2>&1 || fail "the installer failed (/S)"
timeout 60 wineserver -w || fail "wine did not settle after the installer"
rm "$work/zelvane-$version-setup.exe"
install_dir="$drive/Program Files (x86)/Zelvane"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Зелване.lnk"
for f in "$install_dir/zelvane.exe" "$install_dir/LICENSE.txt" "$install_dir/uninstall.exe" "$shortcut"; do
    [ -f "$f" ] || fail "the installer did not install ${f#"$drive/"}"
done
# The 32-bit installer writes the 32-bit view of the registry; wine keeps it
# in system.reg under Wow6432Node.
key='[Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zelvane]'
entry=$(KEY=$key awk 'index($0, ENVIRON["KEY"]) == 1 { on = 1; next } /^\[/ { on = 0 } on' "$WINEPREFIX/system.reg")
[ -n "$entry" ] || fail "the installer wrote no uninstall entry"
for value in '"DisplayVersion"="1.00"' '"Publisher"="The Zelvane authors"' \
    '"DisplayIcon"="C:\\Program Files (x86)\\Zelvane\\zelvane.exe,0"' \
    '"UninstallString"="\"C:\\Program Files (x86)\\Zelvane\\uninstall.exe\""' '"DisplayName"='; do
    grep -qF "$value" <<<"$entry" || { echo "$entry"; fail "the uninstall entry lacks $value"; }
done
echo "program, licence, uninstaller, Start-menu shortcut and uninstall entry are in place"

step "installer: silent uninstall"
timeout 120 wine "C:\\Program Files (x86)\\Zelvane\\uninstall.exe" /S >"$work/uninstall.log" 2>&1 ||
    fail "the uninstaller failed (/S)"
# The uninstaller runs a copy of itself from the temporary folder, which
# then removes that folder; wineserver -w waits for all of them.
timeout 60 wineserver -w || fail "wine did not settle after the uninstaller"
grep -qF "$key" "$WINEPREFIX/system.reg" && fail "the uninstall entry is still there"
files_after=$(cd "$drive" && find . | sort)
left=$(comm -13 <(echo "$files_before") <(echo "$files_after"))
if [ -n "$left" ]; then
    echo "$left"
    fail "the uninstaller left files behind"
fi
echo "no file and no uninstall entry is left"
step "all passed"
