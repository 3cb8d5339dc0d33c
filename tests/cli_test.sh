#!/usr/bin/env bash
# The publisher's commands as a publisher runs them: kovanta-pack and kovanta-dump on the
# sample catalogue and on broken input, checking exit statuses, messages and files.
set -uo pipefail
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/checks.sh"
bin=$(cd "$1" && pwd)
sample=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# A program image as the packer sees one: some code bytes and the update-host slot (its marker
# and 60 zero bytes) somewhere inside.
image="$work/program-image"
{ head -c 4096 /dev/zero; printf 'KovantaHostSlot\0'; head -c 60 /dev/zero; head -c 1000 /dev/zero; } > "$image"

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

# Command lines: unknown options, missing values and impossible dates end with the usage
# message and exit status 2, and nothing is written.
rm -f 5.msg # left by the bad container above, as the program leaves it
usage_exit() { # description, then the command
    local what=$1
    shift
    "$@" > /dev/null 2> usage.err
    local status=$?
    check "$what: exit status 2" test $status -eq 2
    check "$what: usage message" grep -q '^usage: ' usage.err
}
pack=("$bin/kovanta-pack" "$sample" --program "$image")
usage_exit "an unknown option" "${pack[@]}" -o typo.bin --updat-host 127.0.0.1
check "the unknown option is named" grep -q 'unknown option "--updat-host"' usage.err
check "nothing is written for an unknown option" test ! -e typo.bin
usage_exit "an option as the value of -o" "${pack[@]}" -o --update-host 127.0.0.1
check "no file named after the option" test ! -e --update-host
usage_exit "a value missing at the end" "${pack[@]}" -o
usage_exit "an option given twice" "${pack[@]}" -o a.bin -o b.bin
usage_exit "a second source folder" "${pack[@]}" "$sample" -o c.bin
usage_exit "up without --date" "$bin/kovanta-pack" up --version 1.4 --description new -o y.up
check "nothing is written for up without --date" test ! -e y.up
usage_exit "an impossible --now" "$bin/kovanta-dump" one.bin --now 2026-02-30T10:00
check "the impossible date is named" grep -q '2026-02-30T10:00' usage.err
usage_exit "--now at 24:00" "$bin/kovanta-dump" one.bin --now 2026-02-03T24:00
usage_exit "an unknown dump option" "$bin/kovanta-dump" one.bin --jsn
usage_exit "--csv without a folder" "$bin/kovanta-dump" one.bin --csv --now 2026-12-07T10:00
check "no folder named after the option" test ! -e --now
check "5.msg is not made on a usage error" test ! -e 5.msg

# Write errors are reported and lose nothing: the old file stays as it was, and no partial or
# temporary file is left beside it.
"$bin/kovanta-pack" "${pack[@]:1}" -o /dev/full > /dev/null 2> full.err
check "packing to a full device exits 1" test $? -eq 1
check "and says why" grep -q '/dev/full: cannot be written: No space left on device' full.err
"$bin/kovanta-pack" up --date 2026-12-07 --version 1.4 --description new -o /dev/full 2> full.err
check "a .up body to a full device exits 1" test $? -eq 1
"$bin/kovanta-dump" one.bin > /dev/full 2> full.err
check "JSON to a full standard output exits 1" test $? -eq 1
check "and says so" grep -q 'standard output: cannot be written' full.err
mkdir limited
printf 'old' > limited/keep.bin
# A file size limit of 20 KiB, short of the packed file: its writes fail as on a full disk.
(trap '' XFSZ; ulimit -f 20; exec "${pack[@]}" -o limited/keep.bin) > /dev/null 2> limit.err
check "a pack cut short exits 1" test $? -eq 1
check "the cut pack says nothing was written" grep -q 'limited/keep.bin: cannot be written: File too large; nothing written' limit.err
check "the old file is untouched" test "$(cat limited/keep.bin)" = old
check "no partial or temporary file is left" test "$(ls limited)" = keep.bin
(trap '' XFSZ; ulimit -f 20; exec "${pack[@]}" -o limited/new.bin) > /dev/null 2>&1
check "a cut pack to a new name leaves no file" test "$(ls limited)" = keep.bin
mkdir fullcsv
ln -s /dev/full fullcsv/companies.csv
"$bin/kovanta-dump" one.bin --csv fullcsv 2> csv.err
check "a CSV that cannot be written exits 1" test $? -eq 1
check "and is named" grep -q 'fullcsv/companies.csv: cannot be written: No space left on device' csv.err
"$bin/kovanta-dump" one.bin --csv deeper/and/deeper > /dev/null
check "--csv makes the folders it lacks" test -s deeper/and/deeper/products.csv

echo "$passed passed, $failed failed"
test "$failed" -eq 0
