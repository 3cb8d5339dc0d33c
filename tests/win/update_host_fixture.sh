#!/usr/bin/env bash
# The update host of the window tests: the .up files that their catalogues' data sets look for,
# written by the publisher's `kovanta-pack up`, served on 127.0.0.1:80.
#
#   update_host_fixture.sh start DIR KOVANTA_PACK
#   update_host_fixture.sh stop DIR
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
dir=$2
if [ "$1" = stop ]; then
    exec bash "$here/../nginx_host.sh" stop "$dir"
fi
pack=$3
rm -rf "$dir/www"
mkdir -p "$dir/www/datas"
# The tests' catalogue is dated 2026-12-01 and the program is version 1.3.
"$pack" up --date 2026-12-01 --version 1.3 --description 'unchanged' -o "$dir/www/datas/current.up"
"$pack" up --date 2026-12-07 --version 1.3 --description 'new data' -o "$dir/www/datas/newdata.up"
"$pack" up --date 2026-12-07 --version 1.4 --description '    新版本的搜索更快。' -o "$dir/www/datas/newprogram.up"
printf 'a program file\n' >"$dir/www/datas/newprogram.exe"
# Replies the program cannot read: one without Content-Length, one longer than it keeps.
cp "$dir/www/datas/newdata.up" "$dir/www/datas/nolength.up"
head -c 3000 /dev/zero | tr '\0' x >"$dir/www/datas/toolong.up"
exec bash "$here/../nginx_host.sh" start "$dir"
