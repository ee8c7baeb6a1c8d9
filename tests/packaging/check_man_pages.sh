#!/usr/bin/env bash
# Each man page made from a program's --help: groff reads it without a warning, it has the
# sections a reader looks for, and every option of the program's --help is in it.
# Usage: check_man_pages.sh MAN_FOLDER PROGRAM... (each PROGRAM's page is MAN_FOLDER/NAME.1.gz)
set -uo pipefail
folder="$1"
shift
status=0
fail() { echo "FAIL: $*" >&2; status=1; }
for program in "$@"; do
    name="$(basename "$program")"
    page="$folder/$name.1.gz"
    [ -s "$page" ] || { fail "$page is missing"; continue; }
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "$name(1): $warnings"
    text="$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$page" 2>/dev/null | col -b)"
    for section in NAME SYNOPSIS DESCRIPTION "SEE ALSO"; do
        grep -qx "$section" <<<"$text" || fail "$name(1) has no $section section"
    done
    grep -qi "exit status" <<<"$text" || fail "$name(1) does not give the exit status"
    # Long options as --help names them; the page must carry each one (man pages hyphenate
    # nothing in option names, but groff may print a hyphen as U+2010).
    for option in $("$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        grep -q -- "$option" <<<"${text//‐/-}" || fail "$name(1) lacks $option of its --help"
    done
done
[ "$status" = 0 ] && echo "PASS"
exit "$status"
