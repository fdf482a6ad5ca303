#!/bin/bash
# The release as a user gets it. The package target makes the zip and the
# setup program (argument 1: the build folder, argument 3: the version); the
# zip must hold exactly the program's folder. Then the test program
# (argument 2) installs, upgrades and uninstalls under Wine, in a fresh
# prefix of its own where the face font is not installed, and starts the
# clock from the zip unpacked into a folder whose path has blanks and
# accented letters.
set -uo pipefail
if [ -z "${HALVITRUM_TEST_RUN:-}" ]; then
    echo "Run the tests with tools/run-tests.sh, which prepares their Wine prefix and display." >&2
    exit 2
fi
build=$1
program=$2
version=$3
source "$(dirname "$0")/../tools/wine-env.sh"

zip=$build/Halvitrum-$version-win64.zip
setup=$build/Halvitrum-$version-win64-setup.exe
rm -f "$zip" "$setup"
if ! cmake --build "$build" --target package >"$HALVITRUM_TEST_RUN/package.log" 2>&1; then
    cat "$HALVITRUM_TEST_RUN/package.log"
    echo "The package target failed." >&2
    exit 1
fi
status=0
for file in "$zip" "$setup"; do
    if [ -s "$file" ]; then echo "ok    $(basename "$file")"; else
        echo "FAIL  $(basename "$file") was not made" >&2
        exit 1
    fi
done
expected=$(printf '%s\n' Halvitrum/ Halvitrum/Halvitrum.exe Halvitrum/rooster.wav Halvitrum/Halvitrum.chm \
    Halvitrum/Zorque.ttf Halvitrum/Zorque-LICENSE.txt Halvitrum/README.txt Halvitrum/help/ \
    Halvitrum/help/index.html Halvitrum/help/welcome.html Halvitrum/help/options.html \
    Halvitrum/help/prooptions.html Halvitrum/help/alarms.html Halvitrum/help/help.css | sort)
listed=$(unzip -Z1 "$zip" | sort)
if [ "$listed" = "$expected" ]; then echo "ok    the zip holds exactly the program's folder"; else
    echo "FAIL  the zip's entries differ from the expected ones:" >&2
    diff <(echo "$expected") <(echo "$listed") >&2
    status=1
fi

work=$(mktemp -d "$HALVITRUM_TEST_RUN/package.XXXXXX")
unpacked="$work/Zip Tëst Ördner"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"

export WINEPREFIX=$work/prefix
# No menu entries of the desktop for the installed shortcut.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
cleanup() {
    wineserver -k >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
wineboot -i >/dev/null 2>&1
wineserver -w

exit_file=$work/exit
export HALVITRUM_EXIT_FILE HALVITRUM_SETUP HALVITRUM_ZIP_FOLDER
HALVITRUM_EXIT_FILE=$(windows_path "$exit_file")
HALVITRUM_SETUP=$(windows_path "$setup")
HALVITRUM_ZIP_FOLDER=$(windows_path "$unpacked/Halvitrum")
log=$work/log
timeout 240 wine explorer /desktop=HalvitrumPackage,1280x800 "$program" >"$log" 2>&1 </dev/null
cat "$log"
if [ ! -s "$exit_file" ]; then
    echo "$(basename "$program") ended without reporting a result" >&2
    exit 1
fi
code=$(tr -dc 0-9 <"$exit_file")
[ "$code" = 0 ] || status=$code
exit "$status"
