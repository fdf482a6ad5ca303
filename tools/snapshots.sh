#!/bin/bash
# Draws the README pictures into docs/pictures/ with the snapshot tool.
#   tools/snapshots.sh [BUILD]    BUILD: the build folder (default: build)
# Needs the snapshot target built; uses a Wine prefix of its own under the
# build folder, with the face font, and a virtual display when none is set.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-${HALVITRUM_BUILD:-$root/build}}" && pwd)
out=$root/docs/pictures
work=$build/snapshots
mkdir -p "$out" "$work"

source "$root/tools/wine-env.sh"
export WINEPREFIX=$build/snapshot-prefix
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
[ -n "${DISPLAY:-}" ] || start_display
prepare_prefix
install_face_font "$build/bin" # snapshot.exe does not lie beside the font

# The picture dial's picture: a landscape plasma, so that the centred
# square is what the dial shows.
convert -seed 7 -size 480x320 plasma:gold-firebrick -blur 0x2 "$work/dial.jpg"

snap() { # NAME OPTIONS...
    local name=$1
    shift
    wine "$build/tools/snapshot.exe" "$@" "$(windows_path "$out/$name")"
}

snap face-144.png --size 144
snap face-256.png --size 256
snap face-384.png --size 384
# The minute hand's tip and the rim, four times enlarged pixel for pixel.
convert "$out/face-384.png" -crop 96x72+280+70 +repage -scale 400% "$out/detail-4x.png"
# The default clock at 100 % and at 200 % display scaling, side by side:
# the same face drawn afresh at twice the pixels.
wine "$build/tools/snapshot.exe" --size 512 --dpi 192 "$(windows_path "$work/face-512.png")"
convert "$out/face-256.png" "$work/face-512.png" -background none -gravity south +append +repage -strip \
    "$out/scale-100-200.png"
snap numbers-12-3-6-9.png --size 256 --numbers 2
snap picture-dial.png --size 256 --picture "$(windows_path "$work/dial.jpg")"
snap custom-colors.png --size 256 --colors F4EEDC,E8C872,2E4A62,8FB3C9,1B2A38 \
    --logo 1 --logo-text HALVITRUM --day 1
ls -l "$out"
