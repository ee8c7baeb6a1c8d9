#!/bin/sh
# Writes a gzipped man page made by help2man from PROGRAM's --help as it is when the page is
# built, with the sections of INCLUDE (.h2m) added, so the page follows every change of the help.
# Usage: make_man_page.sh PROGRAM VERSION NAME_LINE INCLUDE OUTPUT.1.gz
set -eu
program="$1" version="$2" name="$3" include="$4" output="$5"
page="${output%.gz}"
# --version-string: every program prints the one project version, but help2man must not
# depend on each program's --version text.
help2man --no-info --no-discard-stderr --section=1 --version-string="$version" \
    --name="$name" --include="$include" --output="$page" "$program"
gzip -9nf "$page"
