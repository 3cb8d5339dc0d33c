#!/usr/bin/env bash
# The list as a spreadsheet reads it: the window test saves a company list of awkward cells and
# copies its rows, then LibreOffice Calc opens the file as a double click opens a CSV file, and
# the clipboard's table through the import a paste uses; every cell read back from the workbook
# must show the list's text. Arguments: the window tests' program, the Wine loader.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../checks.sh"
tests=$1
wine=$2
if ! command -v soffice >/dev/null; then
    echo "LibreOffice Calc is missing (scripts/install-deps spreadsheet)"
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=zh_CN.UTF-8

KOVANTA_SPREADSHEET_DIR="Z:${work//\//\\}" "$wine" "$tests" --gtest_filter='SpreadsheetTest.*' \
    </dev/null >"$work/window-test.out" 2>&1
status=$?
check "the window test saves and copies the list" test "$status" -eq 0
[ "$status" -eq 0 ] || cat "$work/window-test.out"

# Calc with a profile and home of its own, so the user's own stay untouched.
calc() {
    HOME="$work/home" soffice -env:UserInstallation="file://$work/profile" --headless --convert-to xlsx \
        --infilter="$1" --outdir "$work/$2" "$3" </dev/null >"$work/calc-$2.out" 2>&1
}
# 44 comma, 34 double quote, 76 UTF-8, from line 1: what Calc takes for a CSV file it is given.
calc "CSV:44,34,76,1" csv "$work/list.csv"
check "Calc opens the saved file" test -s "$work/csv/list.xlsx"
check "every cell of the saved file shows the list's text" \
    python3 "$here/spreadsheet_cells.py" "$work/csv/list.xlsx" "$work/list.json" csv
calc "HTML (StarCalc)" html "$work/clipboard.html"
check "Calc reads the clipboard's table" test -s "$work/html/clipboard.xlsx"
check "every pasted cell shows the list's text" \
    python3 "$here/spreadsheet_cells.py" "$work/html/clipboard.xlsx" "$work/list.json" clipboard

echo "$passed passed, $failed failed"
test "$failed" -eq 0
