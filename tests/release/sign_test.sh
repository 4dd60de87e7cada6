#!/usr/bin/env bash
# sign_test.sh WORK BASE_PREFIX DEBUG_CAPTURE_EXE MSXML_CHECK_EXE NATIVE_INSTALLER DSRTOOL
#              -- CMAKE PACKAGE_ARGS...
#
# The signing path of the shipping zip. CMAKE PACKAGE_ARGS... is the
# package-zip command without its staging folder and zip file (the -D
# settings of PackageWindows.cmake); it runs here twice:
# - without a certificate: the zip is made, unsigned, and the output says so
#   in exactly one line;
# - with a throw-away self-signed code-signing certificate made by openssl
#   now: both executables verify with osslsigncode given that certificate
#   as the CA, SHA256SUMS.txt holds the signed files' sums, the password
#   appears nowhere in the output, and one changed byte makes verification
#   fail. The signed OstrandKMSetup.exe then runs through the differential
#   test (wine_e2e.sh, case hklm): it deploys under Wine byte for byte what
#   the Linux build deploys, as the unsigned one does in wine_e2e.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work=$1 base=$2 capture=$3 msxml_check=$4 native=$5 dsrtool=$6
shift 6
[ "${1:-}" = -- ] || { echo "usage: see the head of $0" >&2; exit 2; }
shift
package=("$@")

fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok   $*"; }

rm -rf "$work"
mkdir -p "$work"

# Unsigned.
env -u OKM_SIGN_PKCS12 -u OKM_SIGN_PASSWORD "${package[@]}" "-DOKM_STAGE=$work/plain" \
  "-DOKM_ZIP_FILE=$work/plain.zip" -P "$here/../../cmake/PackageZip.cmake" >"$work/plain.log" 2>&1 ||
  { cat "$work/plain.log"; fail "packaging without a certificate"; }
[ "$(grep -c 'package-zip: unsigned' "$work/plain.log")" = 1 ] ||
  { cat "$work/plain.log"; fail "no one line saying unsigned"; }
if osslsigncode verify -in "$work/plain/OstrandKMSetup.exe" >/dev/null 2>&1; then
  fail "the unsigned OstrandKMSetup.exe carries a signature"
fi
pass "without a certificate: unsigned, said in one line"

# A throw-away certificate for code signing, and its PKCS#12 file.
password="okm-$RANDOM-$RANDOM-$RANDOM"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Ostrand KM test signing" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" \
  -passout "pass:$password"

OKM_SIGN_PKCS12="$work/cert.p12" OKM_SIGN_PASSWORD="$password" "${package[@]}" \
  "-DOKM_STAGE=$work/signed" "-DOKM_ZIP_FILE=$work/signed.zip" \
  -P "$here/../../cmake/PackageZip.cmake" >"$work/signed.log" 2>&1 ||
  { cat "$work/signed.log"; fail "packaging with a certificate"; }
! grep -qF "$password" "$work/signed.log" || fail "the password appears in the output"
! grep -q unsigned "$work/signed.log" || fail "a signed package says it is unsigned"
[ ! -e "$work/signed.sign" ] || fail "the signing folder (password file) was left behind"
for exe in OstrandKMSetup.exe dsrtool.exe; do
  osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed/$exe" >"$work/verify-$exe.log" 2>&1 ||
    { cat "$work/verify-$exe.log"; fail "$exe does not verify"; }
done
(cd "$work/signed" && sha256sum --quiet -c SHA256SUMS.txt) || fail "SHA256SUMS.txt does not match the signed files"
[ "$(cmake -E tar tf "$work/signed.zip" | tr '\n' ' ')" = \
  "OstrandKMSetup.exe dsrtool.exe SHA256SUMS.txt README.txt LICENSES.txt " ] ||
  fail "the signed zip's entries: $(cmake -E tar tf "$work/signed.zip" | tr '\n' ' ')"
pass "signed: both executables verify against the test certificate, SHA256SUMS.txt matches them"

# One changed byte inside the signed code.
cp "$work/signed/OstrandKMSetup.exe" "$work/tampered.exe"
offset=4096
byte=$(od -An -tu1 -j "$offset" -N1 "$work/tampered.exe" | tr -d ' ')
printf "$(printf '\\%03o' $(((byte + 1) % 256)))" | dd of="$work/tampered.exe" bs=1 seek="$offset" conv=notrunc 2>/dev/null
! cmp -s "$work/tampered.exe" "$work/signed/OstrandKMSetup.exe" || fail "the byte was not changed"
if osslsigncode verify -CAfile "$work/cert.pem" -in "$work/tampered.exe" >/dev/null 2>&1; then
  fail "OstrandKMSetup.exe with one changed byte still verifies"
fi
pass "one changed byte fails verification"

bash "$here/../wine/wine_e2e.sh" "$base" "$work/e2e" "$work/signed/OstrandKMSetup.exe" "$capture" \
  "$msxml_check" "$native" "$dsrtool" "$work/signed/dsrtool.exe" hklm ||
  fail "the signed installer under Wine"
pass "the signed installer deploys under Wine as the Linux build does"
[ "${KEEP:-0}" = 1 ] || rm -rf "$work"
