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
exec /usr/lib/wine/wine64 "$@"
