#!/bin/bash
# Runs a test command (the arguments) on an X display of its own, so that
# its windows neither cover those of the tests beside it nor take their
# focus.
set -uo pipefail
source "$(dirname "$0")/../tools/wine-env.sh"
start_display || exit 1
trap 'kill "$XVFB_PID" 2>/dev/null' EXIT
"$@"
