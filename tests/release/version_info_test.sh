#!/usr/bin/env bash
# version_info_test.sh WINDRES VERSION COMPANY PRODUCT EXE...
#
# Reads the VERSIONINFO resource back from each built EXE (windres decodes
# the executable's resource section into a resource script) and checks the
# fixed file and product versions (VERSION as major,minor,patch,0) and the
# strings: CompanyName COMPANY, ProductName PRODUCT, FileVersion and
# ProductVersion VERSION, InternalName the file name without ".exe",
# OriginalFilename the file name, a FileDescription, a LegalCopyright naming
# COMPANY. Prints one line per file; exit status 1 at the first mismatch.
set -euo pipefail
windres=$1 version=$2 company=$3 product=$4
shift 4
IFS=. read -r major minor patch <<<"$version"
fixed="$major,$minor,$patch,0"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL $name: $*"; exit 1; }

for exe in "$@"; do
  name=$(basename "$exe")
  "$windres" -i "$exe" -O rc -o "$work/all.rc"
  # The VERSIONINFO statement up to the END that closes it.
  awk '/^[0-9]+ VERSIONINFO/ { on = 1 }
       on { print; if ($0 ~ /^END/) exit }' "$work/all.rc" >"$work/version.rc"
  [ -s "$work/version.rc" ] || fail "no VERSIONINFO resource"
  tr -d ' ' <"$work/version.rc" >"$work/compact.rc"

  # fixed <KEYWORD>: the comma-separated numbers after it.
  fixed() { sed -n "s/^$1\([0-9,]*\)\$/\1/p" "$work/compact.rc"; }
  # value <Name>: the string of VALUE "<Name>", as written (doubled quotes
  # undone).
  value() { sed -n "s/^ *VALUE \"$1\", \"\(.*\)\"\$/\1/p" "$work/version.rc" | sed 's/""/"/g'; }

  [ "$(fixed FILEVERSION)" = "$fixed" ] || fail "FILEVERSION $(fixed FILEVERSION), expected $fixed"
  [ "$(fixed PRODUCTVERSION)" = "$fixed" ] || fail "PRODUCTVERSION $(fixed PRODUCTVERSION), expected $fixed"
  while IFS='|' read -r key expected; do
    actual=$(value "$key")
    [ "$actual" = "$expected" ] || fail "$key '$actual', expected '$expected'"
  done <<EOF_VALUES
CompanyName|$company
ProductName|$product
FileVersion|$version
ProductVersion|$version
InternalName|${name%.exe}
OriginalFilename|$name
EOF_VALUES
  [ -n "$(value FileDescription)" ] || fail "no FileDescription"
  [[ "$(value LegalCopyright)" == *"$company"* ]] || fail "LegalCopyright '$(value LegalCopyright)' does not name $company"
  echo "ok   $name: $version ($fixed), $(value FileDescription), $(value LegalCopyright)"
done
