#!/usr/bin/env bash
# The layout at the display scales users have: for 96, 120, 144 and 192 DPI the prefix's
# LogPixels is set and the wineserver started again (Wine reads the DPI when a process starts),
# then the window tests that read the layout back from the real controls run. The prefix is
# left at 96 DPI whatever happens. With KOVANTA_WINDOW_SHOTS set, each DPI's main window is saved
# there as a picture. Arguments: the window tests' program, the Wine loader.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../checks.sh"
tests=$1
wine=$2
wineserver=/usr/lib/wine/wineserver64
work=$(mktemp -d)

set_dpi() {
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
    "$wineserver" -k >/dev/null 2>&1
    "$wineserver" -w >/dev/null 2>&1
    # Persistent again, and its first services started, away from any pipe, as scripts/wine-env
    # starts them: started by a later test instead, they would hold ctest's pipe open.
    "$wineserver" -p </dev/null >/dev/null 2>&1
    /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
}
trap 'set_dpi 96; rm -rf "$work"' EXIT

for dpi in 96 120 144 192; do
    set_dpi "$dpi"
    "$wine" "$tests" --gtest_filter='DisplayScaleTest.*' </dev/null \
        >"$work/$dpi.out" 2>&1
    status=$?
    check "the layout at $dpi DPI" test "$status" -eq 0
    [ "$status" -eq 0 ] || cat "$work/$dpi.out"
    check "the test ran at $dpi DPI" grep -q "screen DPI $dpi" "$work/$dpi.out"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
