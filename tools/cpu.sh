#!/bin/bash
# What the running clock costs in CPU time and wake-ups, beside a
# reference program on the same display.
#   tools/cpu.sh [MODE] [SIDE [SECONDS]]    defaults: 384 pixels, 60 seconds
# MODE is one of
#   --seconds     (default) the clock shown with the second hand, beside
#                 `xclock -update 1 -render` of the same side
#   --no-seconds  the clock shown without the second hand, beside
#                 `xclock -update 60 -render`
#   --hidden      the clock with the second hand, hidden after its start
#                 (tools/clockctl.exe hide), beside Wine's notepad, an
#                 idle Wine window without a timer
#   --ringing     the clock with the second hand while an alarm rings
#                 (rooster.wav), beside `xclock -update 1 -render`; the
#                 alarm is stored for the next minute, the measure starts
#                 two seconds into it and lasts at most 50 seconds
# Starts a virtual display of its own and the clock (Wine prefix under the
# build folder), lets everything settle, and prints the CPU milliseconds
# and the wake-ups (runs of a thread) that the clock, the Wine server,
# Wine's other processes and the reference used over SECONDS, scaled to a
# minute, read from /proc/PID/task/*/schedstat.
# HALVITRUM_FACES=N (default 1) shows N faces: the main clock and N - 1
# world clocks (Tokyo) in a row below the reference, all of the same side.
# HALVITRUM_BUILD names the build folder (default: build); the Halvitrum
# target must be built, and clockctl for --hidden.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${HALVITRUM_BUILD:-$root/build}" && pwd)
mode=--seconds
case "${1:-}" in --*) mode=$1 && shift ;; esac
case "$mode" in
--seconds | --hidden | --ringing) show_seconds=1 ;;
--no-seconds) show_seconds=0 ;;
*)
    echo "Unknown mode $mode" >&2
    exit 2
    ;;
esac
side=${1:-384}
seconds=${2:-60}
settle=5

source "$root/tools/wine-env.sh"
export WINEPREFIX=$build/cpu-prefix
reference_pid=
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$reference_pid" ]; then kill "$reference_pid" 2>/dev/null || true; fi
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
# sleep_until SECONDS: sleeps until that moment (seconds since 1970).
sleep_until() {
    local left=$(($1 - $(date +%s)))
    [ "$left" -le 0 ] || sleep "$left"
}

start_display
prepare_prefix "$build/bin"
wine reg add 'HKCU\Software\Orvella\Halvitrum' /v size /t REG_DWORD /d "$side" /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Orvella\Halvitrum' /v show.seconds /t REG_DWORD /d "$show_seconds" /f >/dev/null 2>&1
events='HKCU\Software\Orvella\Halvitrum\Events'
wine reg delete "$events" /f >/dev/null 2>&1 || true
if [ "$mode" = --ringing ]; then
    [ "$seconds" -le 50 ] || seconds=50
    # The alarm's minute begins two to three minutes from now; the clock
    # starts 15 seconds before it, and the measure 2 seconds into it.
    alarm=$((($(date +%s) / 60 + 3) * 60))
    for value in "hours $((10#$(date -d "@$alarm" +%H)))" "minutes $((10#$(date -d "@$alarm" +%M)))" \
        "on 1" "week0 1" "week1 1" "week2 1" "week3 1" "week4 1" "week5 1" "week6 1"; do
        wine reg add "$events" /v "Event_00_${value% *}" /t REG_DWORD /d "${value#* }" /f >/dev/null 2>&1
    done
    wine reg add "$events" /v Event_00_description /t REG_SZ /d "CPU" /f >/dev/null 2>&1
    # The sound goes to a file, as in the tests: this machine may have no
    # sound card.
    capture_sound "$build/cpu-sound"
