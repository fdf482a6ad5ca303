# Shared by the run and test commands (sourced): Wine settings, a virtual
# X display when needed, and a prepared Wine prefix.

export WINEDEBUG=${WINEDEBUG:--all}
# The Mono and Gecko add-ons cannot be downloaded here; never ask for them.
# A program that crashes ends at once: Wine's debugger would wait on it
# until its test's time-out.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEARCH=win64

# running PID: whether that process exists and has not ended.
running() {
    local pid comm state
    read -r pid comm state _ 2>/dev/null <"/proc/$1/stat" || return 1
    [ "$state" != Z ]
}

# start_display [GEOMETRY [XVFB OPTIONS...]]: starts Xvfb (1280x800x24 by
# default) on a free display number and exports DISPLAY; its PID is left in
# XVFB_PID.
start_display() {
    local geometry=${1:-1280x800x24}
    [ $# -gt 0 ] && shift
    local n=90
    while [ $n -lt 190 ]; do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 "$geometry" -nolisten tcp "$@" >/dev/null 2>&1 &
            XVFB_PID=$!
            export DISPLAY=":$n"
            # A display taken by another server (whose socket this file
            # system does not show, as in a chroot) ends ours at once,
            # while xdpyinfo answers from the other one.
            for _ in $(seq 50); do
                running "$XVFB_PID" || break
                if xdpyinfo >/dev/null 2>&1; then
                    sleep 0.3
                    running "$XVFB_PID" && return 0
                    break
                fi
                sleep 0.1
            done
            kill "$XVFB_PID" 2>/dev/null || true
        fi
        n=$((n + 1))
    done
    echo "Xvfb could not be started" >&2
    return 1
}

# prepare_prefix: creates $WINEPREFIX once.
prepare_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
}

# install_face_font BIN: installs the font Zorque from BIN into $WINEPREFIX
# (again whenever the built font is newer), for the test programs, which do
# not lie beside the font file as Halvitrum.exe does.
install_face_font() {
    local bin=$1
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ ! -f "$fonts/Zorque.ttf" ] || [ "$bin/Zorque.ttf" -nt "$fonts/Zorque.ttf" ]; then
        mkdir -p "$fonts"
        cp "$bin/Zorque.ttf" "$fonts/Zorque.ttf"
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
            /v 'Zorque (TrueType)' /t REG_SZ /d Zorque.ttf /f >/dev/null 2>&1
        wineserver -w
    fi
}

# enable_shell NAME: the Wine desktop NAME shows Wine's shell (taskbar,
# notification area, balloons), as Windows always does. Wine 8 showed it
# in every desktop; Wine 10 only in one named "shell" or whose EnableShell
# value is set, which is done here once per prefix.
enable_shell() {
    grep -qF "[Software\\\\Wine\\\\Explorer\\\\Desktops\\\\$1]" "$WINEPREFIX/user.reg" 2>/dev/null ||
        wine reg add "HKCU\\Software\\Wine\\Explorer\\Desktops\\$1" /v EnableShell /t REG_DWORD /d 1 /f \
            >/dev/null 2>&1 || true
}

# windows_path PATH: the Wine (Z:) form of an absolute Unix path.
windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}

# capture_sound DIR: everything Wine plays goes to the file DIR/sound.raw
# (HALVITRUM_SOUND_FILE), which the alarm tests measure, through an ALSA
# setting in DIR/home, which becomes HOME.
capture_sound() {
    export HOME=$1/home HALVITRUM_SOUND_FILE=$1/sound.raw
    mkdir -p "$HOME"
    cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default { type file; slave.pcm "null"; file "$HALVITRUM_SOUND_FILE"; format "raw" }
ASOUND
}

# run_in_desktop FOLDER DESKTOP [LAUNCHER...] -- PROGRAM [ARGUMENTS...]: runs
# a test program under Wine inside the Wine desktop DESKTOP ("Name,WxH"; on
# the display itself when empty), through the LAUNCHER words when given
# (timeout, faketime). Its result is the program's exit code, which from
# inside a desktop only comes back through the file HALVITRUM_EXIT_FILE
# (FOLDER/exit). Wine's output goes to FOLDER/log and the program's to
# FOLDER/output (HALVITRUM_OUTPUT_FILE; Wine 10 gives a program started in
# a desktop no standard handles), both shown as they grow, less Wine's
# traces: Wine's helper processes outlive the program and would keep the
# caller's output open.
run_in_desktop() {
    local folder=$1 desktop=$2 launcher=() explorer=()
    shift 2
    while [ "$1" != -- ]; do
        launcher+=("$1")
        shift
    done
    shift
    if [ -n "$desktop" ]; then
        enable_shell "${desktop%%,*}"
        explorer=(explorer "/desktop=$desktop")
    fi
    rm -f "$folder/exit"
    : >"$folder/log"
    : >"$folder/output"
    HALVITRUM_EXIT_FILE=$(windows_path "$folder/exit") HALVITRUM_OUTPUT_FILE=$(windows_path "$folder/output") \
        "${launcher[@]}" wine "${explorer[@]}" "$@" >"$folder/log" 2>&1 </dev/null &
    local pid=$!
    tail -q -n +1 -f --pid="$pid" "$folder/log" "$folder/output" | grep -av --line-buffered ':trace:'
    wait "$pid"
    if [ ! -s "$folder/exit" ]; then
        echo "$(basename "$1") ended without reporting a result" >&2
        return 1
    fi
    return "$(tr -dc 0-9 <"$folder/exit")"
}

# copy_prefix DIR: a copy of $WINEPREFIX as DIR/prefix for a Wine server of
# its own, which becomes WINEPREFIX. Linked, not copied: Wine replaces its
# registry files instead of writing into them. The registry and the
# server's lock file become files of the copy.
copy_prefix() {
    cp -al "$WINEPREFIX" "$1/prefix"
    rm -f "$1/prefix/wineserver"
    for file in "$WINEPREFIX"/*.reg "$WINEPREFIX"/.update-timestamp; do
        cp --remove-destination "$file" "$1/prefix/"
    done
    export WINEPREFIX=$1/prefix
}

# own_test_folder NAME: for a test script that tools/run-tests.sh runs with
# a Wine server (and perhaps an Xvfb, XVFB_PID) of its own, beside other
# tests: RUN becomes a new folder under the run's, with a sound file of its
# own, and at exit that server and display end and RUN goes. Outside
# tools/run-tests.sh the script ends with code 2.
own_test_folder() {
    if [ -z "${HALVITRUM_TEST_RUN:-}" ]; then
        echo "Run the tests with tools/run-tests.sh, which prepares their Wine prefix and display." >&2
        exit 2
    fi
    RUN=$(mktemp -d "$HALVITRUM_TEST_RUN/$1.XXXXXX")
    capture_sound "$RUN"
    XVFB_PID=
    trap 'wineserver -k >/dev/null 2>&1; [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null; rm -rf "$RUN"' EXIT
}
