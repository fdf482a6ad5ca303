#!/bin/bash
# The whole clock rings a stored alarm: the test program (argument 1) runs
# inside a Wine desktop whose clock is faked to Monday 2026-12-07 07:29:40,
# starts the clock, and watches the shell's balloon, the ringing window and
# Wine's sound output. Snoozes and missed alarms are tested in-process.
# The faked time must reach every Wine process, the server included, so the
# run's prefix is copied and gets a server of its own; the desktop is on a
# display of its own, where it covers no other test's windows.
set -uo pipefail
source "$(dirname "$0")/../tools/wine-env.sh"
own_test_folder ring
program=$1
start_display || exit 1
copy_prefix "$RUN"

# The shell traces the balloons it is asked for, title included, which the
# shell's tooltip does not hand out otherwise.
export WINEDEBUG=-all,trace+tooltips
# Wine takes file times and its timers from the real clock.
export NO_FAKE_STAT=1 FAKETIME_DONT_FAKE_MONOTONIC=1

# pass FILTER FAKETIME: the tests of the filter under that faked clock, with
# a server started under it; their result. Beyond a minute something hangs;
# the server's end then ends every program.
pass() {
    wineserver -k >/dev/null 2>&1
    wineserver -w
    run_in_desktop "$RUN" AlarmRing,1280x800 timeout 90 faketime -f "$2" -- "$program" --gtest_filter="$1"
}

code=0
pass 'AlarmRing.*' "$(($(date -d '2026-12-07 07:29:40' +%s) - $(date +%s)))s" || code=1
# The information icon is the tooltip's title icon 1. Wine 10's shell shows
# no balloon for an icon's NIF_INFO (Wine 8's does): there this is skipped.
if wine --version | grep -q '^wine-[0-9]\.'  && ! grep -q 'title = L"Alarm", icon = 0*1$' "$RUN/log"; then
    echo "The shell was not asked for an information balloon titled \"Alarm\"." >&2
    grep -a 'title = ' "$RUN/log" >&2
    code=1
fi
exit "$code"
