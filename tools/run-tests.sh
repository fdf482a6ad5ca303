#!/bin/bash
# Builds Halvitrum and its tests and runs every test under Wine, in a Wine
# prefix and an X display of this run's own, removed afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVITRUM_BUILD:-$root/build}

bash "$root/tools/setup.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
# HALVITRUM_TARGETS may name the targets to build (default: all).
targets=()
for target in ${HALVITRUM_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"

source "$root/tools/wine-env.sh"
# One locale for every run, with UTF-8 file names: without a C library
# locale Wine maps Unix file names to ASCII. Tests that need another locale
# set their own.
export LC_ALL=C.UTF-8
run=$(mktemp -d /tmp/halvitrum-tests.XXXXXX)
export HALVITRUM_TEST_RUN=$run
export WINEPREFIX=$run/prefix
capture_sound "$run"

# Whatever the clean-up meets, the run's result is CTest's.
cleanup() {
    local status=$?
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
    rm -rf "$run" || true
    exit "$status"
}
trap cleanup EXIT

start_display
prepare_prefix
install_face_font "$build/bin"
wineserver -p # one server for the whole run
# As many tests at a time as there are cores; those that share the run's
# prefix, server and display take turns (tests/CMakeLists.txt).
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
