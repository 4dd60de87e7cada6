#!/bin/sh
# The one wineserver of a test run: wine-server.sh start|stop PREFIX
#
# start makes the prefix if needed, starts a persistent wineserver and keeps
# one idle Windows process (cmd waiting on a FIFO that is never written)
# alive, so that Wine's own background processes (services, device
# manager) start once, with their standard streams on /dev/null, and stay.
# Without it they come and go with each test program and hold its output
# pipe open after it ends, which costs CTest seconds per test.
# stop ends the server and everything running in the prefix.
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
action="$1"
prefix="$2"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The locale of wine-run.sh, for the server and the idle process too.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
hold="$prefix.hold"
case "$action" in
  start)
    "$here/wine-run.sh" "$prefix" cmd /c exit 0 </dev/null >/dev/null 2>&1
    # The server that run started is not persistent, and `wineserver -p`
    # refuses to start beside it: end it first.
    /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w </dev/null >/dev/null 2>&1
    /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
    rm -f "$hold"
    mkfifo "$hold"
    setsid sh -c 'exec 3<>"$1"; exec /usr/lib/wine/wine64 cmd /c pause <&3' sh "$hold" \
      </dev/null >/dev/null 2>&1 &
    ;;
  stop)
    /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w </dev/null >/dev/null 2>&1 || true
    rm -f "$hold"
    ;;
  *)
    echo "usage: wine-server.sh start|stop PREFIX" >&2
    exit 2
    ;;
esac
