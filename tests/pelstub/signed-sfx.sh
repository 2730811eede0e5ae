#!/usr/bin/env bash
# signed-sfx.sh TESTEXE -- a built self-extractor signed with a throwaway
# self-signed certificate must still extract: the test program writes the file,
# osslsigncode signs it, the test program runs the signed copy.
set -eu
test_exe=$1
dir=$(mktemp -d "$PWD/signed-sfx.XXXXXX")
trap 'rm -rf "$dir"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Velmor Software test signing" \
  -keyout "$dir/key.pem" -out "$dir/cert.pem" >/dev/null 2>&1

ZX_SIGN_UNSIGNED=$(winepath -w "$dir/unsigned.exe") wine "$test_exe" --gtest_filter=SignedSfx.WriteUnsigned
osslsigncode sign -certs "$dir/cert.pem" -key "$dir/key.pem" -n "Zendrix test" \
  -in "$dir/unsigned.exe" -out "$dir/signed.exe" >/dev/null
osslsigncode verify -CAfile "$dir/cert.pem" "$dir/signed.exe" >/dev/null 2>&1 || true
unsigned_size=$(stat -c %s "$dir/unsigned.exe")
signed_size=$(stat -c %s "$dir/signed.exe")
if [ "$signed_size" -le "$unsigned_size" ]; then
  echo "signing did not append a signature"; exit 1
fi
echo "signed: $unsigned_size -> $signed_size bytes"
out=$(ZX_SIGN_SIGNED=$(winepath -w "$dir/signed.exe") wine "$test_exe" --gtest_filter=SignedSfx.ExtractsAfterSigning)
echo "$out"
echo "$out" | grep -q "\[  PASSED  \] 1 test" && ! echo "$out" | grep -q SKIPPED
