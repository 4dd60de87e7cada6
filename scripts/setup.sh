#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, when any is
# missing, and fetches Debian's pugixml source, which both builds compile.
# Safe to run again: it does nothing when everything is there.
#
# Every package below is used: cmake and ninja drive the build, pkg-config
# finds LittleCMS for the payload generator, g++ and the gtest/gmock,
# benchmark, pugixml and lcms2 headers build the Linux programs, locales lets
# the decimal-comma test make its locale, clang with its runtime libraries
# (libFuzzer, the sanitizers) builds the fuzz harnesses, clang-format and
# clang-tidy check the sources' form and common faults, the MinGW-w64
# compiler builds the Windows executable, wine and wine64 run its tests,
# hyperfine and time (/usr/bin/time) run the whole-process benchmark
# (bench/whole_process.sh), and dpkg-dev (with a deb-src entry) fetches the
# pugixml source both builds compile (libpugixml-dev tells its version).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ make pkg-config
  hyperfine time
  libgtest-dev libgmock-dev libbenchmark-dev
  libpugixml-dev liblcms2-dev nlohmann-json3-dev
  locales
  clang libclang-rt-14-dev clang-format clang-tidy
  g++-mingw-w64-x86-64-posix wine wine64
  dpkg-dev
  zip osslsigncode openssl lintian
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}" >&2
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

# Both builds compile pugixml from Debian's source package of the version
# libpugixml-dev installs, so both parse and save alike.
pugixml_version="$(dpkg-query -W -f='${Version}' libpugixml-dev)"
pugixml_dir=".deps/pugixml-${pugixml_version}"
if [ ! -f "$pugixml_dir/src/pugixml.cpp" ]; then
  if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "setup: adding a deb-src entry for Debian's source packages" >&2
    "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/okm-deb-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    "${sudo_cmd[@]}" apt-get update -qq
  fi
  echo "setup: fetching the pugixml ${pugixml_version} source" >&2
  work="$(mktemp -d .deps-XXXXXX)"
  trap 'rm -rf "$work"' EXIT
  (cd "$work" && apt-get source -qq "pugixml=${pugixml_version}" >/dev/null 2>&1)
  mkdir -p .deps
  rm -rf "$pugixml_dir"
  mv "$work"/pugixml-*/ "$pugixml_dir"
fi
