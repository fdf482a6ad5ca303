#!/bin/bash
# The clock at four display scales. For each DPI (96 first) the run's prefix
# copy gets that LogPixels and a server of its own, and the program tests
# (argument 1) run their DpiScales tests on a 1920x1200 Wine desktop whose
# clock is faked to Monday 2026-12-07 10:10:05, so that every pass draws the
# same moment; at 96 and 144 DPI the in-process window tests (argument 2)
# run their DpiChange tests, and at 192 DPI the page tests (argument 3) the
# pages' answer to a change of scale. The passes hand frames on through
# files.
set -uo pipefail
source "$(dirname "$0")/../tools/wine-env.sh"
own_test_folder dpi
programs=$1
apps=$2
pages=$3
start_display 1920x1200x24 || exit 1
copy_prefix "$RUN"
export HALVITRUM_DPI_FRAMES HALVITRUM_DESKTOP=DpiScales HALVITRUM_DPI
HALVITRUM_DPI_FRAMES=$(windows_path "$RUN")
# Wine takes file times and its timers from the real clock.
export NO_FAKE_STAT=1 FAKETIME_DONT_FAKE_MONOTONIC=1

# pass PROGRAM FILTER: runs the program's tests inside the desktop; its result.
pass() {
    local offset=$(($(date -d '2026-12-07 10:10:05' +%s) - $(date +%s))) code
    run_in_desktop "$RUN" $HALVITRUM_DESKTOP,1920x1200 timeout 100 faketime -f "${offset}s" -- \
        "$1" --gtest_filter="$2"
    code=$?
    wineserver -k >/dev/null 2>&1
    wineserver -w
    return "$code"
}

code=0
for HALVITRUM_DPI in 96 120 144 192; do
    # The server reads the DPI when it starts; each pass ends its own.
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$HALVITRUM_DPI" /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1
    wineserver -w
    echo "---- $HALVITRUM_DPI DPI"
    pass "$programs" 'DpiScales*' || code=1
    case $HALVITRUM_DPI in
    96 | 144) pass "$apps" 'DpiChange*' || code=1 ;;
    192) pass "$pages" 'ColorsPage.PagesSizeTheirOwnPartsAgainAtANewDpi' || code=1 ;;
    esac
done
exit "$code"
