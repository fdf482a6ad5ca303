#!/bin/bash
# CTest's emulator for the test programs: runs one under Wine inside a
# virtual desktop with Wine's shell (taskbar, notification area, balloons)
# and exits with the program's own exit code, which a program inside the
# desktop hands back through a file.
set -uo pipefail
if [ -z "${HALVITRUM_TEST_RUN:-}" ]; then
    echo "Run the tests with tools/run-tests.sh, which prepares their Wine prefix and display." >&2
    exit 2
fi
program=$1
shift
exit_file=$(mktemp "$HALVITRUM_TEST_RUN/exit.XXXXXX")
rm -f "$exit_file"
export HALVITRUM_EXIT_FILE
HALVITRUM_EXIT_FILE=$(printf 'Z:%s' "${exit_file//\//\\}")
# Wine's own helper processes outlive the program; they get a log file,
# not CTest's pipe, so that CTest does not wait for them. The log is shown
# as it grows, so that a test that hangs can be seen.
log="$exit_file.log"
: >"$log"
export HALVITRUM_DESKTOP=HalvitrumTests
wine explorer /desktop=$HALVITRUM_DESKTOP,1280x800 "$program" "$@" >"$log" 2>&1 </dev/null &
wine_pid=$!
tail -n +1 -f --pid="$wine_pid" "$log"
wait "$wine_pid"
rm -f "$log"
if [ ! -s "$exit_file" ]; then
    echo "$(basename "$program") ended without reporting a result" >&2
    exit 1
fi
code=$(tr -dc 0-9 <"$exit_file")
rm -f "$exit_file"
exit "$code"
