#!/usr/bin/env bash
# The Windows builds of the publisher's commands with Chinese folder and file names, run under
# Wine with code page 936, and with Hangul ones under code page 1252: every file they read or
# write must still be found. Arguments: the win64 build folder, the sample catalogue, wine64.
set -uo pipefail
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/checks.sh"
bin=$(cd "$1" && pwd)
sample=$(cd "$2" && pwd)
wine=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
run() { "$wine" "$@" < /dev/null; }

if [ "$(LC_ALL=zh_CN.UTF-8 locale charmap 2>/dev/null)" != UTF-8 ]; then
    echo "the zh_CN.UTF-8 locale is missing (scripts/install-deps wine)"
    exit 1
fi
export LC_ALL=zh_CN.UTF-8

mkdir 样本 && cp "$sample"/*.csv 样本/
cp "$bin/Kovanta-program.exe" 样本/程序映像.exe
run "$bin/kovanta-pack.exe" 样本 --program 样本/程序映像.exe -o 样本/企业名录.exe > pack.out 2> pack.err
check "pack exits 0 with a Chinese source folder" test $? -eq 0
check "no source file is reported unreadable" test ! -s pack.err
check "the program file is written under its Chinese name" test -s 样本/企业名录.exe
run "$bin/kovanta-pack.exe" 样本 --program 样本/程序映像.exe -o 样本/企业名录.exe > /dev/null
check "packing again replaces the file" test $? -eq 0
check "and leaves no temporary file" test "$(ls 样本 | grep -c tmp)" -eq 0

run "$bin/kovanta-dump.exe" 样本/企业名录.exe --now 2026-12-07T10:00 > dump.json
check "dump of a Chinese-named program file exits 0" test $? -eq 0
check "dump prints the data name" grep -q '"dataName": "kovanta-it"' dump.json

run "$bin/kovanta-dump.exe" 样本/企业名录.exe --csv 导出/第二层 2> csv.err
check "dump writes CSV into new Chinese folders" test -s 导出/第二层/companies.csv
run "$bin/kovanta-pack.exe" 导出/第二层 --program 样本/程序映像.exe -o 导出/再次.exe > /dev/null
check "the dumped CSV packs to the same program file" cmp -s 样本/企业名录.exe 导出/再次.exe

run "$bin/kovanta-pack.exe" up --date 2026-12-07 --version 1.4 --description new -o 导出/更新.up
check "the .up body under a Chinese name" cmp -s 导出/更新.up <(printf '\x0a2026-12-07\x031.4\x03new')

# Names no code page holds whole (Hangul is outside GBK), under an English code page.
export LC_ALL=C.UTF-8
mkdir "한국어 자료" && cp "$sample"/*.csv "한국어 자료"/
run "$bin/kovanta-pack.exe" "한국어 자료" --program 样本/程序映像.exe -o "한국어 자료/Ünïcödé.exe" > /dev/null 2> ko.err
check "pack reads and writes a folder named in Hangul" cmp -s 样本/企业名录.exe "한국어 자료/Ünïcödé.exe"
run "$bin/kovanta-dump.exe" "한국어 자료/Ünïcödé.exe" --csv "한국어 자료/导出" > /dev/null 2>> ko.err
check "dump writes CSV there" cmp -s 导出/第二层/companies.csv "한국어 자료/导出/companies.csv"
check "with nothing reported" test ! -s ko.err

echo "$passed passed, $failed failed"
test "$failed" -eq 0
