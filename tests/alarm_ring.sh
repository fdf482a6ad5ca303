#!/bin/bash
# The whole clock rings a stored alarm: the test program (argument 1) runs
# inside a Wine desktop whose clock is faked to Monday 2026-12-07 07:29:40,
# starts the clock, and watches the shell's balloon and Wine's sound output;
# then, by a clock thirty times as fast from 08:00, the ringing window,
# missed alarms, snoozes and an alarm nobody answers.
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

# Sound of this test only.
export HOME=$ring/home
export HALVITRUM_SOUND_FILE=$ring/sound.raw
mkdir -p "$HOME"
cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default { type file; slave.pcm "null"; file "$HALVITRUM_SOUND_FILE"; format "raw" }
ASOUND

cleanup() {
    wineserver -k >/dev/null 2>&1
    rm -rf "$ring"
}
trap cleanup EXIT
wineserver -k >/dev/null 2>&1

# Wine takes file times and its timers from the real clock.
export NO_FAKE_STAT=1 FAKETIME_DONT_FAKE_MONOTONIC=1
# The shell traces the balloons it is asked for, title included, which the
# shell's tooltip does not hand out otherwise.
export WINEDEBUG=-all,trace+tooltips
export HALVITRUM_EXIT_FILE
log=$ring/log

# pass FILTER FAKETIME: the tests of the filter under that faked clock;
# their result. Beyond a minute something hangs; the server's end then ends
# every program.
pass() {
    local exit_file
    exit_file=$(mktemp "$ring/exit.XXXXXX")
    HALVITRUM_EXIT_FILE=$(windows_path "$exit_file")
    timeout 90 faketime -f "$2" wine explorer /desktop=AlarmRing,1280x800 "$program" \
        --gtest_filter="$1" >"$log" 2>&1 </dev/null
    wineserver -k >/dev/null 2>&1
    wineserver -w
    grep -v ":tooltips:" "$log"
    if [ ! -s "$exit_file" ]; then
        echo "$(basename "$program") $1 ended without reporting a result" >&2
        return 1
    fi
    return "$(tr -dc 0-9 <"$exit_file")"
}

code=0
pass 'AlarmRing.*' "$(($(date -d '2026-12-07 07:29:40' +%s) - $(date +%s)))s" || code=1
# The information icon is the tooltip's title icon 1.
if ! grep -q 'title = L"Alarm", icon = 0*1$' "$log"; then
    echo "The shell was not asked for an information balloon titled \"Alarm\"." >&2
    grep -a 'title = ' "$log" >&2
    code=1
fi
# Snoozes take minutes: this clock runs thirty times as fast, the same for
# every process of the run (FAKETIME_DONT_RESET), while Wine's timers keep
# the real pace.
FAKETIME_DONT_RESET=1 pass 'FastAlarms.*' '@2026-12-07 08:00:00 x30' || code=1
exit "$code"
