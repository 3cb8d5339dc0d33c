#!/usr/bin/env bash
# The real Kovanta.exe under Wine, driven from outside as a user would: it starts with the
# expiry notice, its window title comes from the data, a click on a brand fills the list, a
# click on a web cell and an e-mail cell hands "http..." and "mailto:..." to the shell (Wine's
# browser and mailer are pointed at a script that logs what it is given), a word typed into the
# search box and Enter run the search (the word lands in the history file), a double click on a
# company in the tree opens its detail window, Ctrl+C in the list puts the clicked row on the
# clipboard (read with xclip), a note about the clicked company is written with the notebook
# dialog and shown in the notebook view, and Esc ends it with exit status 0. Needs the Wine
# environment of scripts/wine-env (DISPLAY, WINEPREFIX).
#
#   tests/e2e/e2e_test.sh build/win32/Kovanta.exe /usr/lib/wine/wine
#   tests/e2e/e2e_test.sh build/win64/Kovanta.exe /usr/lib/wine/wine64
set -uo pipefail
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/../checks.sh"
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
wine=${2:-/usr/lib/wine/wine64}
# A 32-bit program's system directory is syswow64 on the disk.
system=system32
[ "$(basename "$wine")" = wine ] && system=syswow64
work=$(mktemp -d)
pid=
notebook="$WINEPREFIX/drive_c/windows/$system/MyDocInf.wrk"
finish() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -f "$notebook"
    "$wine" reg delete 'HKCU\Software\Wine\WineBrowser' /f </dev/null >/dev/null 2>&1
    rm -rf "$work"
    rm -f "${history:-}"
}
trap finish EXIT

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

history="$WINEPREFIX/drive_c/windows/$system/MySchInf.wrk"
rm -f "$history"
cd "$work"
rm -f "$notebook"
"$wine" "$program" &
pid=$!
notice=$(wine_env_find_window '^提示$' 60)
check "the expiry notice shows" test -n "$notice"
xdotool windowfocus --sync "$notice" && xdotool key n
main=$(wine_env_find_window 'Kovanta 更新日期' 60)
check "the main window shows" test -n "$main"
title=$(xdotool getwindowname "$main")
check "window title: $title" test "$title" = "华东→电脑商情→Kovanta 更新日期：2026-12-01"
check "5.msg is gone" test ! -e "$work/5.msg"
sleep 1
xdotool windowfocus --sync "$main"
eval "$(xdotool getwindowgeometry --shell "$main")"
# The search box lies on the first row of the rebar, right of the command toolbar.
xdotool mousemove $((X + 420)) $((Y + 57)) click 1
sleep 0.3
xdotool type XYZ
xdotool key Return
sleep 1
xdotool key Return
sleep 0.5
check "Enter in the search box searched and kept the word" \
    cmp -s "$history" <(printf '\003\000\000\000xyz')

# The first product name, its first brand opened, and a double click on its first company.
xdotool mousemove $((X + 60)) $((Y + 112)) click 1
xdotool key Right Down Right
sleep 0.5
xdotool mousemove $((X + 120)) $((Y + 112 + 36)) click --repeat 2 --delay 80 1
detail=$(wine_env_find_window '^公司详情$' 20)
check "a double click on a company opens its details" test -n "$detail"
sleep 1
[ -n "${KOVANTA_E2E_DETAIL_SCREENSHOT:-}" ] && [ -n "$detail" ] && import -window "$detail" "$KOVANTA_E2E_DETAIL_SCREENSHOT"
if [ -n "$detail" ]; then
    xdotool windowfocus --sync "$detail" && xdotool key alt+F4
    sleep 0.5
    check "the detail window closes" test -z "$(xdotool search --onlyvisible --name '^公司详情$')"
fi
# The tree as it was: everything closed again with the toolbar's third button (command 125).
xdotool windowfocus --sync "$main"
xdotool mousemove $((X + 145)) $((Y + 57)) click 1
sleep 0.5
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
# On a busy machine a click may come before the list is there: clicked again until the shell
# is handed something of the kind, at most a few times.
click_until_logged() { # pattern, x, y
    local attempt
    for attempt in 1 2 3 4; do
        xdotool mousemove "$2" "$3" click 1
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            grep -q "$1" "$log" 2>/dev/null && return 0
            sleep 0.3
        done
    done
    return 1
}
check "the web cell opened $(grep '^http' "$log" 2>/dev/null | head -n 1)" \
    click_until_logged '^http' $((X + 4 + split + 40 + 585)) "$rowY"
check "the e-mail cell opened" click_until_logged '^mailto:' $((X + 4 + split + 40 + 735)) "$rowY"
echo "shell was given: $(tr '\n' ' ' <"$log" 2>/dev/null)"

# Ctrl+C in the list: the clicked row under the line of column titles, tab-separated, read back
# by another X program from the clipboard (Wine hands its CR LF line ends over as LF).
expected=$(printf '%s\t' 品名 品牌 销售公司 电话 联系人 传真 网址 电子邮件 通讯地址 邮编 开户行 帐号 税号)
expected="${expected%$'\t'}"$'\n'$(printf '%s\t' 台式电脑 星河 宁波智盛数码科技有限公司 0574-64706574 陈女士 \
    0574-52397550 http://www.zhisheng.example info@zhisheng.example 宁波市望澜区惠民路65号电子市场1262室 315459 \
    建设银行星桥分理处 1202803209578269810 91330200NGDXLY2YER)
expected="${expected%$'\t'}"
copied=
for _ in 1 2 3 4 5; do
    xdotool windowfocus --sync "$main" && xdotool key ctrl+c
    sleep 0.5
    copied=$(timeout 5 xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null | tr -d '\r')
    [ "$copied" = "$expected" ] && break
done
check "Ctrl+C copied the clicked row: ${copied:0:60}" test "$copied" = "$expected"
[ -n "${KOVANTA_E2E_SCREENSHOT:-}" ] && import -window root "$KOVANTA_E2E_SCREENSHOT"

# The clicked row made its company current: "操作" > "记入“我的记事本”" opens the dialog with
# its texts, and Enter saves them through the default button.
xdotool windowfocus --sync "$main" && xdotool key alt+o
sleep 0.5
xdotool key Return
dialog=$(wine_env_find_window '^我的记事本$' 30)
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
