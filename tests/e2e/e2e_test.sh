#!/usr/bin/env bash
# The real Kovanta.exe under Wine, driven from outside as a user would: it starts with the
# expiry notice, its window title comes from the data, a click on a brand fills the list, a
# click on a web cell and an e-mail cell hands "http..." and "mailto:..." to the shell (Wine's
# browser and mailer are pointed at a script that logs what it is given), a note about the
# clicked company is written with the notebook dialog and shown in the notebook view, and Esc
# ends it with exit status 0. Needs the Wine environment of scripts/wine-env (DISPLAY, WINEPREFIX).
#
#   tests/e2e/e2e_test.sh build/win64/Kovanta.exe
set -uo pipefail
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
wine=/usr/lib/wine/wine64
work=$(mktemp -d)
passed=0
failed=0
pid=
notebook="$WINEPREFIX/drive_c/windows/system32/MyDocInf.wrk"
finish() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -f "$notebook"
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
rm -f "$notebook"
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

# The clicked row made its company current: "操作" > "记入“我的记事本”" opens the dialog with
# its texts, and Enter saves them through the default button.
xdotool windowfocus --sync "$main" && xdotool key alt+o
sleep 0.5
xdotool key Return
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^我的记事本$' | head -n 1)
check "the notebook dialog shows" test -n "$dialog"
sleep 1
[ -n "${KOVANTA_E2E_NOTEBOOK_SCREENSHOT:-}" ] && import -window root "$KOVANTA_E2E_NOTEBOOK_SCREENSHOT"
xdotool windowfocus --sync "$dialog" && xdotool key Return
sleep 1
check "the dialog closed after saving" test -z "$(xdotool search --onlyvisible --name '^我的记事本$')"
# One entry: the time stamp, the company of the clicked row and its telephone and contact.
fields=$(python3 - "$notebook" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
fields, at = [], 0
for _ in range(7):
    (n,) = struct.unpack_from("<i", data, at)
    fields.append(data[at + 4:at + 4 + max(n, 0)].decode("gbk"))
    at += 4 + max(n, 0)
print(len(data) - at - 4, "|".join(fields[1:2] + fields[5:]))
PY
)
check "the note was saved: $fields" test -n "$fields" -a "${fields%% *}" = 0 -a "${fields#0 }" != "||"
# "操作" > "查看“我的记事本”" shows it in the list.
xdotool windowfocus --sync "$main" && xdotool key alt+o
sleep 0.5
xdotool key Down Return
sleep 1
[ -n "${KOVANTA_E2E_NOTEBOOK_VIEW_SCREENSHOT:-}" ] && import -window root "$KOVANTA_E2E_NOTEBOOK_VIEW_SCREENSHOT"

xdotool windowfocus --sync "$main" && xdotool key Escape
status=0
wait "$pid" || status=$?
pid=
check "Esc ends the program with status 0 (got $status)" test "$status" = 0

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
