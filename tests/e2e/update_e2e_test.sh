#!/usr/bin/env bash
# The real program under Wine with an update host that publishes newer data: a copy of the
# program packed with the sample catalogue and the update host 127.0.0.1, the tests' nginx on
# 127.0.0.1:80 serving the data set's .up file (written by `kovanta-pack up`) and program file.
# At start-up, after the expiry notice, the program shows the new-data notice; Yes hands the
# download address to the shell (Wine's browser is a script that logs it) and ends the program
# with exit status 0. Needs the Wine environment of scripts/wine-env (DISPLAY, WINEPREFIX).
#
#   tests/e2e/update_e2e_test.sh build/win32/Kovanta-program.exe data/sample build/host/kovanta-pack \
#       /usr/lib/wine/wine [HOST_DIR]
#
# The fourth argument is the Wine loader of the program's build. With HOST_DIR, the tests' update host already runs from that folder (tests/nginx_host.sh) and
# the files are published into it; otherwise one is started here and stopped again.
set -uo pipefail
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/../checks.sh"
image=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
sample=$(cd "$2" && pwd)
pack=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine=${4:-/usr/lib/wine/wine64}
work=$(mktemp -d)
# Our own host's folder is kept in the build folder: a host left running by a run that was killed
# is found there and stopped by the next.
host=${5:-"$(dirname "$image")/e2e-update-host"}
own_host=0
[ -z "${5:-}" ] && own_host=1
pid=
finish() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ "$own_host" = 1 ] && bash "$here/../nginx_host.sh" stop "$host"
    "$wine" reg delete 'HKCU\Software\Wine\WineBrowser' /f </dev/null >/dev/null 2>&1
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' INT TERM

name=$(sed -n '2s/,.*//p' "$sample/catalogue.csv")
[ "$own_host" = 1 ] && rm -rf "$host/www"
mkdir -p "$host/www/datas" "$work/run"
"$pack" "$sample" --program "$image" -o "$work/run/Kovanta.exe" --update-host 127.0.0.1 >/dev/null || exit 1
cp "$work/run/Kovanta.exe" "$host/www/datas/$name.exe"
"$pack" up --date 2026-12-09 --version 1.3 --description 'new data' -o "$host/www/datas/$name.up" || exit 1
chmod 644 "$host/www/datas/$name.up" "$host/www/datas/$name.exe"
if [ "$own_host" = 1 ]; then
    bash "$here/../nginx_host.sh" start "$host" || exit 1
fi

log="$work/shell.log"
cat >"$work/log-target" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$*" >> "$log"
SCRIPT
chmod +x "$work/log-target"
"$wine" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$work/log-target" /f \
    </dev/null >/dev/null 2>&1

cd "$work/run"
"$wine" Kovanta.exe &
pid=$!
expiry=$(wine_env_find_window '^提示$' 60)
check "the expiry notice shows" test -n "$expiry"
xdotool windowfocus --sync "$expiry" && xdotool key n
main=$(wine_env_find_window 'Kovanta 更新日期' 60)
check "the main window shows" test -n "$main"
notice=$(wine_env_find_window '^信息更新通知$' 60)
check "the new-data notice shows at start-up" test -n "$notice"
check "the .up file was asked for" grep -q "\"GET http://127.0.0.1/datas/$name.up HTTP/1.0\" 200" "$host/access.log"
[ -n "${KOVANTA_E2E_SCREENSHOT:-}" ] && import -window root "$KOVANTA_E2E_SCREENSHOT"
[ -n "$notice" ] && xdotool windowfocus --sync "$notice" && xdotool key y
# The program ends by itself within a minute, or it is ended here.
for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && kill "$pid"
status=0
wait "$pid" || status=$?
pid=
check "Yes ends the program with status 0 (got $status)" test "$status" = 0
for _ in $(seq 50); do
    [ -s "$log" ] && break
    sleep 0.1
done
check "the shell was given $(cat "$log" 2>/dev/null)" grep -qx "http://127.0.0.1/datas/$name.exe" "$log"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
