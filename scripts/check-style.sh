#!/usr/bin/env bash
# Fails when a committed C++ file is not formatted as .clang-format says, or
# when clang-tidy (the checks in .clang-tidy) reports anything in the
# project's own sources. clang-tidy reads the compile commands of the
# default preset's build, so that build must be configured first.
#
#   scripts/check-style.sh [format|tidy]...   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
checks=("$@")
if ((${#checks[@]} == 0)); then checks=(format tidy); fi

mapfile -t sources < <(git ls-files '*.cc' '*.h')

for check in "${checks[@]}"; do
  case "$check" in
    format)
      clang-format --dry-run --Werror "${sources[@]}"
      echo "check-style: ${#sources[@]} files formatted" >&2
      ;;
    tidy)
      database=build/default/compile_commands.json
      if [ ! -f "$database" ]; then
        echo "check-style: $database is missing; run cmake --preset default" >&2
        exit 1
      fi
      # Only the translation units of committed sources: the database also
      # lists generated files and the GoogleTest sources.
      mapfile -t units < <(printf '%s\n' "${sources[@]}" | grep '\.cc$' |
        grep -Fxf <(sed -n "s|^ *\"file\": \"$PWD/\(.*\)\",\?$|\1|p" "$database"))
      log="$(mktemp)"
      trap 'rm -f "$log"' EXIT
      if ! printf '%s\n' "${units[@]}" |
        xargs -P "$(nproc)" -n 8 clang-tidy -p build/default --quiet >"$log" 2>&1; then
        grep -E 'warning:|error:' -A3 "$log" >&2 || cat "$log" >&2
        echo "check-style: clang-tidy found faults" >&2
        exit 1
      fi
      echo "check-style: clang-tidy clean on ${#units[@]} files" >&2
      ;;
    *)
      echo "check-style: unknown check $check" >&2
      exit 2
      ;;
  esac
done
