# Sourced by the Windows tests and benchmark: a private wine prefix on a
# private X server, both stopped again by wine_session_stop (also on exit).
#   wine_session_start DIR   prefix in DIR/wine-prefix; sets DISPLAY, WINEPREFIX
#   wine_session_stop
#   wine_path FILE           the Windows path (Z:\...) of a Linux file

wine_session_xvfb=

wine_session_start() {
    local dir=$1
    mkdir -p "$dir"
    export WINEPREFIX
    WINEPREFIX=$(cd "$dir" && pwd)/wine-prefix
    export WINEARCH=win64 WINEDEBUG=-all
    # No Mono or Gecko: nothing here needs .NET or HTML, and their
    # installers would ask questions in a window.
    export WINEDLLOVERRIDES="mscoree,mshtml=d"
    trap wine_session_stop EXIT

    # A private X server; it writes its display number when it is ready.
    local displayFile="$dir/xvfb-display"
    rm -f "$displayFile"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$displayFile" >/dev/null 2>&1 &
    wine_session_xvfb=$!
    local waited=0
    until [ -s "$displayFile" ]; do
        if [ $waited -ge 100 ] || ! kill -0 "$wine_session_xvfb" 2>/dev/null; then
            echo "Xvfb did not start" >&2
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    export DISPLAY=":$(head -n1 "$displayFile")"

    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "creating the wine prefix $WINEPREFIX"
        # Made under another name and renamed once whole, so that a run
        # stopped half-way leaves no half-made prefix for the next to take.
        local whole=$WINEPREFIX
        rm -rf "$whole" "$whole.part"
        WINEPREFIX=$whole.part
        timeout 180 wineboot -i >/dev/null 2>&1 || { WINEPREFIX=$whole; echo "wineboot failed" >&2; return 1; }
        timeout 60 wineserver -w || true
        mv "$WINEPREFIX" "$whole"
        WINEPREFIX=$whole
    fi
}

wine_session_stop() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        timeout 30 wineserver -k 2>/dev/null || true
        timeout 30 wineserver -w 2>/dev/null || true
    fi
    if [ -n "$wine_session_xvfb" ]; then
        kill "$wine_session_xvfb" 2>/dev/null || true
        wait "$wine_session_xvfb" 2>/dev/null || true
        wine_session_xvfb=
    fi
}

wine_path() {
    local full
    full=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    printf 'Z:%s' "${full//\//\\}"
}
