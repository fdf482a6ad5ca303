#!/bin/bash
# The whole clock rings a stored alarm: the test program (argument 1) runs
# inside a Wine desktop whose clock is faked to Monday 2026-12-07 07:29:40,
# starts the clock, and watches the shell's balloon and Wine's sound output.
# The faked time must reach every Wine process, the server included, so the
# run's prefix is copied and gets a server of its own.
set -uo pipefail
if [ -z "${HALVITRUM_TEST_RUN:-}" ]; then
    echo "Run the tests with tools/run-tests.sh, which prepares their Wine prefix and display." >&2
    exit 2
fi
program=$1
source "$(dirname "$0")/../tools/wine-env.sh"

ring=$(mktemp -d "$HALVITRUM_TEST_RUN/ring.XXXXXX")
copy_prefix "$ring"

capture_sound "$ring" # sound of this test only

cleanup() {
    wineserver -k >/dev/null 2>&1
    rm -rf "$ring"
}
trap cleanup EXIT
wineserver -k >/dev/null 2>&1

# The shell traces the balloons it is asked for, title included, which the
# shell's tooltip does not hand out otherwise.
export WINEDEBUG=-all,trace+tooltips
# Wine takes file times and its timers from the real clock.
export NO_FAKE_STAT=1 FAKETIME_DONT_FAKE_MONOTONIC=1
offset=$(($(date -d '2026-12-07 07:29:40' +%s) - $(date +%s)))
# Beyond a minute something hangs; the server's end then ends every program.
run_in_desktop "$ring" AlarmRing,1280x800 timeout 90 faketime -f "${offset}s" -- "$program"
code=$?
# The information icon is the tooltip's title icon 1.
if ! grep -q 'title = L"Alarm", icon = 0*1$' "$ring/log"; then
    echo "The shell was not asked for an information balloon titled \"Alarm\"." >&2
    grep -a 'title = ' "$ring/log" >&2
    code=1
fi
exit "$code"
