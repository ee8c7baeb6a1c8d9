#!/usr/bin/env bash
# The bash completion of k7x-tool as bash runs it: what each partly typed command line offers.
# Usage: check_completion.sh COMPLETION_FILE
set -uo pipefail
source "$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data-a/QTM-01" "$work/data-a/QTM-02" "$work/data-b"
touch "$work/data-file" "$work/data-a/QTM-01/QTM240131_093015_0123456789ab.csv" \
    "$work/data-a/QTM-02/QTM240201_070509_00000000beef.csv" "$work/data-a/Lapdex.dat"
cd "$work" || exit 1
status=0
# offers "WORDS..." EXPECTED: the last word is the one being typed.
offers() {
    local line="$1" expected="$2" got
    read -r -a COMP_WORDS <<<"$line"
    [[ "$line" == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _k7x_tool 2>/dev/null
    got=""
    # One reply per word: a reply holding a line break would show as one odd completion.
    [ "${#COMPREPLY[@]}" = 0 ] || got="$(printf '%s|' "${COMPREPLY[@]}" | tr '|' '\n' | sort | tr '\n' ' ')"
    [[ "${COMPREPLY[*]}" == *$'\n'* ]] && got="$got(a reply holds a line break)"
    [ "$got" = "$expected" ] || { echo "FAIL: '$line' offers '$got', not '$expected'" >&2; status=1; }
}
offers "k7x-tool d" "day doctor download dump "
offers "k7x-tool " "bests day doctor download dump export info progress readers repair roster runs sessions stats "
offers "k7x-tool --log data-a r" "readers repair roster runs "
offers "k7x-tool --log " "data-a data-b "
offers "k7x-tool dump " "all new "
offers "k7x-tool download all data-" "data-a data-b "
offers "k7x-tool dump new data-" "data-a data-b data-file "
offers "k7x-tool export data-a out --format " "csv tcx xlsx "
offers "k7x-tool export data-a out --lang " "en ja "
offers "k7x-tool runs data-a --s" "--stopwatch "
offers "k7x-tool doctor --" "--help --log --root --version "
offers "k7x-tool dump all out.bin --" "--force --help --log --version "
offers "k7x-tool roster data-a --" "--also --group --help --json --log --no-header --version "
offers "k7x-tool runs data-a --also " "data-a data-b "
offers "k7x-tool day --also data-b data-a " ""
offers "k7x-tool stats data-a --also data-b " "QTM240131_093015_0123456789ab.csv QTM240201_070509_00000000beef.csv "
offers "k7x-tool dump all out.bin --a" ""
offers "k7x-tool sessions data-a 2024-02-01 --g" "--gap --group "
offers "k7x-tool pro" "progress "
offers "k7x-tool export data-a out --format=" "--format=csv --format=tcx --format=xlsx "
offers "k7x-tool export --lang=e" "--lang=en "
offers "k7x-tool --log=data-" "--log=data-a --log=data-b "
offers "k7x-tool stats data-a QTM24013" "QTM240131_093015_0123456789ab.csv "
offers "k7x-tool stats data-a " "QTM240131_093015_0123456789ab.csv QTM240201_070509_00000000beef.csv "
offers "k7x-tool stats data-" "data-a data-b "
offers "k7x-tool day data-a " ""
offers "k7x-tool bests data-a --stopwatch " ""
offers "k7x-tool runs -- --" ""
offers "k7x-tool info " ""
[ "$status" = 0 ] && echo "PASS"
exit "$status"
