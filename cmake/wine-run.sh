#!/bin/sh
# Runs a Windows program under wine64 with a private Wine prefix beside the build (made on
# first use) and Wine's own messages off. Exit status: the program's.
set -eu
prefix="${WINEPREFIX:-$(pwd)/wine-prefix}"
mkdir -p "$prefix"
WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    /usr/lib/wine/wine64 "$@"
