#!/bin/bash
# What the running clock costs in CPU time, beside xclock on the same display.
#   tools/cpu.sh [SIDE [SECONDS]]    defaults: 384 pixels, 60 seconds
# Starts a virtual display of its own, the clock at SIDE pixels with the
# second hand (Wine prefix under the build folder) and
# `xclock -update 1 -render` of the same side, lets both settle, and prints
# the CPU milliseconds that each of them, the Wine server and Wine's other
# processes used over SECONDS, read from /proc/PID/task/*/schedstat.
# HALVITRUM_BUILD names the build folder (default: build); the Halvitrum
# target must be built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${HALVITRUM_BUILD:-$root/build}" && pwd)
side=${1:-384}
seconds=${2:-60}
settle=5

source "$root/tools/wine-env.sh"
export WINEPREFIX=$build/cpu-prefix
xclock_pid=
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$xclock_pid" ]; then kill "$xclock_pid" 2>/dev/null || true; fi
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

start_display
prepare_prefix "$build/bin"
wine reg add 'HKCU\Software\Orvella\Halvitrum' /v size /t REG_DWORD /d "$side" /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Orvella\Halvitrum' /v show.seconds /t REG_DWORD /d 1 /f >/dev/null 2>&1
wineserver -w
wineserver -p

# The Wine server of this prefix works in a folder named after the
# prefix's device and inode.
server_dir=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
server_pid=
for proc in /proc/[0-9]*; do
    case "$(readlink "$proc/exe" 2>/dev/null)" in */wineserver*) ;; *) continue ;; esac
    [ "$(basename "$(readlink "$proc/cwd" 2>/dev/null)")" = "$server_dir" ] && server_pid=${proc#/proc/}
done
if [ -z "$server_pid" ]; then
    echo "The Wine server of $WINEPREFIX was not found" >&2
    exit 1
fi

(cd "$build/bin" && exec wine Halvitrum.exe) >/dev/null 2>&1 &
clock_pid=$!
xclock -update 1 -render -geometry "${side}x${side}+0+0" 2>/dev/null &
xclock_pid=$!

# Wine's helper processes of this prefix (services, explorer, ...): those
# whose environment names the prefix, less the clock and the server.
wine_helpers() {
    local proc pid
    for proc in /proc/[0-9]*; do
        pid=${proc#/proc/}
        [ "$pid" = "$clock_pid" ] || [ "$pid" = "$server_pid" ] && continue
        tr '\0' '\n' 2>/dev/null <"$proc/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"
    done
    return 0
}

# nanoseconds PID...: the run time of every thread of the processes.
nanoseconds() {
    local total=0 pid task run
    for pid in "$@"; do
        for task in /proc/"$pid"/task/*/schedstat; do
            read -r run _ <"$task" 2>/dev/null || continue
            total=$((total + run))
        done
    done
    echo "$total"
}

sleep "$settle"
if ! running "$clock_pid"; then
    echo "The clock did not start" >&2
    exit 1
fi
helpers=$(wine_helpers)
# shellcheck disable=SC2086
before=("$(nanoseconds "$clock_pid")" "$(nanoseconds "$server_pid")" "$(nanoseconds $helpers)"
    "$(nanoseconds "$xclock_pid")")
sleep "$seconds"
# shellcheck disable=SC2086
after=("$(nanoseconds "$clock_pid")" "$(nanoseconds "$server_pid")" "$(nanoseconds $helpers)"
    "$(nanoseconds "$xclock_pid")")

ms() { echo $(((after[$1] - before[$1]) / 1000000)); }
clock=$(ms 0) server=$(ms 1) helper=$(ms 2) xclock=$(ms 3)
echo "CPU over $seconds s at $side x $side (milliseconds)"
printf '  %-22s %6d\n' "clock" "$clock" "Wine server" "$server" "other Wine processes" "$helper" \
    "clock + Wine server" $((clock + server)) "xclock" "$xclock"
if [ "$xclock" -gt 0 ]; then
    awk -v a=$((clock + server)) -v b="$xclock" 'BEGIN { printf "  clock + Wine server = %.1f x xclock\n", a / b }'
fi
