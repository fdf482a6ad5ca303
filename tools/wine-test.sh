#!/bin/bash
# CTest's emulator for the test programs: runs one under Wine inside a
# virtual desktop with Wine's shell (taskbar, notification area, balloons)
# and exits with the program's own exit code.
set -uo pipefail
if [ -z "${HALVITRUM_TEST_RUN:-}" ]; then
    echo "Run the tests with tools/run-tests.sh, which prepares their Wine prefix and display." >&2
    exit 2
fi
source "$(dirname "$0")/wine-env.sh"
RUN=$(mktemp -d "$HALVITRUM_TEST_RUN/test.XXXXXX")
trap 'rm -rf "$RUN"' EXIT
export HALVITRUM_DESKTOP=HalvitrumTests
run_in_desktop "$RUN" $HALVITRUM_DESKTOP,1280x800 -- "$@"
