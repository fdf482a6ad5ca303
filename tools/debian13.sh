#!/bin/bash
# Runs a command inside a Debian 13 ("trixie") system, with its own Wine and
# mingw-w64, made with debootstrap from Debian's archive:
#
#     bash tools/debian13.sh                          # a shell there
#     bash tools/debian13.sh bash tools/run-tests.sh  # the tests there
#
# The system is made once (a few minutes) and kept, outside the checkout,
# in HALVITRUM_DEBIAN13 (/var/cache/halvitrum/trixie by default); the
# packages it downloads are kept beside it in trixie-apt, so that remaking
# it downloads nothing again. A system whose making was interrupted has no
# ready mark and is made again. This checkout appears inside at its own
# path, where the command starts; the build goes to build-debian13, so
# that the build of the machine itself is left alone. /proc, /sys and /dev
# are bound in for as long as the command runs, and unmounted afterwards,
# whatever happens. Root only (chroot and mount).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
system=${HALVITRUM_DEBIAN13:-/var/cache/halvitrum/trixie}
system=${system%/}
debs=$system-apt
ready=$system/.halvitrum-ready
mirror=http://deb.debian.org/debian
made= # the topmost folder made inside the system for the checkout

if [ "$(id -u)" -ne 0 ]; then
    echo "tools/debian13.sh makes and enters a Debian 13 system with debootstrap, mount and chroot: run it as root." >&2
    exit 1
fi
if [ $# -eq 0 ] && [ ! -t 0 ]; then
    echo "Name a command to run in the Debian 13 system; without one it starts a shell, which needs a terminal." >&2
    exit 2
fi

if ! command -v debootstrap >/dev/null; then
    echo "Installing debootstrap" >&2
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
fi

mkdir -p "$(dirname "$system")" "$debs"
# One user of the system at a time: another run waits here.
exec 9>"$system.lock"
if ! flock -n 9; then
    echo "Waiting for another use of $system to end..." >&2
    flock 9
fi

# The mount points below the system, deepest first, one a line (mountinfo
# writes a blank as \040).
mounts_inside() {
    local point
    awk -v top="$system/" 'index($5, top) == 1 { print $5 }' /proc/self/mountinfo | sort -r |
        while IFS= read -r point; do printf '%b\n' "$point"; done
}

# processes_inside: the processes whose root is the system (started by
# this script, which alone enters it while holding the lock).
processes_inside() {
    local entry
    for entry in /proc/[0-9]*; do
        [ "$(readlink "$entry/root" 2>/dev/null)" = "$system" ] && echo "${entry#/proc/}"
    done
    return 0
}

leave() {
    local pids
    pids=$(processes_inside)
    if [ -n "$pids" ]; then
        # shellcheck disable=SC2086
        kill $pids 2>/dev/null || true
        for _ in $(seq 50); do
            [ -z "$(processes_inside)" ] && break
            sleep 0.1
        done
        pids=$(processes_inside)
        # shellcheck disable=SC2086
        [ -z "$pids" ] || kill -KILL $pids 2>/dev/null || true
    fi
    local point
    mounts_inside | while IFS= read -r point; do
        umount -R -l "$point" 2>/dev/null || true
    done
    # The folders made to hold the checkout, once empty.
    local folder=$system$root
    while [ -n "$made" ] && [ "${#folder}" -ge "${#made}" ] && rmdir "$folder" 2>/dev/null; do
        folder=$(dirname "$folder")
    done
    if [ -n "$(mounts_inside)" ]; then
        echo "Still mounted below $system:" >&2
        mounts_inside >&2
        return 1
    fi
}

finish() {
    local status=$?
    leave || status=1
    exit "$status"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# bind SOURCE PATH: SOURCE appears at PATH inside the system; what is
# unmounted inside does not reach the machine.
bind() {
    mkdir -p "$system$2"
    mount --rbind "$1" "$system$2"
    mount --make-rslave "$system$2"
}

enter() {
    made=$system$root
    while [ ! -e "$(dirname "$made")" ]; do made=$(dirname "$made"); done
    [ -e "$made" ] && made=
    bind /proc /proc
    bind /sys /sys
    bind /dev /dev
    bind "$debs" /var/cache/apt/archives
    bind "$root" "$root"
    cp -L /etc/resolv.conf "$system/etc/resolv.conf" 2>/dev/null || true
}

# inside COMMAND...: runs COMMAND in the system, in the checkout, with a
# clean environment plus the project's own variables and CI.
inside() {
    local variables=(PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
                     "TERM=${TERM:-dumb}" LANG=C.UTF-8 "CI=${CI:-}")
    local name
    for name in $(compgen -e | grep -E '^(HALVITRUM|GTEST)_' | grep -v '^HALVITRUM_DEBIAN13$'); do
        variables+=("$name=${!name}")
    done
    variables+=("HALVITRUM_BUILD=$root/build-debian13")
    chroot "$system" /usr/bin/env -i "${variables[@]}" /bin/bash -c 'cd "$0" && exec "$@"' "$root" "$@" 9>&-
}

if [ ! -f "$ready" ]; then
    if [ -e "$system" ]; then
        echo "The Debian 13 system in $system was not finished: making it again." >&2
        leave
        rm -rf --one-file-system "$system"
    fi
    echo "Making a Debian 13 system in $system (once; a few minutes)..." >&2
    start=$SECONDS
    debootstrap --variant=minbase --cache-dir="$debs" trixie "$system" "$mirror" >"$system.log" 2>&1 || {
        echo "debootstrap failed; its last lines (all in $system.log):" >&2
        tail -n 20 "$system.log" >&2
        exit 1
    }
    # Installing packages starts no services in the system.
    printf '#!/bin/sh\nexit 101\n' >"$system/usr/sbin/policy-rc.d"
    chmod +x "$system/usr/sbin/policy-rc.d"
    touch "$ready"
    echo "The Debian 13 system is ready ($((SECONDS - start)) s)." >&2
fi
enter
# An installation that an earlier run left half done is finished first.
if [ -n "$(inside dpkg --audit)" ]; then
    inside dpkg --configure -a
    inside env DEBIAN_FRONTEND=noninteractive apt-get install -f -y -qq
fi

if [ $# -eq 0 ]; then
    inside bash -i
else
    inside "$@"
fi
