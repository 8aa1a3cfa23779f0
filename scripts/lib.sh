# Shared by the scripts: paths, the build, the Wine prefix, a private Xvfb
# and a persistent wineserver, each ended by its own pid.
TL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TL_BUILD=${TL_BUILD:-$TL_ROOT/build}
export TL_WINEPREFIX=${TL_WINEPREFIX:-$TL_BUILD/wineprefix}
export WINEPREFIX=$TL_WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
TL_PIDS=()
TL_SERVER_PID=
TL_XVFB_PID=

tl_log() { printf '== %s\n' "$*" >&2; }

tl_build() {
    "$TL_ROOT/scripts/install-deps"
    "$TL_ROOT/scripts/build-thirdparty"
    mkdir -p "$TL_BUILD"
    if [ ! -f "$TL_BUILD/CMakeCache.txt" ]; then
        cmake -S "$TL_ROOT" -B "$TL_BUILD" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$TL_ROOT/cmake/mingw-x86_64.cmake" >"$TL_BUILD/configure.log" 2>&1 \
            || { cat "$TL_BUILD/configure.log"; rm -f "$TL_BUILD/CMakeCache.txt"; return 1; }
    fi
    local log=$TL_BUILD/build.log rc=0
    cmake --build "$TL_BUILD" -j"$(nproc)" >"$log" 2>&1 || rc=$?
    grep -E 'warning|error|Error' "$log" | grep -v '^gmake' | head -60 >&2 || true
    [ $rc = 0 ] || { tail -40 "$log" >&2; return 1; }
}

# 32-bit Windows programs need the kernel's ia32 emulation.
tl_can_run_win32() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

tl_wineboot() {
    if [ -f "$WINEPREFIX/system.reg" ]; then return 0; fi
    tl_log "creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    local loader=/usr/lib/wine/wine64
    if tl_can_run_win32; then loader=/usr/lib/wine/wine; fi
    WINELOADER=$loader "$loader" wineboot -i >"$TL_BUILD/wineboot.log" 2>&1 || { cat "$TL_BUILD/wineboot.log"; return 1; }
    # let the server wineboot started end before ours takes the prefix
    /usr/lib/wine/wineserver64 -w
}

# A private X display on the first free number.
tl_start_xvfb() {
    local n
    for n in $(seq 90 140); do
        if [ ! -e /tmp/.X$n-lock ] && [ ! -e /tmp/.X11-unix/X$n ]; then
            Xvfb :$n -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
            local pid=$!
            for _ in $(seq 50); do
                [ -e /tmp/.X11-unix/X$n ] && break
                kill -0 $pid 2>/dev/null || break
                sleep 0.1
            done
            if kill -0 $pid 2>/dev/null && [ -e /tmp/.X11-unix/X$n ]; then
                TL_XVFB_PID=$pid
                export DISPLAY=:$n
                return 0
            fi
        fi
    done
    echo "no free X display" >&2
    return 1
}

# One wineserver for the whole run: each Wine process then starts in ~0.1 s.
# Wine's own services (services.exe, explorer.exe, ...) are started here with
# no terminal: started by a test, they would inherit its output pipe and keep
# ctest waiting for the end of it.
tl_start_wineserver() {
    /usr/lib/wine/wineserver64 -f -p >/dev/null 2>&1 &
    TL_SERVER_PID=$!
    WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 || true
    # the user's proxy setting says "direct": without it WinHTTP would look
    # for a proxy on the network (WPAD) for every URL the programs fetch
    WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 reg add \
        'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections' \
        /v DefaultConnectionSettings /t REG_BINARY /f \
        /d 460000000000000001000000000000000000000000000000000000000000000000000000 </dev/null >/dev/null 2>&1 || true
    # The desktop process, started here for the whole run: started on demand
    # it would inherit the output pipes of whichever program came first, and
    # a test runner would wait for that pipe until the server ends.
    if [ -n "${DISPLAY:-}" ]; then
        WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 explorer.exe /desktop </dev/null >/dev/null 2>&1 &
        TL_PIDS+=("$!")
    fi
}

tl_stop_all() {
    local pid
    for pid in "${TL_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    if [ -n "${TL_SERVER_PID:-}" ]; then
        # the server ends every process of our prefix, then itself
        /usr/lib/wine/wineserver64 -k 2>/dev/null || true
        kill "$TL_SERVER_PID" 2>/dev/null || true
        wait "$TL_SERVER_PID" 2>/dev/null || true
        TL_SERVER_PID=
    fi
    if [ -n "${TL_XVFB_PID:-}" ]; then
        kill "$TL_XVFB_PID" 2>/dev/null || true
        wait "$TL_XVFB_PID" 2>/dev/null || true
        TL_XVFB_PID=
    fi
    for pid in "${TL_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    TL_PIDS=()
}
