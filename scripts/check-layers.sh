#!/usr/bin/env bash
# Fails when a quoted #include points up a layer.
#
# Layers, lowest first: platform <- xml <- devseries <- update <- app; tools,
# bench, tests and fuzz sit on top and may include any layer. A file may
# include its own layer and the layers below it.
#
# Test support (testsupport/) sits on top like the tests and serves the
# tests of every layer: test code anywhere may include it, and nothing else
# may. Test code is test support itself, *_test.cc files (and the *_test.h
# fixtures they share), and the top
# (tests, fuzz, bench).
#
# Below app, code uses only the environment it is given: outside test code,
# platform (but for the definition of Env::Default itself), xml, devseries
# and update never name Env::Default (comments aside).
#
# Usage: scripts/check-layers.sh [SOURCE_ROOT]   (default: the repository)
set -euo pipefail

root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

# Sets $ranked to the rank of a top-level folder; empty for a folder that is
# no layer. (A variable, not output: no subshell per include.)
rank() {
  case "$1" in
    platform) ranked=0 ;;
    xml) ranked=1 ;;
    devseries) ranked=2 ;;
    update) ranked=3 ;;
    app) ranked=4 ;;
    tools | bench | tests | fuzz | testsupport) ranked=5 ;;
    *) ranked="" ;;
  esac
}

is_test_support() {
  case "$1" in
    testsupport/*) return 0 ;;
    *) return 1 ;;
  esac
}

is_test_code() {
  case "$1" in
    tests/* | fuzz/* | bench/* | *_test.cc | *_test.h) return 0 ;;
    *) is_test_support "$1" ;;
  esac
}

violations=0
checked=0
while IFS= read -r file; do
  from_layer="${file%%/*}"
  rank "$from_layer"
  from_rank="$ranked"
  [[ -n "$from_rank" ]] || continue
  checked=$((checked + 1))
  while IFS= read -r line; do
    number="${line%%:*}"
    included="${line#*:}"
    included="${included#*\"}"
    included="${included%%\"*}"
    to_layer="${included%%/*}"
    rank "$to_layer"
    to_rank="$ranked"
    problem=""
    if [[ "$included" != */* ]]; then
      problem="includes are spelt from the source root"
    elif [[ -z "$to_rank" ]]; then
      problem="'$to_layer' is no layer"
    elif is_test_support "$included"; then
      is_test_code "$file" || problem="test support outside test code"
    elif ((to_rank > from_rank)); then
      problem="$from_layer may not include $to_layer (a higher layer)"
    fi
    if [[ -n "$problem" ]]; then
      echo "$file:$number: #include \"$included\": $problem" >&2
      violations=$((violations + 1))
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(find platform xml devseries update app tools bench tests fuzz testsupport \
  -type f \( -name '*.cc' -o -name '*.h' \) 2>/dev/null | sort)

while IFS= read -r hit; do
  file="${hit%%:*}"
  is_test_code "$file" && continue
  text="${hit#*:*:}"
  text="${text#"${text%%[![:space:]]*}"}"
  [[ "$text" == "//"* || "$text" == "Env& Env::Default() {"* ]] && continue
  echo "$hit: the default environment below app" >&2
  violations=$((violations + 1))
done < <(grep -rn 'Env::Default' platform xml devseries update \
  --include='*.cc' --include='*.h' 2>/dev/null | sort || true)

if ((checked == 0)); then
  echo "check-layers: no source files under $root" >&2
  exit 1
fi
if ((violations > 0)); then
  echo "check-layers: $violations violation(s) in $checked files" >&2
  exit 1
fi
echo "check-layers: $checked files, every include within its layer or below"