fi
wine reg delete 'HKCU\Software\Orvella\Halvitrum\World clocks' /f >/dev/null 2>&1 || true
for ((n = 1; n < ${HALVITRUM_FACES:-1}; n++)); do
    key='HKCU\Software\Orvella\Halvitrum\World clocks'
    wine reg add "$key" /v "Clock $n zone" /t REG_SZ /d 'Tokyo Standard Time' /f >/dev/null 2>&1
    wine reg add "$key" /v "Clock $n label" /t REG_SZ /d "Tokyo $n" /f >/dev/null 2>&1
    wine reg add "$key" /v "Clock $n X" /t REG_DWORD /d $(((n - 1) * side)) /f >/dev/null 2>&1
    wine reg add "$key" /v "Clock $n Y" /t REG_DWORD /d "$side" /f >/dev/null 2>&1
    wine reg add "$key" /v "Clock $n size" /t REG_DWORD /d "$side" /f >/dev/null 2>&1
done
wineserver -w
[ "$mode" != --ringing ] || sleep_until $((alarm - 15))
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
case "$mode" in
--seconds | --ringing) xclock -update 1 -render -geometry "${side}x${side}+0+0" 2>/dev/null & ;;
--no-seconds) xclock -update 60 -render -geometry "${side}x${side}+0+0" 2>/dev/null & ;;
--hidden)
    if ! wine "$build/tools/clockctl.exe" hide 30 >/dev/null 2>&1; then
        echo "The clock could not be hidden" >&2
        exit 1
    fi
    wine notepad.exe >/dev/null 2>&1 &
    ;;
esac
reference_pid=$!
reference=$([ "$mode" = --hidden ] && echo "idle Wine window" || echo xclock)

# Wine's helper processes of this prefix (services, explorer, ...): those
# whose environment names the prefix, less the clock and the server.
wine_helpers() {
    local proc pid
    for proc in /proc/[0-9]*; do
        pid=${proc#/proc/}
        [ "$pid" = "$clock_pid" ] || [ "$pid" = "$server_pid" ] || [ "$pid" = "$reference_pid" ] && continue
        tr '\0' '\n' 2>/dev/null <"$proc/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"
    done
    return 0
}

# usage FIELD PID...: the sum over every thread of the processes of a
# schedstat field: 1 the run time in nanoseconds, 3 the number of runs.
usage() {
    local field=$1 total=0 pid task values
    shift
    for pid in "$@"; do
        for task in /proc/"$pid"/task/*/schedstat; do
            read -r -a values <"$task" 2>/dev/null || continue
            total=$((total + values[field - 1]))
        done
    done
    echo "$total"
}

sleep "$settle"
if ! running "$clock_pid"; then
    echo "The clock did not start" >&2
    exit 1
fi
[ "$mode" != --ringing ] || sleep_until $((alarm + 2))
helpers=$(wine_helpers)
measure() {
    # shellcheck disable=SC2086
    echo "$(usage "$1" "$clock_pid") $(usage "$1" "$server_pid") $(usage "$1" $helpers) $(usage "$1" "$reference_pid")"
}
read -r -a time_before <<<"$(measure 1)"
read -r -a runs_before <<<"$(measure 3)"
sleep "$seconds"
read -r -a time_after <<<"$(measure 1)"
read -r -a runs_after <<<"$(measure 3)"

# Per minute: milliseconds of CPU, and wake-ups.
ms() { echo $(((time_after[$1] - time_before[$1]) * 60 / seconds / 1000000)); }
runs() { echo $(((runs_after[$1] - runs_before[$1]) * 60 / seconds)); }
echo "Per minute, measured over $seconds s, at $side x $side, mode $mode"
printf '  %-22s %8s %8s\n' "" "CPU ms" "wake-ups"
printf '  %-22s %8d %8d\n' "clock" "$(ms 0)" "$(runs 0)" "Wine server" "$(ms 1)" "$(runs 1)" \
    "other Wine processes" "$(ms 2)" "$(runs 2)" "$reference" "$(ms 3)" "$(runs 3)"
printf '  %-22s %8d\n' "clock + Wine server" $(($(ms 0) + $(ms 1)))
