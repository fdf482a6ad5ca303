#!/bin/bash
# Installs, from Debian's packages, whatever the build, the clock and the
# tests need and is not there yet. Quiet and quick when all is installed.
set -euo pipefail

packages=(
    cmake make mingw-w64 googletest # the cross build and its tests
    wine wine64 xvfb x11-utils xauth # running it under Wine on a display
    imagemagick                      # screenshots
    libagg-dev                       # Anti-Grain Geometry's headers, which draw the clock
    x11-apps                         # xclock, beside which tools/cpu.sh measures the clock
    fonts-dejavu-extra               # DejaVu Sans Condensed, the face font's source
    faketime                         # alarm tests at a chosen moment
    libx11-6 libxrandr2              # two monitors on Xvfb (tools/set_monitors.py)
    locales                          # locale sources for the alarm tests' localedef
    python3 python3-fonttools fonts-dejavu-core # font, art and sound generators
    fp-utils                         # chmls, which the help test reads the CHM with
    fp-compiler fp-units-fcl fp-units-misc # the help compiler, on Free Pascal's CHM units
    nsis zip unzip                   # the release: setup program and zip, and their test
    python3-yaml                     # the release test reads the winget manifests
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}; run this as root to install them." >&2
    exit 1
fi
echo "Installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
