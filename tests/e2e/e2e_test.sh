#!/usr/bin/env bash
# The real Kovanta.exe under Wine, driven from outside as a user would: it starts with the
# expiry notice, its window title comes from the data, a click on a brand fills the list, a
# click on a web cell and an e-mail cell hands "http..." and "mailto:..." to the shell (Wine's
# browser and mailer are pointed at a script that logs what it is given), and Esc ends it with
# exit status 0. Needs the Wine environment of scripts/wine-env (DISPLAY, WINEPREFIX).
#
#   tests/e2e/e2e_test.sh build/win64/Kovanta.exe
set -uo pipefail
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
wine=/usr/lib/wine/wine64
work=$(mktemp -d)
passed=0
failed=0
pid=
finish() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    "$wine" reg delete 'HKCU\Software\Wine\WineBrowser' /f </dev/null >/dev/null 2>&1
    rm -rf "$work"
}
trap finish EXIT
check() { # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

log="$work/shell.log"
cat >"$work/log-target" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$*" >> "$log"
SCRIPT
chmod +x "$work/log-target"
for value in Browsers Mailers; do
    "$wine" reg add 'HKCU\Software\Wine\WineBrowser' /v "$value" /t REG_SZ /d "$work/log-target" /f \
        </dev/null >/dev/null 2>&1
done

cd "$work"
"$wine" "$program" &
pid=$!
notice=$(timeout 60 xdotool search --sync --onlyvisible --name '^提示$' | head -n 1)
check "the expiry notice shows" test -n "$notice"
xdotool windowfocus --sync "$notice" && xdotool key n
main=$(timeout 60 xdotool search --sync --onlyvisible --name 'Kovanta 更新日期' | head -n 1)
check "the main window shows" test -n "$main"
title=$(xdotool getwindowname "$main")
check "window title: $title" test "$title" = "华东→电脑商情→Kovanta 更新日期：2026-12-01"
check "5.msg is gone" test ! -e "$work/5.msg"
sleep 1
xdotool windowfocus --sync "$main"
# Maximized through the window menu, so the link columns are on the screen.
xdotool key alt+space
sleep 0.3
xdotool key x
sleep 1
eval "$(xdotool getwindowgeometry --shell "$main")"
# The first product name, opened, and its first brand: its companies fill the list.
xdotool mousemove $((X + 60)) $((Y + 112)) click 1
sleep 0.3
xdotool key Right Down
sleep 1
# Row 0 of the list; the list starts a third of the width in, columns 6 and 7 at 585 and 735.
split=$(((WIDTH - 8) / 3 + 3))
rowY=$((Y + 134))
xdotool mousemove $((X + 4 + split + 40 + 585)) "$rowY" click 1
sleep 2
xdotool mousemove $((X + 4 + split + 40 + 735)) "$rowY" click 1
sleep 2
check "the web cell opened $(head -n 1 "$log" 2>/dev/null)" grep -q '^http' "$log"
check "the e-mail cell opened $(tail -n 1 "$log" 2>/dev/null)" grep -q '^mailto:' "$log"
[ -n "${KOVANTA_E2E_SCREENSHOT:-}" ] && import -window root "$KOVANTA_E2E_SCREENSHOT"

xdotool windowfocus --sync "$main" && xdotool key Escape
status=0
wait "$pid" || status=$?
pid=
check "Esc ends the program with status 0 (got $status)" test "$status" = 0

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
