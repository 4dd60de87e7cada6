#!/usr/bin/env bash
# Builds everything (installer, tools, tests) in both builds and runs every
# test: the Linux-native build first, then the format and clang-tidy checks
# of the sources, the same tests under AddressSanitizer
# and UndefinedBehaviorSanitizer (preset asan, without the payload
# generator's tests), a short run of every fuzz harness (preset fuzz), then
# the Windows build, whose tests run under Wine and end with end-to-end runs
# of the .exe compared with the Linux build on the same hosts, and two clean
# builds of the shipped artefacts compared byte for byte. Each stage reports
# its time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs="$(nproc)"

stage() {
  local name="$1" start="$SECONDS"
  shift
  "$@"
  echo "test.sh: stage $name took $((SECONDS - start)) s" >&2
}

linux() {
  cmake --preset default >/dev/null
  cmake --build --preset default -j "$jobs"
  ctest --preset default -j "$jobs"
}

style() {
  scripts/check-style.sh format tidy
}

sanitizers() {
  cmake --preset asan >/dev/null
  cmake --build --preset asan -j "$jobs"
  ctest --preset asan -j "$jobs"
}

fuzzing() {
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$jobs"
  scripts/fuzz.sh 20
}

windows() {
  cmake --preset mingw >/dev/null
  cmake --build --preset mingw -j "$jobs"
  local lost=build/mingw/wineprefix.lost
  rm -f "$lost"
  local status=0
  ctest --preset mingw -j "$jobs" || status=$?
  if [ -s "$lost" ]; then
    echo "test.sh: Wine lost $(wc -l <"$lost") test program(s) before they started; each ran once more:" >&2
    cat "$lost" >&2
  fi
  [ "$status" = 0 ] || return "$status"
  # Two clean builds in two folders give the same zip, installer and dsrtool.
  ctest --preset mingw-reproducible
}

stage linux linux
stage style style
stage asan sanitizers
stage fuzz fuzzing
stage windows windows
