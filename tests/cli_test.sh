#!/usr/bin/env bash
# The publisher's commands as a publisher runs them: kovanta-pack and kovanta-dump on the
# sample catalogue and on broken input, checking exit statuses, messages and files.
set -uo pipefail
bin=$(cd "$1" && pwd)
sample=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# A program image as the packer sees one: some code bytes and the update-host slot (its marker
# and 60 zero bytes) somewhere inside.
image="$work/program-image"
{ head -c 4096 /dev/zero; printf 'KovantaHostSlot\0'; head -c 60 /dev/zero; head -c 1000 /dev/zero; } > "$image"
passed=0
failed=0
check() { # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

"$bin/kovanta-pack" "$sample" --program "$image" -o one.bin > pack.out
check "pack succeeds" test -s one.bin
"$bin/kovanta-pack" "$sample" --program "$image" -o two.bin > /dev/null
check "packing twice gives the same bytes" cmp -s one.bin two.bin
"$bin/kovanta-pack" "$sample" --program one.bin -o three.bin > /dev/null
check "packing onto a packed file replaces its container" cmp -s one.bin three.bin

"$bin/kovanta-dump" one.bin --now 2026-12-07T10:00 > dump.json
check "dump exits 0" test $? -eq 0
check "dump prints the data name" grep -q '"dataName": "kovanta-it"' dump.json
check "5.msg is deleted after the dump" test ! -e 5.msg

"$bin/kovanta-dump" one.bin --csv back
"$bin/kovanta-pack" back --program "$image" -o four.bin > /dev/null
check "pack, dump to CSV, pack gives the same file" cmp -s one.bin four.bin
"$bin/kovanta-dump" four.bin --csv back2
check "dumped CSV is stable" diff -r back back2

"$bin/kovanta-pack" "$sample" --program "$image" -o host.bin --update-host 127.0.0.1 > /dev/null
"$bin/kovanta-dump" host.bin --csv hostback
check "the update host is kept in the dump" grep -q ',127.0.0.1$' hostback/catalogue.csv
"$bin/kovanta-pack" "$sample" --program "$image" -o long.bin \
    --update-host "$(printf 'h%.0s' {1..60})" 2> long.err
check "a 60-byte host is refused" test $? -eq 1 -a ! -e long.bin

# A broken source: errors from several files at once, exit status 1, nothing written.
cp -r "$sample" broken
sed -i '2s/^C001,/C001,/; 3s/,[^,]*$/,2025-13-01/' broken/listings.csv
printf 'C999,台式电脑/星河,X1,,abc,台,,,\n' >> broken/products.csv
"$bin/kovanta-pack" broken --program "$image" -o broken.bin 2> broken.err
status=$?
check "a broken source exits 1" test $status -eq 1
check "nothing is written for a broken source" test ! -e broken.bin
check "the bad date is named" grep -q 'listings.csv:3: expires: "2025-13-01" is not a date' broken.err
check "the bad price is named" grep -q 'price: "abc" is not a price' broken.err
check "the unknown key is named" grep -q 'company: no company has the key "C999"' broken.err
check "the summary says nothing was written" grep -q 'nothing written' broken.err

# The dump ends like the program on a bad container.
printf 'not a program file with a container, but long enough' > bad.bin
printf '\x00\x00\x00\x00' >> bad.bin
"$bin/kovanta-dump" bad.bin > /dev/null 2> bad.err
check "a file without container exits 5" test $? -eq 5
check "and says so" grep -q 'ums' bad.err

"$bin/kovanta-pack" up --date 2026-12-07 --version 1.4 --description 'new' -o x.up
check "the .up body" cmp -s x.up <(printf '\x0a2026-12-07\x031.4\x03new')

echo "$passed passed, $failed failed"
test "$failed" -eq 0
