# Helpers of the Wine-stage test scripts, sourced by them.
#
# Every Wine call goes through the loader itself with the tracing off and a
# UTF-8 locale, so that arguments outside ASCII reach the programs as the
# intended UTF-16 text. Prefixes always live inside the build folder.

WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all LANG=C.UTF-8 LC_ALL=C.UTF-8
# No desktop integration, no Mono or Gecko installers in new prefixes.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

okm_servers=()

# Ends the wineserver of every prefix handed to okm_track_server, waiting for
# each to write its registry files. Installed as the EXIT trap.
okm_end_servers() {
  local prefix
  for prefix in "${okm_servers[@]}"; do
    [ -d "$prefix" ] || continue
    WINEPREFIX="$prefix" "$WINESERVER" -k 2>/dev/null || true
    WINEPREFIX="$prefix" "$WINESERVER" -w 2>/dev/null || true
  done
  okm_servers=()
}
trap okm_end_servers EXIT

# A prefix tracked twice is ended twice, which is harmless.
okm_track_server() { okm_servers+=("$1"); }

# okm_stop_server PREFIX: ends the prefix's wineserver, which writes
# system.reg and user.reg, and waits until it is gone.
okm_stop_server() {
  WINEPREFIX="$1" "$WINESERVER" -k 2>/dev/null || true
  WINEPREFIX="$1" "$WINESERVER" -w
}

# okm_start_server PREFIX: a persistent wineserver for PREFIX, ended by
# okm_stop_server or at exit. The server Wine starts on its own closes its
# socket a few seconds after its last program ends; a program started just
# then connects to a server on its way out and dies with "wine client error:
# recvmsg: Connection reset by peer". Scripts that run Wine programs one
# after another, with native steps between them, keep theirs up instead. A
# server already serving PREFIX is ended first: `wineserver -p` will not
# start beside it.
okm_start_server() {
  okm_track_server "$1"
  okm_stop_server "$1"
  WINEPREFIX="$1" "$WINESERVER" -p
}

# okm_now: seconds since the epoch with milliseconds.
okm_now() { date +%s.%N | cut -c1-14; }

# okm_elapsed START: seconds since START, with one decimal.
okm_elapsed() { awk -v s="$1" -v e="$(okm_now)" 'BEGIN { printf "%.1f", e - s }'; }

# okm_base_prefix PREFIX: makes PREFIX a complete, initialised Wine prefix
# unless it already is one. Safe when several tests ask at once.
okm_base_prefix() {
  local prefix=$1
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    [ -f "$prefix/.okm-ready" ] && exit 0
    rm -rf "$prefix"
    local start
    start=$(okm_now)
    WINEPREFIX="$prefix" "$WINE64" wineboot -i >/dev/null 2>&1
    okm_stop_server "$prefix"
    [ -f "$prefix/system.reg" ] || { echo "FAIL: wineboot made no prefix at $prefix" >&2; exit 1; }
    touch "$prefix/.okm-ready"
    echo "base prefix made in $(okm_elapsed "$start") s: $prefix"
  ) 9>"$prefix.lock"
}

# okm_copy_prefix FROM TO: a copy of a prefix whose wineserver has ended.
# C:\windows (some 700 MB of Wine's program files) is hard-linked, as
# nothing the tests run writes there; everything else, the registry files
# and the rest of drive C: included, is copied. LINK_WINDOWS=0 copies all.
okm_copy_prefix() {
  local from=$1 to=$2 entry
  rm -rf "$to"
  if [ "${LINK_WINDOWS:-1}" != 1 ]; then
    cp -a "$from" "$to"
    return
  fi
  mkdir -p "$to/drive_c"
  for entry in "$from"/* "$from"/.[!.]*; do
    [ -e "$entry" ] || [ -L "$entry" ] || continue
    [ "$(basename "$entry")" = drive_c ] || cp -a "$entry" "$to/"
  done
  for entry in "$from"/drive_c/*; do
    if [ "$(basename "$entry")" = windows ]; then
      cp -al "$entry" "$to/drive_c/"
    else
      cp -a "$entry" "$to/drive_c/"
    fi
  done
}

# okm_windows_path UNIXPATH: the path as Windows programs in the prefix see
# it through drive Z:, which maps the root folder.
okm_windows_path() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s' "${path//\//\\}"
}

# okm_unix_path PREFIX WINPATH: where a C: path lies inside PREFIX.
okm_unix_path() {
  local rest=${2#[Cc]:\\}
  printf '%s/drive_c/%s' "$1" "${rest//\\//}"
}

# Run as a program: `wine_lib.sh base-prefix PREFIX` makes the base prefix.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  [ $# -eq 2 ] && [ "$1" = base-prefix ] || { echo "usage: $0 base-prefix PREFIX" >&2; exit 2; }
  okm_base_prefix "$2"
fi
