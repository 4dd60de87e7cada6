#!/usr/bin/env bash
# debug_capture_test.sh BASE_PREFIX WORK DEBUG_CAPTURE_EXE DEBUG_EMIT_EXE
#
# Runs debug_emit under debug_capture and checks that the capture holds
# exactly the bytes debug_emit sent to the debugger channel (a 300-byte
# string, bytes from 0x80 up, CR LF, an empty string, arguments outside
# ASCII, a string sent after a caught C++ exception) and that debug_capture
# exits with debug_emit's exit code.
set -euo pipefail
source "$(dirname "$0")/wine_lib.sh"
[ $# -eq 4 ] || { echo "usage: $0 BASE_PREFIX WORK DEBUG_CAPTURE_EXE DEBUG_EMIT_EXE" >&2; exit 2; }
base=$1 work=$2 capture=$3 emit=$4

okm_base_prefix "$base"
mkdir -p "$work"
export WINEPREFIX="$work/prefix"
okm_copy_prefix "$base" "$WINEPREFIX"
okm_track_server "$WINEPREFIX"

args=("Härvel Ü" "two words" 'quote"inside' 'trailing\' '')
{
  printf 'plain line\r\n'
  for _ in $(seq 30); do printf '0123456789'; done
  printf '\x80\xc3\xa4\xff\r\n'
  printf '%s\n' "${args[@]}"
  printf 'after exception\n'
} >"$work/expected.bin"

status=0
"$WINE64" "$capture" "$(okm_windows_path "$work/captured.bin")" "$(okm_windows_path "$emit")" \
  "${args[@]}" || status=$?
okm_stop_server "$WINEPREFIX"

if [ "$status" -ne 3 ]; then
  echo "FAIL: debug_capture exited with $status, debug_emit exits with 3"
  exit 1
fi
echo "ok: exit code of the program passed on (3)"
if ! cmp "$work/expected.bin" "$work/captured.bin"; then
  diff <(od -An -c "$work/expected.bin") <(od -An -c "$work/captured.bin") || true
  echo "FAIL: captured bytes differ from the bytes sent"
  exit 1
fi
echo "ok: $(stat -c %s "$work/captured.bin") captured bytes equal the bytes sent"
rm -rf "$WINEPREFIX"
