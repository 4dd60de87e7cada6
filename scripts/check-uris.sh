#!/usr/bin/env bash
# Fails when a script, a CMake file or a document names a web address: the
# project takes package hosts from the machine's apt configuration and never
# writes one of its own. Hosts of the names reserved for examples and tests
# (example, example.com/.net/.org, *.example, *.test, *.invalid, localhost)
# stay allowed for documented example text.
#
# The check goes by the shape of an address (a scheme, then a host), so no
# host name is spelt here.
#
# Usage: scripts/check-uris.sh [SOURCE_ROOT]   (default: the repository)
set -euo pipefail

root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

mapfile -t files < <(find scripts cmake .ci -type f 2>/dev/null
  find . -path ./build -prune -o -path ./.deps -prune -o -path ./.git -prune -o -type f \
    \( -name CMakeLists.txt -o -name '*.cmake' -o -name 'CMake*.json' -o -name '*.sh' \
    -o -name '*.md' \) -print | sed 's|^\./||')
mapfile -t files < <(printf '%s\n' "${files[@]}" | sort -u)
if ((${#files[@]} == 0)); then
  echo "check-uris: no scripts or CMake files under $root" >&2
  exit 1
fi

found="$(grep -HnoiE '[a-z][a-z0-9+.-]*://[[:alnum:]][^[:space:]"'\''<>)`]*' "${files[@]}" |
  awk '{
    uri = $0
    sub(/^[^:]*:[0-9]+:/, "", uri)
    host = uri
    sub(/^[^:]*:\/\//, "", host)
    sub(/[\/:?#].*$/, "", host)
    host = tolower(host)
    if (host ~ /^(.*\.)?example(\.(com|net|org))?$/) next
    if (host ~ /(^|\.)(test|invalid|localhost)$/) next
    print
  }')" || true
if [ -n "$found" ]; then
  printf '%s\n' "$found" >&2
  echo "check-uris: the files above name a host; take it from the machine's configuration" >&2
  exit 1
fi
echo "check-uris: ${#files[@]} files, no host named"
