#!/usr/bin/env bash
# A publisher signs the packed program file (Authenticode): a key and a certificate made with
# openssl, the packed file signed with osslsigncode and checked with osslsigncode verify. The
# dump reads the signed file as the unsigned one, the packer refuses the signed file as a
# program image, and the signed program starts under Wine with its catalogue (the window
# tests' RealProgramTest reads its title and tree). Needs the Wine environment of
# scripts/wine-env (DISPLAY, WINEPREFIX).
#
#   tests/signing_test.sh build/win64 build/host data/sample [WINE_LOADER]
set -uo pipefail
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/checks.sh"
build=$(cd "$1" && pwd)
bin=$(cd "$2" && pwd)
sample=$(cd "$3" && pwd)
wine=${4:-/usr/lib/wine/wine64}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 30 \
    -subj "/CN=Kovanta Test Publisher" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
check "a key and a certificate are made" test -s key.pem -a -s cert.pem
"$bin/kovanta-pack" "$sample" --program "$build/Kovanta-program.exe" -o packed.exe >/dev/null
osslsigncode sign -certs cert.pem -key key.pem -n Kovanta -h sha256 -in packed.exe -out signed.exe >sign.out
check "osslsigncode signs the packed file" test $? -eq 0 -a -s signed.exe
osslsigncode verify -CAfile cert.pem -in signed.exe >verify.out 2>&1
check "osslsigncode verify passes" test $? -eq 0
check "the signature is reported sound" grep -q "Signature verification: ok" verify.out

"$bin/kovanta-dump" packed.exe --now 2026-12-07T10:00 >packed.json
"$bin/kovanta-dump" signed.exe --now 2026-12-07T10:00 >signed.json
check "the signed file's catalogue is read" test $? -eq 0 -a -s signed.json
check "the signed file holds the same catalogue" cmp -s packed.json signed.json

"$bin/kovanta-pack" "$sample" --program signed.exe -o again.exe 2>again.err >/dev/null
check "the packer refuses a signed image" test $? -eq 1 -a ! -e again.exe
check "the packer says why" grep -q "already signed; pack the unsigned program image" again.err

KOVANTA_SIGNED_PROGRAM="$work/signed.exe" "$wine" "$build/tests/win/kovanta_window_tests.exe" \
    --gtest_filter=RealProgramTest.ASignedProgramStartsWithItsCatalogue >wine.out 2>&1
status=$?
check "the signed program starts under Wine with its catalogue" test $status -eq 0
check "... and the test ran" grep -q "1 test from RealProgramTest ran\|\[  PASSED  \] 1 test" wine.out
[ "$status" -eq 0 ] || cat wine.out

echo "signing: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
