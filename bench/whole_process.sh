#!/usr/bin/env bash
# Whole processes against pugixml alone: builds the Release preset, makes
# documents with 100, 1 000 and 10 000 user media on tmpfs, times dsrtool's
# round trip and merge beside the floor programs (okm_floor_roundtrip,
# okm_floor_merge) with hyperfine, measures peak memory with /usr/bin/time,
# and prints one table of ratios.
#
# usage: bench/whole_process.sh [--quick]
#   --quick  leaves out the 10 000-media merge (the slowest row)
# With OKM_BENCH_BIN set to a build folder, its programs are measured as
# they are and nothing is built.
#
# On a shared machine wall time follows the other load; CPU time (user +
# system) is the figure to compare.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
case "${1:-}" in
  --quick) quick=1 ;;
  "") ;;
  *)
    echo "usage: bench/whole_process.sh [--quick]" >&2
    exit 2
    ;;
esac

for tool in hyperfine /usr/bin/time; do
  command -v "$tool" >/dev/null || {
    echo "whole_process: $tool is missing (scripts/setup.sh installs it)" >&2
    exit 1
  }
done

bin="${OKM_BENCH_BIN:-}"
if [ -z "$bin" ]; then
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake --preset release "${launcher[@]}" >/dev/null
  cmake --build --preset release -j"${JOBS:-2}" \
    --target dsrtool okm_floor_roundtrip okm_floor_merge okm_make_user_media >/dev/null
  bin="$PWD/build/release"
fi
dsrtool="$bin/tools/dsrtool/dsrtool"
floorRoundtrip="$bin/bench/okm_floor_roundtrip"
floorMerge="$bin/bench/okm_floor_merge"

work="$(mktemp -d /dev/shm/okm-bench.XXXXXX)"
trap 'rm -rf "$work"' EXIT
cp payload/blobs/ostrand_km.dsr "$work/payload.dsr"
counts=(100 1000)
((quick)) || counts+=(10000)
for n in "${counts[@]}"; do
  "$bin/bench/okm_make_user_media" "$work/payload.dsr" "$n" "$work/user$n.dsr"
done

# time WARMUP RUNS NAME COMMAND...: hyperfine's mean wall and CPU (user +
# system) time in milliseconds of one command, written to $work/NAME.
time_command() {
  local warmup="$1" runs="$2" name="$3"
  shift 3
  hyperfine -N --style none --warmup "$warmup" --runs "$runs" \
    --export-csv "$work/$name.csv" "$*" >/dev/null 2>&1
  awk -F, 'NR == 2 { printf "%.1f %.1f\n", $2 * 1000, ($5 + $6) * 1000 }' \
    "$work/$name.csv" >"$work/$name"
}
wall() { cut -d' ' -f1 "$work/$1"; }
cpu() { cut -d' ' -f2 "$work/$1"; }

# Peak resident memory in MB of one run (the smallest of three).
peak_rss() {
  local best=""
  for _ in 1 2 3; do
    local kb
    kb="$(/usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1)"
    if [ -z "$best" ] || [ "$kb" -lt "$best" ]; then best="$kb"; fi
  done
  awk -v kb="$best" 'BEGIN { printf "%.0f\n", kb / 1024 }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f×", a / b }'; }
megabytes() { awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.1f MB", b / 1e6 }'; }

p="$work/payload.dsr"
u="$work/user1000.dsr"
time_command 3 20 rt_small "$dsrtool" roundtrip "$p" "$work/rt_small.dsr"
time_command 3 20 rt_small_floor "$floorRoundtrip" "$p" "$work/rt_small_floor.dsr"
time_command 1 5 rt_large "$dsrtool" roundtrip "$u" "$work/rt_large.dsr"
time_command 1 5 rt_large_floor "$floorRoundtrip" "$u" "$work/rt_large_floor.dsr"
rss="$(peak_rss "$dsrtool" roundtrip "$u" "$work/rt_large.dsr")"
rssFloor="$(peak_rss "$floorRoundtrip" "$u" "$work/rt_large_floor.dsr")"
for n in "${counts[@]}"; do
  warmup=1 runs=5
  if [ "$n" = 100 ]; then warmup=2 runs=10; fi
  if [ "$n" = 10000 ]; then warmup=0 runs=2; fi
  time_command "$warmup" "$runs" "merge$n" "$dsrtool" merge "$work/user$n.dsr" "$p" "$work/m$n.dsr"
  time_command "$warmup" "$runs" "merge${n}_floor" "$floorMerge" "$work/user$n.dsr" "$p" \
    "$work/m${n}_floor.dsr"
done

# Milliseconds of CPU time per media between two sizes.
per_media() {
  awk -v a="$(cpu "$1")" -v b="$(cpu "$2")" -v n="$3" 'BEGIN { printf "%.2f", (b - a) / n }'
}
growth="$(per_media merge100 merge1000 900)"
growthFloor="$(per_media merge100_floor merge1000_floor 900)"
if ((!quick)); then
  growth+=" → $(per_media merge1000 merge10000 9000)"
  growthFloor+=" → $(per_media merge1000_floor merge10000_floor 9000)"
fi

echo "| Work | This project | pugixml floor | Ratio | Goal |"
echo "|---|---|---|---|---|"
echo "| \`dsrtool roundtrip\`, payload ($(megabytes "$p")), CPU ms | $(cpu rt_small) | $(cpu rt_small_floor) | $(ratio "$(cpu rt_small)" "$(cpu rt_small_floor)") | ≤ 1.5× |"
echo "| the same, wall ms | $(wall rt_small) | $(wall rt_small_floor) | $(ratio "$(wall rt_small)" "$(wall rt_small_floor)") | |"
echo "| \`dsrtool roundtrip\`, 1 000 user media ($(megabytes "$u")), CPU ms | $(cpu rt_large) | $(cpu rt_large_floor) | $(ratio "$(cpu rt_large)" "$(cpu rt_large_floor)") | ≤ 1.5× |"
echo "| the same, peak RSS MB | $rss | $rssFloor | $(ratio "$rss" "$rssFloor") | ≤ 1.2× |"
for n in "${counts[@]}"; do
  goal=""
  if [ "$n" = 1000 ]; then goal="≤ 1.3×"; fi
  echo "| \`dsrtool merge\`, $n user media, CPU ms | $(cpu "merge$n") | $(cpu "merge${n}_floor") | $(ratio "$(cpu "merge$n")" "$(cpu "merge${n}_floor")") | $goal |"
done
echo "| merge growth, CPU ms per media (100 → 1 000$( ((quick)) || echo " → 10 000")) | $growth | $growthFloor | | linear |"
