#!/usr/bin/env bash
# The built Lapdex in a folder of its own: --help, --version and a usage mistake print and end
# at once, without a display, and leave the folder (its data folder) as it was.
# Usage: command_line_run.sh LAPDEX LIBRDCOM32
set -euo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$1" "$2" "$work/"
lapdex="$work/$(basename "$1")"
fail() { echo "FAIL: $*" >&2; exit 1; }
run() {  # run EXPECTED_STATUS ARGS...: runs with no display; output in $work/out, $work/err
    local expected="$1" status=0
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work/home" XDG_DATA_HOME="$work/data" \
        LD_LIBRARY_PATH="$work" timeout 10 "$lapdex" "$@" >"$work/out" 2>"$work/err" || status=$?
    [ "$status" = "$expected" ] || fail "Lapdex $* ended with $status, not $expected: $(cat "$work/err")"
}
run 0 --help
grep -q '^Usage: Lapdex' "$work/out" || fail "--help printed: $(cat "$work/out")"
run 0 --version
grep -qx 'Lapdex [0-9]*\.[0-9]*\.[0-9]*' "$work/out" || fail "--version printed: $(cat "$work/out")"
run 2 --bogus
[ "$(wc -l <"$work/err")" = 1 ] || fail "--bogus was told in more than one line: $(cat "$work/err")"
grep -q "unknown option 'bogus'" "$work/err" || fail "--bogus was told as: $(cat "$work/err")"
rm -f "$work/out" "$work/err"
left="$(cd "$work" && ls -A | sort | tr '\n' ' ')"
[ "$left" = "$(basename "$1") $(basename "$2") " ] || fail "Lapdex left files behind: $left"
echo "PASS"
