#!/usr/bin/env bash
# msxml_check_test.sh BASE_PREFIX WORK MSXML_CHECK_EXE PAYLOAD_BLOBS
#
# msxml_check accepts the payload's device-series documents and reports,
# with the element's path, each kind of failure it looks for. Wine's MSXML
# trims the white space around an element's text while our DOM keeps it;
# the case that shows a difference in the trees relies on that.
set -euo pipefail
source "$(dirname "$0")/wine_lib.sh"
[ $# -eq 4 ] || { echo "usage: $0 BASE_PREFIX WORK MSXML_CHECK_EXE PAYLOAD_BLOBS" >&2; exit 2; }
base=$1 work=$2 check=$3 blobs=$4

okm_base_prefix "$base"
mkdir -p "$work"
export WINEPREFIX="$work/prefix"
okm_copy_prefix "$base" "$WINEPREFIX"
okm_start_server "$WINEPREFIX"

declaration='<?xml version="1.0" encoding="UTF-8"?>'
printf '%s\n<DeviceSeries strVersion="6.6.13.0">\n<a> x </a>\n</DeviceSeries>\n' "$declaration" \
  >"$work/spaced.xml"
printf '%s\n<Other a="1"><b>x</b></Other>\n' "$declaration" >"$work/other_root.xml"
printf '%s\n<DeviceSeries><unclosed></DeviceSeries>\n' "$declaration" >"$work/not_xml.xml"

# file | exit status | what the output must say
cases=(
  "$blobs/ostrand_km.dsr|0|^ok .*elements and 1 attributes agree; reads as a device series"
  "$work/spaced.xml|1|differs at /DeviceSeries\[1\]/a\[1\]: nodeTypedValue: MSXML \"x\", ours \" x \""
  "$work/other_root.xml|1|DeviceSeriesIO2::read fails"
  "$work/not_xml.xml|1|MSXML does not load it"
)
failed=0
for entry in "${cases[@]}"; do
  IFS='|' read -r file want pattern <<<"$entry"
  status=0
  # To a file, not through a pipe: Wine's background processes would hold
  # a pipe open until the wineserver ends.
  "$WINE64" "$check" "$(okm_windows_path "$file")" >"$work/output.txt" 2>&1 || status=$?
  if [ "$status" = "$want" ] && grep -Eq "$pattern" "$work/output.txt"; then
    echo "ok: $(basename "$file") -> $status"
  else
    echo "FAIL: $(basename "$file"): status $status (want $want), output: $(cat "$work/output.txt")"
    failed=1
  fi
done
okm_stop_server "$WINEPREFIX"
rm -rf "$WINEPREFIX"
exit "$failed"
