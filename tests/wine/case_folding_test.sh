#!/usr/bin/env bash
# case_folding_test.sh BASE_PREFIX WORK PATH_PROBE_EXE NATIVE_PATH_PROBE
#
# Part of the differential test: the Linux build must match file names
# without regard to case exactly as Wine does. A copy of BASE_PREFIX gets
# one folder per row of the name table below, spelled as on disk; both
# builds' path_probe then look each one up by the other spelling, the
# Windows one under Wine, the Linux one through its prefix mapping, and
# must agree on every row. Prints the table with the answers; exit 1 on
# the first disagreement, 2 on a usage error.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine_lib.sh"
if [ $# -ne 4 ]; then
  echo "usage: $0 BASE_PREFIX WORK PATH_PROBE_EXE NATIVE_PATH_PROBE" >&2
  exit 2
fi
base=$1 work=$2 exe=$3 native=$4
for program in "$exe" "$native"; do
  [ -f "$program" ] || { echo "FAIL: $program is missing (build it first)"; exit 1; }
done

# On disk | asked for: Latin, Greek (final sigma too), Cyrillic, full-width,
# the sharp s against SS and its capital, dotless and dotted i, the micro
# sign, long s, a digraph in its three cases, and a letter beyond the BMP.
names=(
  "HÄRVEL ü|Härvel Ü"
  "ŁÓDŹ Œ|łódź œ"
  "ΣΟΦΊΑ|σοφία"
  "ΣΟΦΟΣ|σοφος"
  "ДРУКАРКА Ё|друкарка ё"
  "ＲＩＰ|ｒｉｐ"
  "STRASSE|straße"
  "ẞ|ß"
  "ISTANBUL|ıstanbul"
  "İSTANBUL|istanbul"
  "ŸES|ÿes"
  "ΜM|µm"
  "SEE|ſee"
  "Ǆ|ǆ"
  "ǅ|ǆ"
  "𐐀|𐐨"
)

okm_base_prefix "$base"
prefix="$work/prefix"
okm_copy_prefix "$base" "$prefix"
okm_track_server "$prefix"
asked=()
for i in "${!names[@]}"; do
  entry=${names[$i]}
  mkdir -p "$prefix/drive_c/fold/$i/${entry%%|*}"
  asked+=("C:\\fold\\$i\\${entry#*|}")
done

WINEPREFIX="$prefix" "$WINE64" "$exe" "${asked[@]}" | tr -d '\r' >"$work/windows.txt"
WINEPREFIX="$prefix" "$native" "${asked[@]}" >"$work/linux.txt"
okm_stop_server "$prefix"

status=0
for i in "${!names[@]}"; do
  entry=${names[$i]}
  windows=$(sed -n "$((i + 1))p" "$work/windows.txt" | cut -d' ' -f2)
  linux=$(sed -n "$((i + 1))p" "$work/linux.txt" | cut -d' ' -f2)
  if [ -n "$windows" ] && [ "$windows" = "$linux" ]; then
    printf 'ok   %-24s asked as %-24s %s in both builds\n' "${entry%%|*}" "${entry#*|}" "$linux"
  else
    printf 'FAIL %-24s asked as %-24s Windows build: %s, Linux build: %s\n' \
      "${entry%%|*}" "${entry#*|}" "${windows:-nothing}" "${linux:-nothing}"
    status=1
  fi
done
[ "$status" = 0 ] && rm -rf "$prefix"
exit "$status"
