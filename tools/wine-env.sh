# Shared by the run and test commands (sourced): Wine settings, a virtual
# X display when needed, and a prepared Wine prefix with the face font.

export WINEDEBUG=${WINEDEBUG:--all}
# The Mono and Gecko add-ons cannot be downloaded here; never ask for them.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# start_display: starts Xvfb on a free display number and exports DISPLAY;
# its PID is left in XVFB_PID.
start_display() {
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on $DISPLAY" >&2
    return 1
}

# prepare_prefix BIN: creates $WINEPREFIX once and installs the font
# Zorque from BIN into it (again whenever the built font is newer).
prepare_prefix() {
    local bin=$1
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ ! -f "$fonts/Zorque.ttf" ] || [ "$bin/Zorque.ttf" -nt "$fonts/Zorque.ttf" ]; then
        mkdir -p "$fonts"
        cp "$bin/Zorque.ttf" "$fonts/Zorque.ttf"
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
            /v 'Zorque (TrueType)' /t REG_SZ /d Zorque.ttf /f >/dev/null 2>&1
        wineserver -w
    fi
}

# windows_path PATH: the Wine (Z:) form of an absolute Unix path.
windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}
