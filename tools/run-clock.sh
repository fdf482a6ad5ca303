#!/bin/bash
# Builds Halvitrum if needed and starts the clock under Wine, in a Wine
# prefix of the project's own. On a machine without a display it starts a
# virtual one with a Wine desktop and saves a screenshot. Ctrl-C ends the
# clock through its own Exit command, so that its settings are saved.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVITRUM_BUILD:-$root/build}

bash "$root/tools/setup.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target Halvitrum clockctl >/dev/null

source "$root/tools/wine-env.sh"
export WINEPREFIX=${HALVITRUM_PREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/halvitrum/wineprefix}
bin=$build/bin
clockctl=$build/tools/clockctl.exe

own_display=
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    start_display
    own_display=1
fi
prepare_prefix # the clock takes its face font from beside it
enable_shell Halvitrum

# Inside a virtual desktop every program that should see the clock joins
# the same desktop by its name. Wine runs in a session of its own: Ctrl-C
# in the terminal must reach only this script, which then ends the clock
# through its Exit command, not the clock and the Wine server directly.
launch=(setsid wine)
[ -n "$own_display" ] && launch=(setsid wine explorer /desktop=Halvitrum,1280x800)

cd "$bin" # rooster.wav and the help file are found beside the program
if [ -n "$own_display" ]; then
    # The desktop and its taskbar come up first, with a program that lives
    # as long as the clock, so that the clock finds its work area as on
    # Windows. A program started later in the same desktop returns at once.
    "${launch[@]}" "$clockctl" watch 60 >/dev/null 2>&1 &
    clock_pid=$!
    sleep 3
    "${launch[@]}" Halvitrum.exe >/dev/null 2>&1
else
    "${launch[@]}" Halvitrum.exe &
    clock_pid=$!
fi

# ctl COMMAND SECONDS: clockctl in the clock's desktop; its exit code.
ctl() {
    local result
    result=$(mktemp)
    rm -f "$result"
    "${launch[@]}" "$clockctl" "$1" "$2" "$(windows_path "$result")" >/dev/null 2>&1 || true
    for _ in $(seq $((($2 + 5) * 10))); do
        [ -s "$result" ] && break
        sleep 0.1
    done
    local code
    code=$(tr -dc 0-9 <"$result" 2>/dev/null || true)
    rm -f "$result"
    return "${code:-1}"
}

stop() {
    trap - INT TERM
    echo "Ending the clock..."
    ctl exit 20 || kill "$clock_pid" 2>/dev/null || true
    if [ -n "$own_display" ]; then
        wineserver -k 2>/dev/null || true
        kill "$XVFB_PID" 2>/dev/null || true
    fi
    exit 0
}
trap stop INT TERM

if ! ctl wait 60; then
    echo "The clock's window did not appear." >&2
    stop
fi
echo "Halvitrum is running (Wine prefix $WINEPREFIX, display $DISPLAY)."
if [ -n "$own_display" ]; then
    mkdir -p "$build/screenshots"
    shot="$build/screenshots/clock-$(date +%Y%m%d-%H%M%S).png"
    sleep 2 # the first frame and the taskbar
    import -display "$DISPLAY" -window root "$shot"
    echo "Screenshot: $shot"
fi
[ -d "$bin/help" ] && echo "Help to read in a browser: $bin/help/index.html"
echo "Press Ctrl-C to end the clock."
while kill -0 "$clock_pid" 2>/dev/null; do
    wait "$clock_pid" || true
done
if [ -n "$own_display" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
exit 0
