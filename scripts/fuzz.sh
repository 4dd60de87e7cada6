#!/usr/bin/env bash
# Runs every libFuzzer harness of the fuzz preset's build (build/fuzz) for
# SECONDS seconds each (default 20), starting from its committed seed corpus
# (fuzz/corpus/<name>/), and fails on the first crash, sanitizer report,
# timeout or memory limit. Inputs found on the way go to a throw-away
# folder; a failing input is kept in build/fuzz/artifacts/.
#
#   scripts/fuzz.sh [SECONDS] [NAME...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
shift || true
names=("$@")
if ((${#names[@]} == 0)); then
  names=(device_series_roundtrip device_series_updater wine_registry codec)
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p build/fuzz/artifacts
for name in "${names[@]}"; do
  mkdir -p "$work/$name"
  # The registry parser must stay within bounded memory on any input.
  limits=(-rss_limit_mb=2048 -malloc_limit_mb=1024)
  if [ "$name" = wine_registry ]; then limits=(-rss_limit_mb=512 -malloc_limit_mb=64); fi
  if ! "build/fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 "${limits[@]}" \
    -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$name-" \
    "$work/$name" "fuzz/corpus/$name" >"$work/$name.log" 2>&1; then
    tail -n 60 "$work/$name.log" >&2
    echo "fuzz: $name failed; the input is in build/fuzz/artifacts/" >&2
    exit 1
  fi
  echo "fuzz: $name: $(grep -m1 -o 'stat::number_of_executed_units: [0-9]*' "$work/$name.log" |
    grep -o '[0-9]*$') runs in ${seconds} s" >&2
done
