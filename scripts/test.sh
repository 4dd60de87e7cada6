#!/usr/bin/env bash
# Builds everything (installer, tools, tests) in both builds and runs every
# test: the Linux-native build first, then the Windows build, whose tests run
# under Wine and end with end-to-end runs of the .exe compared with the
# Linux build on the same hosts.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs="$(nproc)"

cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
ctest --preset mingw -j "$jobs"
