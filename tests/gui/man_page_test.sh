#!/bin/sh
# A manual page made by help2man, checked against its program: the page names
# the version the program prints for --version and the --dir option its help
# lists. Usage: man_page_test.sh PROGRAM PAGE.1.gz
set -eu
program=$1
page=$2
version=$("$program" --version)
text=$(zcat "$page")
if ! printf '%s\n' "$text" | grep -qF -- "${version#* }"; then
    echo "$page does not name the version ${version#* }" >&2
    exit 1
fi
if ! printf '%s\n' "$text" | grep -qF -- '\-\-dir'; then
    echo "$page does not list --dir" >&2
    exit 1
fi
