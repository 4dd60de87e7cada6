#!/bin/sh
# Runs a Windows program of the build under Wine: wine-run.sh PREFIX PROGRAM [ARGS...]
#
# The Wine prefix belongs to the build folder, never ~/.wine. It is made on
# first use (once, under a lock, as several tests may start together), with
# Mono and Gecko left out: nothing here needs .NET or a browser engine. The
# wine64 loader is called directly; the wrapper script only adds warnings.
#
# Every Wine process gets a UTF-8 locale of its own, whatever the caller's:
# Wine maps Windows file names to Unix ones in the locale's character set, so
# in the C locale (no LANG, as on a fresh minimal install) it cannot create a
# file or folder whose name is outside ASCII.
set -eu
prefix="$1"
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 LC_ALL=C.UTF-8
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  (
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
      /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 </dev/null
      /usr/lib/wine/wineserver -w
    fi
  ) 9>"$prefix.lock"
fi

# Wine now and then loses a program before it runs a line of its own: the
# program ends with a failure status having printed nothing, or only Wine's
# "wine client error". Such a run is started once more and recorded in
# PREFIX.lost, which the test script reports. The output is collected in
# files, so that Wine's background processes never hold the caller's pipes.
out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
for attempt in 1 2; do
  status=0
  /usr/lib/wine/wine64 "$@" >"$out" 2>"$err" || status=$?
  [ "$status" -ne 0 ] && [ "$attempt" = 1 ] || break
  if [ -s "$out" ] || [ -s "$err" ]; then
    grep -q '^wine client error' "$err" || break
  fi
  printf '%s status %s: %s %s\n' "$(date -u +%H:%M:%S)" "$status" "$*" \
    "$(head -c 200 "$err" | tr '\n' ' ')" >>"$prefix.lost"
done
cat "$out"
cat "$err" >&2
exit "$status"
