#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once in a normal
# build and once with AddressSanitizer and UndefinedBehaviorSanitizer; then
# runs each fuzzer for a short, bounded time (FUZZ_SECONDS, default 30);
# then builds the web page and drives it in headless Chromium; then
# cross-builds the Windows program for both architectures and drives it
# under wine; then builds the release packages and checks them
# (scripts/test-package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test windows-test package-test
jobs=$(nproc)
# Each stage's heading says when it started, to keep an eye on the run's length.
stage() { echo "== $1 (at ${SECONDS} s)"; }

# The packaging test's clean Debian root is made (once per machine) in the
# background while the program builds: debootstrap mostly waits on the
# network. It runs in a process group of its own, ended with this script.
root_log=$(mktemp)
setsid bash scripts/test-package.sh --prepare >"$root_log" 2>&1 &
prepare_pid=$!

# The Windows tests and the packaging test each need a fresh wine prefix,
# which takes 15-50 s to make, mostly waiting on the disk: both are made in
# the background too, each with a private X server as the tests make
# theirs (a prefix made with no display leaves its first program half a
# minute of setting up). A stage whose prefix is not ready makes its own.
package_wine=$(mktemp -d /tmp/zelvane-package-wine.XXXXXX)
wine_log=$(mktemp)
# shellcheck disable=SC2016 # expanded by the inner shell
setsid nice -n 5 bash -c 'source scripts/wine-session.sh
    for dir; do (wine_session_start "$dir" && wine_session_stop) || exit 1; done' \
    _ build-windows/wine "$package_wine" >"$wine_log" 2>&1 &
wine_pid=$!
trap 'for pid in "$prepare_pid" "$wine_pid"; do [ -z "$pid" ] || kill -- -"$pid" 2>/dev/null || true; done
    rm -rf "$root_log" "$wine_log" "$package_wine"' EXIT
# Waits for the prefixes; if making them failed, the stages make their own.
wait_for_wine_prefixes() {
    [ -n "$wine_pid" ] || return 0
    if ! wait "$wine_pid"; then
        cat "$wine_log"
        echo "(making the wine prefixes beforehand failed: the stages make their own)"
        rm -rf build-windows/wine/wine-prefix "$package_wine/wine-prefix"
    fi
    wine_pid=
}
export QT_QPA_PLATFORM=offscreen

stage "normal build"
cmake -S . -B build -DBUILD_TESTING=ON -DZELVANE_BUILD_UI=ON >/dev/null
cmake --build build --parallel "$jobs"
ctest --test-dir build --output-on-failure --parallel "$jobs"

stage "sanitizer build"
cmake -S . -B build-asan -DBUILD_TESTING=ON -DZELVANE_BUILD_UI=ON -DZELVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-asan --parallel "$jobs"
ctest --test-dir build-asan --output-on-failure --parallel "$jobs"

stage "fuzzers"
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DZELVANE_FUZZ=ON -DZELVANE_BUILD_UI=OFF \
    -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --parallel "$jobs"
# The fuzzers run side by side, sharing the two cores.
run_fuzzer() {
    local target=$1 seeds=$2 corpus status=0
    corpus=$(mktemp -d)
    ./build-fuzz/fuzz/fuzz_$target -max_total_time="${FUZZ_SECONDS:-30}" -timeout=10 \
        -artifact_prefix=build-fuzz/ "$corpus" "$seeds" >build-fuzz/$target.log 2>&1 || status=$?
    rm -rf "$corpus"
    return $status
}
declare -A fuzz_seeds=([parse_leading_number]=parse [form_session]=session [explain]=explain)
declare -A fuzz_pids=()
for target in "${!fuzz_seeds[@]}"; do
    run_fuzzer "$target" "fuzz/corpus/${fuzz_seeds[$target]}" &
    fuzz_pids[$target]=$!
done
fuzz_failed=0
for target in "${!fuzz_pids[@]}"; do
    status=0
    wait "${fuzz_pids[$target]}" || status=$?
    grep -E '^(Done|==[0-9]+==|SUMMARY)|invariant|runtime error' build-fuzz/$target.log || true
    if [ "$status" -ne 0 ]; then
        tail -n 40 build-fuzz/$target.log
        echo "fuzz_$target found a failure (exit $status); the input is in build-fuzz/"
        fuzz_failed=1
    fi
done
[ $fuzz_failed -eq 0 ] || exit 1

stage "web page"
bash scripts/build-web.sh
npm ci --no-audit --no-fund --loglevel=error
node --test tests/web/page.test.mjs

# The Windows program, 32- and 64-bit, driven under wine on a private X
# server by its black-box driver, and a slice of the sweep on each.
stage "Windows program under wine"
bash scripts/build-windows.sh --no-deps
wait_for_wine_prefixes
bash tests/win32/run-wine-tests.sh

# The release packages: built as scripts/package.sh builds them (release
# build, desktop metadata and lintian checks), then installed, started and
# removed as their users do: the .deb in a clean Debian 12 root, the zips
# and the installer under wine.
stage "release packages"
bash scripts/package.sh
if ! wait "$prepare_pid"; then
    cat "$root_log"
    echo "could not make the clean Debian root for the packaging test"
    exit 1
fi
prepare_pid=
ZELVANE_PACKAGE_WINE_DIR=$package_wine bash scripts/test-package.sh
stage "all passed"
