#!/bin/bash
# CTest's emulator for the test programs: runs one under Wine inside a
# virtual desktop with Wine's shell (taskbar, notification area, balloons)
# and exits with the program's own exit code. A test that runs beside the
# others (HALVITRUM_OWN_WINE set) gets a copy of the run's prefix with a
# Wine server, a display and a sound file of its own.
set -uo pipefail
if [ -z "${HALVITRUM_TEST_RUN:-}" ]; then
    echo "Run the tests with tools/run-tests.sh, which prepares their Wine prefix and display." >&2
    exit 2
fi
source "$(dirname "$0")/wine-env.sh"
if [ -n "${HALVITRUM_OWN_WINE:-}" ]; then
    own_test_folder test
    start_display || exit 1
    copy_prefix "$RUN"
else
    RUN=$(mktemp -d "$HALVITRUM_TEST_RUN/test.XXXXXX")
    trap 'rm -rf "$RUN"' EXIT
fi
export HALVITRUM_DESKTOP=HalvitrumTests
run_in_desktop "$RUN" $HALVITRUM_DESKTOP,1280x800 -- "$@"
