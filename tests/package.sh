#!/bin/bash
# The release as a user gets it. The package target makes the zip and the
# setup program (argument 1: the build folder, argument 3: the version); the
# zip must hold exactly the program's folder, its program without debug
# sections. SHA256SUMS must verify, the winget and Scoop manifests must name
# the packages (tests/package/manifests.py), and a second clean build, from
# a clone checked out at the commit with a detached HEAD (as a CI system or
# a release script checks out a tag), must make the same two files byte for
# byte. Then the test program
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
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/wine-env.sh"

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
export WINEPREFIX=$work/prefix
cleanup() {
    wineserver -k >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
unpacked="$work/Zip Tëst Ördner"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"

sections=$(x86_64-w64-mingw32-objdump -h "$unpacked/Halvitrum/Halvitrum.exe" | grep -c ' \.debug_')
if [ "$sections" = 0 ]; then echo "ok    the zip's Halvitrum.exe has no debug sections"; else
    echo "FAIL  the zip's Halvitrum.exe has $sections debug sections" >&2
    status=1
fi
if [ "$(cut -c67- "$build/SHA256SUMS")" = "$(printf '%s\n' "$(basename "$zip")" "$(basename "$setup")")" ] &&
    (cd "$build" && sha256sum --quiet --strict -c SHA256SUMS); then
    echo "ok    SHA256SUMS verifies both packages"
else
    echo "FAIL  SHA256SUMS does not verify both packages" >&2
    status=1
fi
/usr/bin/python3 "$root/tests/package/manifests.py" "$build" "$version" || status=1

# The same commit built again from nothing, of the same build type, in a
# folder of another name: a clone at the commit, HEAD detached, building
# only the program and what the package holds. A clone has no uncommitted
# changes: a tree with some is built as a commit of its files as they are
# (untracked ones included), dated as HEAD so that the release date stays,
# which lies unreferenced in the repository's objects.
if ! git -C "$root" rev-parse --verify -q HEAD >/dev/null; then
    echo "skip  the second build: the sources are no git checkout"
else
    checkout=$work/checkout
    second=$work/second-build
    export GIT_INDEX_FILE=$work/index
    git -C "$root" read-tree HEAD && git -C "$root" add -A
    tree=$(git -C "$root" write-tree)
    unset GIT_INDEX_FILE
    commit=$(git -C "$root" rev-parse HEAD)
    if [ "$tree" != "$(git -C "$root" rev-parse 'HEAD^{tree}')" ]; then
        date=$(git -C "$root" log -1 --format=%cI HEAD)
        commit=$(GIT_COMMITTER_DATE=$date GIT_AUTHOR_DATE=$date GIT_COMMITTER_NAME=package.sh \
            GIT_AUTHOR_NAME=package.sh GIT_COMMITTER_EMAIL=package.sh GIT_AUTHOR_EMAIL=package.sh \
            git -C "$root" commit-tree "$tree" -p HEAD -m "The tree as the package test found it")
    fi
    type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")
    if git clone -q --no-checkout "$root" "$checkout" >"$work/second.log" 2>&1 &&
        git -C "$checkout" checkout -q --detach "$commit" >>"$work/second.log" 2>&1 &&
        cmake -S "$checkout" -B "$second" -DCMAKE_TOOLCHAIN_FILE="$checkout/cmake/mingw-w64-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE="$type" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >>"$work/second.log" 2>&1 &&
        cmake --build "$second" -j"$(nproc)" --target Halvitrum >>"$work/second.log" 2>&1 &&
        cmake --build "$second" --target package >>"$work/second.log" 2>&1; then
        for file in "$zip" "$setup"; do
            if cmp -s "$file" "$second/$(basename "$file")"; then
                echo "ok    a build from a detached checkout makes the same $(basename "$file")"
            else
                echo "FAIL  a build from a detached checkout makes another $(basename "$file")" >&2
                status=1
            fi
        done
    else
        cat "$work/second.log"
        echo "FAIL  the build from a detached checkout failed" >&2
        status=1
    fi
    rm -rf "$checkout" "$second"
fi

# No menu entries of the desktop for the installed shortcut.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
wineboot -i >/dev/null 2>&1
wineserver -w

export HALVITRUM_SETUP HALVITRUM_ZIP_FOLDER
HALVITRUM_SETUP=$(windows_path "$setup")
HALVITRUM_ZIP_FOLDER=$(windows_path "$unpacked/Halvitrum")
run_in_desktop "$work" HalvitrumPackage,1280x800 timeout 240 -- "$program" || status=$?
exit "$status"
