#!/usr/bin/env bash
# Plants one fault at a time into a small clean tree and expects
# scripts/check-layers.sh to fail naming it; the clean tree must pass.
#
# Usage: scripts/check-layers_test.sh
set -euo pipefail

check="$(cd "$(dirname "$0")" && pwd)/check-layers.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A clean tree: a platform file, test support of both kinds and a test.
clean_tree() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree"/{platform,xml,testsupport/hosts}
  cd "$work/tree"
  echo '#include "platform/env.h"' >platform/env.cc
  echo '#include "platform/env.h"' >testsupport/test_env.cc
  echo '#include "xml/dom.h"' >testsupport/hosts/documents.h
  printf '#include "testsupport/test_env.h"\n#include "testsupport/hosts/documents.h"\n' \
    >xml/dom_test.cc
  echo 'add_library(okm_platform STATIC env.cc) # okm_test_platform in a comment' \
    >platform/CMakeLists.txt
}

# file | line appended to it | what the check must name
cases=(
  'platform/env.cc|#include "testsupport/test_env.h"|test code outside test code'
  'xml/dom.cc|#include "xml/dom_test.h"|test code outside test code'
  'testsupport/test_env.cc|#include "xml/dom.h"|testsupport may not include xml'
  'testsupport/test_env.cc|#include "testsupport/hosts/documents.h"|testsupport may not include testsupport/hosts'
  'platform/env_test.cc|#include "testsupport/hosts/documents.h"|the platform'"'"'s tests use testsupport/ only'
  'platform/env.cc|#include "xml/dom.h"|platform may not include xml'
  'platform/CMakeLists.txt|target_sources(okm_platform PRIVATE fault_test.cc)|test code fault_test.cc in production'
  'platform/CMakeLists.txt|add_library(okm_fakes ../testsupport/fake.cc)|test code ../testsupport/fake.cc in production'
  'platform/CMakeLists.txt|target_link_libraries(okm_platform PUBLIC|test code okm_test_hosts in production'
)

failures=0
clean_tree
if ! bash "$check" "$work/tree" >"$work/out" 2>&1; then
  echo "FAIL: the clean tree: $(cat "$work/out")"
  failures=$((failures + 1))
fi
for entry in "${cases[@]}"; do
  IFS='|' read -r file line expected <<<"$entry"
  clean_tree
  printf '%s\n' "$line" >>"$file"
  # A link call split over lines, as the project writes them.
  [[ "$line" == *"PUBLIC" ]] && printf '  okm_test_hosts)\n' >>"$file"
  if bash "$check" "$work/tree" >"$work/out" 2>&1; then
    echo "FAIL: passes with $file: $line"
    failures=$((failures + 1))
  elif ! grep -qF -- "$expected" "$work/out"; then
    echo "FAIL: $file: $line: expected '$expected', got: $(cat "$work/out")"
    failures=$((failures + 1))
  fi
done
((failures == 0)) && echo "check-layers_test: ${#cases[@]} faults caught, clean tree passes"
exit $((failures > 0))
