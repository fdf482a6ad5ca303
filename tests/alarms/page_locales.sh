#!/bin/sh
# Compiles the C library's locales named after the folder into that folder,
# once, for the Alarms tests' runs under those locales (LOCPATH): without
# them Wine still takes the locale from LC_ALL, but maps file names to ASCII.
set -e
folder=$1
shift
mkdir -p "$folder"
for locale in "$@"; do
    output="$folder/$locale.UTF-8"
    [ -f "$output/LC_CTYPE" ] && continue
    # localedef reports warnings with a non-zero status; what counts is its output.
    localedef -i "$locale" -f UTF-8 "$output" || [ -f "$output/LC_CTYPE" ]
done
