# Sourced by the Windows tests and benchmark: a private wine prefix on a
# private X server, both stopped again by wine_session_stop (also on exit).
#   wine_session_start DIR   prefix in DIR/wine-prefix; sets DISPLAY, WINEPREFIX and
#                            WINE_SESSION_32BIT (0 where 32-bit programs cannot run)
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
    # Some hosts (sandboxed virtual machines among them) cannot execute
    # 32-bit Linux programs, and wine's own 32-bit loader is one: there
    # wine runs through its 64-bit loader alone, and 32-bit Windows
    # programs cannot run at all. WINE_SESSION_32BIT tells the callers.
    export WINE_SESSION_32BIT=1
    if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && [ -x /usr/lib/wine/wine64 ]; then
        WINE_SESSION_32BIT=0
        local shim="$dir/wine64-only"
        mkdir -p "$shim"
        for name in wine wine-stable; do
            printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/$name"
            chmod +x "$shim/$name"
        done
        case ":$PATH:" in *":$shim:"*) ;; *) export PATH="$shim:$PATH" ;; esac
        echo "NOTE: this host cannot execute 32-bit programs; wine runs 64-bit Windows programs only" >&2
    fi

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
