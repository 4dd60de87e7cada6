#!/usr/bin/env bash
# reproducible_test.sh SOURCE_DIR WORK
#
# Two clean configure-and-build runs from two copies of SOURCE_DIR at two
# different paths (of different lengths) under WORK: the mingw preset's
# package-zip and the release preset's installer, dsrtool and package-deb.
# The zips, the Linux programs and the .debs must be equal byte for byte,
# no artefact may hold its build path, and lintian must find no error in
# the .deb.
# Tests and benchmarks are not built. Takes a long time (four builds).
# Prints one line per artefact and the time of each build.
set -euo pipefail
source_dir=$(cd "$1" && pwd)
work=$2
jobs=$(nproc)
# Both builds take their times from the same SOURCE_DATE_EPOCH, the one
# the build itself would take (the last commit's time), fixed here so that
# a commit made while the test runs cannot change it between the builds.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null || echo 1767225600)
  export SOURCE_DATE_EPOCH
fi
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)

copies=("$work/a/src" "$work/bb/other-folder/src")
for copy in "${copies[@]}"; do
  mkdir -p "$copy"
  # The working tree as it is (uncommitted changes too), without builds or
  # the repository itself.
  tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
done

build() {
  local copy=$1 started=$SECONDS
  (
    cd "$copy"
    cmake --preset mingw -DOKM_BUILD_TESTS=OFF >build-mingw.log 2>&1
    cmake --build --preset mingw -j "$jobs" --target package-zip >>build-mingw.log 2>&1
    cmake --preset release -DOKM_BUILD_TESTS=OFF -DOKM_BUILD_BENCH=OFF >build-release.log 2>&1
    cmake --build --preset release -j "$jobs" --target package-deb >>build-release.log 2>&1
  ) || { tail -n 30 "$copy"/build-*.log; echo "FAIL: the build in $copy"; exit 1; }
  echo "     built in $copy in $((SECONDS - started)) s"
}
for copy in "${copies[@]}"; do build "$copy"; done

a=${copies[0]} b=${copies[1]}
failed=0
compare() {
  local what=$1 first=$2 second=$3
  if [ ! -f "$first" ] || [ ! -f "$second" ]; then
    echo "FAIL: $what: missing ($first, $second)"
    failed=1
  elif cmp -s "$first" "$second"; then
    echo "ok   $what: identical ($(stat -c %s "$first") bytes, sha256 $(sha256sum <"$first" | cut -c1-16)...)"
  else
    echo "FAIL: $what differs: $(cmp "$first" "$second" | head -n 1)"
    failed=1
  fi
}
zip_name=$(cd "$a/build/mingw" && ls OstrandKMSetup-*-win64.zip)
compare "$zip_name" "$a/build/mingw/$zip_name" "$b/build/mingw/$zip_name"
compare "Linux OstrandKMSetup" "$a/build/release/app/OstrandKMSetup" "$b/build/release/app/OstrandKMSetup"
compare "Linux dsrtool" "$a/build/release/tools/dsrtool/dsrtool" "$b/build/release/tools/dsrtool/dsrtool"
deb_name=$(cd "$a/build/release" && ls ./*.deb | head -n 1)
compare "${deb_name#./}" "$a/build/release/$deb_name" "$b/build/release/$deb_name"
# Debian's own checks of the package: no errors (warnings are listed).
if lintian_out=$(lintian --fail-on error --tag-display-limit 0 "$a/build/release/$deb_name" 2>&1); then
  echo "ok   lintian: no errors${lintian_out:+; it notes:}"
  [ -z "$lintian_out" ] || echo "$lintian_out" | sed 's/^/     /'
else
  echo "$lintian_out"
  echo "FAIL: lintian reports errors on ${deb_name#./}"
  failed=1
fi
# A build path left in any artefact would show here even if both copies
# happened to agree.
for copy in "${copies[@]}"; do
  if grep -rlaF "$copy" "$copy/build/mingw/package" "$copy/build/release/app/OstrandKMSetup" \
    "$copy/build/release/tools/dsrtool/dsrtool"; then
    echo "FAIL: the build path $copy is in the files above"
    failed=1
  fi
done
[ "$failed" = 0 ] || exit 1
[ "${KEEP:-0}" = 1 ] || rm -rf "$work"
echo "reproducible: both builds gave identical artefacts"
