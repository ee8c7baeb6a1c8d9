#!/usr/bin/env bash
# Reads the manual's text layer as a PDF viewer's search does (pdftotext) and checks that the
# names a reader looks for are found, and that every source line wrapped between two Japanese
# characters reads back without a blank at the wrap.
# Usage: check_manual_text.sh Manual_Lapdex.pdf manual_ja.md
set -euo pipefail
export LC_ALL=C.UTF-8
command -v pdftotext >/dev/null || { echo "check_manual_text: pdftotext is missing (scripts/test installs it)" >&2; exit 1; }
pdf="${1:?PDF}"
source="${2:?Markdown source}"
# Lines the PDF wraps are joined again, as a search across them would; page numbers go.
text="$(pdftotext -enc UTF-8 -nopgbrk "$pdf" - | grep -v -x '[0-9]*' | tr -d '\n')"
status=0
for word in "K7X Stopwatch" "RDCOM32" "QTM-01" "Tarvik K7X Stopwatch" "Manual_Lapdex.pdf"; do
    if [[ "$text" != *"$word"* ]]; then
        echo "check_manual_text: the text layer lacks \"$word\"" >&2
        status=1
    fi
done
# The two characters on each side of every wrap between Japanese characters, without a blank.
wraps="$(perl -CSD -ne '
    chomp; s/\s+$//;
    my $line = $_; (my $bare = $line) =~ s/^\s+//;
    my $starts = $bare eq "" || $bare =~ /^([-*+>#|]|```|\d+[.)]\s)/;
    if (defined $prev && !$starts && $prev ne "" && $prev !~ /^\s*[|#]/
        && $prev =~ /(\p{Han}|\p{Hiragana}|\p{Katakana}|[ー、。」）])$/ && $bare =~ /^(\p{Han}|\p{Hiragana}|\p{Katakana}|[「（])/) {
        print substr($prev, -2) . substr($bare, 0, 2) . "\n";
    }
    $prev = $line;' "$source")"
[ -n "$wraps" ] || { echo "check_manual_text: no wrapped lines found in $source" >&2; status=1; }
# The PDF's text layer may name a CJK character by its radical form: compare both forms alike.
normalise() { perl -CSD -MUnicode::Normalize -pe '$_ = NFKC($_)'; }
plain="$(normalise <<<"$text")"
while IFS= read -r wrap; do
    wrap="$(normalise <<<"$wrap")"
    if [[ "$plain" != *"$wrap"* ]]; then
        echo "check_manual_text: the wrap \"$wrap\" does not read back without a blank" >&2
        status=1
    fi
done <<<"$wraps"
exit "$status"
