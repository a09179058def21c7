#!/bin/bash
# Checks the Debian package inside the clean Debian 12 root that
# scripts/test-package.sh makes, where it is copied to /tmp and run as
#   check-deb-in-root.sh PACKAGE.deb      (the .deb lies in /tmp as well)
# It installs the package with apt-get (which fetches what it depends on),
# starts the installed program as a user would, offscreen, checks that it
# opens its window, stays up and ends with status 0 on SIGTERM, and then
# purges the package: exactly its files must go, and nothing else may
# change.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin
deb=${1:?usage: check-deb-in-root.sh PACKAGE.deb}
fail() { echo "in the clean root: $*" >&2; exit 1; }
# Every file and folder, except the package manager's own state, logs and
# scratch space.
snapshot() {
    find / -xdev \( -path /proc -o -path /tmp -o -path /run -o -path /dev -o -path /var/cache/apt \
        -o -path /var/lib/apt -o -path /var/lib/dpkg -o -path /var/log -o -path /var/cache/debconf \) -prune \
        -o -print | sort
}

# A mirror in the middle of a sync fails the lists' checks for a few
# seconds: ask again before giving up.
for wait in 5 15 0; do
    apt-get -o Acquire::Retries=3 update -q >/tmp/apt.log 2>&1 && break
    [ "$wait" -ne 0 ] || { cat /tmp/apt.log; fail "apt-get update failed"; }
    sleep "$wait"
done
apt-get -o Acquire::Retries=3 install -y -q --no-install-recommends "/tmp/$deb" >>/tmp/apt.log 2>&1 ||
    { tail -n 30 /tmp/apt.log; fail "apt-get install ./$deb failed"; }
echo "installed $(dpkg-query -W -f='${Package} ${Version}' zelvane) with $(grep -c '^Unpacking' /tmp/apt.log) packages"

# Start the installed program as a user would (from PATH), offscreen. Qt
# logs its window painting; the first full paint of the top-level window is
# the sign that the window is open.
mkdir -m 700 /tmp/home
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
