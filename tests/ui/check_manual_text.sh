#!/usr/bin/env bash
# Reads a manual's text layer as a PDF viewer's search does (pdftotext) and checks that the
# names a reader looks for are found (the manual's own file name among them), that every source
# line wrapped between two Japanese characters reads back without a blank at the wrap and every
# line wrapped between two English words with one, and that every font is embedded with a
# mapping back to characters (pdffonts).
# Usage: check_manual_text.sh Manual_Lapdex.pdf manual_ja.md
#        check_manual_text.sh Manual_Lapdex_en.pdf manual_en.md
set -euo pipefail
export LC_ALL=C.UTF-8
for tool in pdftotext pdffonts; do
    command -v "$tool" >/dev/null || { echo "check_manual_text: $tool is missing (scripts/test installs poppler-utils)" >&2; exit 1; }
done
pdf="${1:?PDF}"
source="${2:?Markdown source}"
[ -s "$pdf" ] || { echo "check_manual_text: $pdf is missing" >&2; exit 1; }
layer="$(pdftotext -enc UTF-8 -nopgbrk "$pdf" - | grep -v -x '[0-9]*')"
# Lines the PDF wraps are joined again, as a search across them would: Japanese without a
# blank, English with one; page numbers go.
text="$(tr -d '\n' <<<"$layer")"
spaced="$(tr '\n' ' ' <<<"$layer" | tr -s ' ')"
status=0
for word in "K7X Stopwatch" "RDCOM32" "QTM-01" "Tarvik K7X Stopwatch" "$(basename "$pdf")"; do
    if [[ "$text" != *"$word"* && "$spaced" != *"$word"* ]]; then
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
# The last word before and the first word after every wrap between two plain English words.
word_wraps="$(perl -CSD -ne '
    chomp; s/\s+$//;
    my $line = $_; (my $bare = $line) =~ s/^\s+//;
    my $starts = $bare eq "" || $bare =~ /^([-*+>#|]|```|\d+[.)]\s)/;
    if (defined $prev && !$starts && $prev ne "" && $prev !~ /^\s*[|#]/
        && $prev =~ /(?:^|\s)([A-Za-z][A-Za-z0-9,.;:()-]*)$/) {
        my $last = $1;
        print "$last $1\n" if $bare =~ /^([A-Za-z(][A-Za-z0-9,.;:()-]*)(?:\s|$)/;
    }
    $prev = $line;' "$source")"
[ -n "$wraps$word_wraps" ] || { echo "check_manual_text: no wrapped lines found in $source" >&2; status=1; }
# The PDF's text layer may name a CJK character by its radical form: compare both forms alike.
normalise() { perl -CSD -MUnicode::Normalize -pe '$_ = NFKC($_)'; }
plain="$(normalise <<<"$text")"
while IFS= read -r wrap; do
    [ -n "$wrap" ] || continue
    wrap="$(normalise <<<"$wrap")"
    if [[ "$plain" != *"$wrap"* ]]; then
        echo "check_manual_text: the wrap \"$wrap\" does not read back without a blank" >&2
        status=1
    fi
done <<<"$wraps"
while IFS= read -r wrap; do
    [ -n "$wrap" ] || continue
    if [[ "$spaced" != *"$wrap"* ]]; then
        echo "check_manual_text: the wrap \"$wrap\" does not read back as two words" >&2
        status=1
    fi
done <<<"$word_wraps"
# Every font embedded (the reader's machine may lack it) and mapped back to characters (search).
# The columns are read from the right: a font's type may have blanks in it.
fonts="$(pdffonts "$pdf" | tail -n +3)"
[ -n "$fonts" ] || { echo "check_manual_text: $pdf names no font" >&2; status=1; }
while read -r font; do
    [ -n "$font" ] || continue
    read -r emb uni <<<"$(awk '{ print $(NF-4), $(NF-2) }' <<<"$font")"
    if [ "$emb" != yes ] || [ "$uni" != yes ]; then
        echo "check_manual_text: font not embedded or without characters: $font" >&2
        status=1
    fi
done <<<"$fonts"
exit "$status"
