#!/usr/bin/env bash
# Fails when a quoted #include points up a layer, or test code reaches
# production code.
#
# Layers, lowest first: platform <- xml <- devseries <- update <- app; tools,
# bench, tests and fuzz sit on top and may include any layer. A file may
# include its own layer and the layers below it.
#
# Test support serves the tests of every layer in two libraries:
# testsupport/ (okm_test_platform) sits on the platform layer and may
# include nothing above it; testsupport/hosts/ (okm_test_hosts) sits on top.
# Test code is test support itself, *_test.cc files (and the *_test.h
# fixtures they share), and the top (tests, fuzz, bench). Test code may
# include test support, but the platform's own tests only the platform's
# part; nothing else may include test code. The libraries of the production
# folders (platform, xml, devseries, update, app, payload, tools) name no
# test source and link no test-support library.
#
# Below app, code uses only the environment it is given: outside test code,
# platform (but for the definition of Env::Default itself), xml, devseries
# and update never name Env::Default (comments aside).
#
# Usage: scripts/check-layers.sh [SOURCE_ROOT]   (default: the repository)
set -euo pipefail

root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

# Sets $layer to the layer of a path (its top-level folder, but
# testsupport/hosts for the upper test support) and $ranked to its rank;
# empty for a folder that is no layer. (Variables, not output: no subshell
# per include.)
rank() {
  case "$1" in
    testsupport/hosts/*) layer=testsupport/hosts ;;
    *) layer="${1%%/*}" ;;
  esac
  case "$layer" in
    platform | testsupport) ranked=0 ;;
    xml) ranked=1 ;;
    devseries) ranked=2 ;;
    update) ranked=3 ;;
    app) ranked=4 ;;
    tools | bench | tests | fuzz | testsupport/hosts) ranked=5 ;;
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
  rank "$file"
  from_layer="$layer"
  from_rank="$ranked"
  [[ -n "$from_rank" ]] || continue
  checked=$((checked + 1))
  while IFS= read -r line; do
    number="${line%%:*}"
    included="${line#*:}"
    included="${included#*\"}"
    included="${included%%\"*}"
    rank "$included"
    to_layer="$layer"
    to_rank="$ranked"
    problem=""
    if [[ "$included" != */* ]]; then
      problem="includes are spelt from the source root"
    elif [[ -z "$to_rank" ]]; then
      problem="'$to_layer' is no layer"
    elif is_test_code "$included" && ! is_test_code "$file"; then
      problem="test code outside test code"
    elif is_test_support "$included" && ! is_test_support "$file"; then
      # The tests of a layer above the platform may use either library.
      ((from_rank > 0 || to_rank == 0)) ||
        problem="the platform's tests use testsupport/ only, not $to_layer"
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

# The libraries and programs of the production folders: every add_library
# and add_executable (tests are made by okm_test), one call a line with
# comments removed, with the target_sources and target_link_libraries calls.
library_calls() {
  awk '
    { sub(/#.*/, "") }
    !inside && match($0, /(add_library|add_executable|target_sources|target_link_libraries)\(/) {
      inside = 1; call = ""; depth = 0
      $0 = substr($0, RSTART)
    }
    inside {
      call = call " " $0
      depth += gsub(/\(/, "(") - gsub(/\)/, ")")
      if (depth <= 0) { inside = 0; gsub(/[[:space:]]+/, " ", call); print FILENAME ":" call }
    }' "$@"
}

mapfile -t cmake_files < <(find platform xml devseries update app payload tools \
  -name CMakeLists.txt 2>/dev/null | sort)
targets=" "
while IFS= read -r call; do
  file="${call%%:*}"
  text="${call#*: }"
  command="${text%%(*}"
  arguments="${text#*(}"
  target="${arguments%% *}"
  target="${target%)}"
  if [[ "$command" == add_library || "$command" == add_executable ]]; then
    targets+="$target "
  elif [[ "$targets" != *" $target "* ]]; then
    continue
  fi
  read -ra words <<<"${arguments%)}"
  for word in "${words[@]}"; do
    case "$word" in
      *_test.cc | *_test.h | *testsupport/* | okm_test_*)
        echo "$file: $command($target ...): test code $word in production" >&2
        violations=$((violations + 1))
        ;;
    esac
  done
done < <(library_calls "${cmake_files[@]}")

if ((checked == 0)); then
  echo "check-layers: no source files under $root" >&2
  exit 1
fi
if ((violations > 0)); then
  echo "check-layers: $violations violation(s) in $checked files" >&2
  exit 1
fi
echo "check-layers: $checked files, every include within its layer or below"
