#!/bin/bash
# The clock on a display with two monitors: the test program (argument 1)
# runs its TwoMonitors tests on an X display of its own with a 1280x800
# primary monitor and a 1024x768 one to its right, without a Wine virtual
# desktop (which would be one monitor), in a copy of the run's prefix whose
# X11 driver takes the monitors from Xinerama rather than XRandR.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/wine-env.sh"
own_test_folder monitors
program=$1

# Without -noreset the monitors vanish whenever the last client leaves.
start_display 2304x800x24 -noreset || exit 1
python3 "$root/tools/set_monitors.py" 1280x800+0+0 1024x768+1280+0 || exit 1
copy_prefix "$RUN"
wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1
wineserver -w
run_in_desktop "$RUN" "" timeout 100 -- "$program" --gtest_filter='TwoMonitors*'
