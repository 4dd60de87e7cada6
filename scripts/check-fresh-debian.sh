#!/usr/bin/env bash
# Runs the README's two commands the way a newcomer would: in a freshly
# bootstrapped Debian (minbase plus git), from a fresh clone of this
# repository's committed HEAD, as root with the environment of a fresh root
# login (no LANG). Anything the scripts forget to install fails here, however
# complete this machine is.
#
#   sudo scripts/check-fresh-debian.sh [SUITE [WORK_DIR]]
#
# SUITE is the release to bootstrap: bookworm (Debian 12, the default) or
# trixie (Debian 13). The packages come from the archive this machine's apt
# already uses (the first deb entry of a release suite in its sources), or
# from DEBIAN_MIRROR when set (an archive address as apt takes it).
#
# Needs root and debootstrap (apt-get install debootstrap). The chroot is
# made under WORK_DIR (default: a new folder under /var/tmp) and removed at
# the end unless KEEP=1. Prints the time each command took, and fails when
# set-up created or changed anything under the chroot's
# /etc/apt/sources.list* or fetched source indexes system-wide, or when a
# second set-up, with everything there, calls apt. Then builds the .deb of
# the Linux build and installs it into an untouched copy of the fresh root
# (scripts/check-deb-install.sh).
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "check-fresh-debian: run as root" >&2
  exit 2
fi
repo="$(cd "$(dirname "$0")/.." && pwd)"
. "$repo/scripts/apt-sources.sh"
suite="${1:-bookworm}"
case "$suite" in
  bookworm) release="Debian 12" ;;
  trixie) release="Debian 13" ;;
  *)
    echo "check-fresh-debian: unknown suite $suite (bookworm or trixie)" >&2
    exit 2
    ;;
esac
mirror="${DEBIAN_MIRROR:-$(apt_archive_uri)}"
if [ -z "$mirror" ]; then
  echo "check-fresh-debian: this machine's apt sources name no deb entry of a release" \
    "suite to bootstrap from; set DEBIAN_MIRROR" >&2
  exit 2
fi
work="${2:-$(mktemp -d /var/tmp/okm-fresh-XXXXXX)}"
mkdir -p "$work"
root="$work/root"

mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  if [ "${KEEP:-0}" != 1 ]; then rm -rf "$work"; fi
}
trap cleanup EXIT

echo "check-fresh-debian: bootstrapping $release ($suite) into $root from $mirror" >&2
debootstrap --variant=minbase --include=git "$suite" "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -20 "$work/debootstrap.log" >&2; exit 1; }
cp /etc/resolv.conf "$root/etc/resolv.conf"
# The certificate authorities this machine adds to Debian's (one of a
# TLS-inspecting egress, say) are part of its network set-up, as
# resolv.conf is: the fresh root trusts them too once ca-certificates is
# installed, or npm could reach no registry from it.
if compgen -G '/usr/local/share/ca-certificates/*.crt' >/dev/null; then
  mkdir -p "$root/usr/local/share/ca-certificates"
  cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
fi
# An untouched copy, for installing the .deb as a user of a fresh machine
# would: the first root gets every build package.
clean_root="$work/clean-root"
cp -a "$root" "$clean_root"

# What a booted machine has: /proc, /sys, devices, shared memory (Wine
# needs them), and a temporary folder of its own.
for m in proc sys dev dev/pts; do
  mkdir -p "$root/$m"
  case "$m" in
    proc) mount -t proc proc "$root/proc" ;;
    sys) mount -t sysfs sys "$root/sys" ;;
    dev) mount --bind /dev "$root/dev" ;;
    dev/pts) mount --bind /dev/pts "$root/dev/pts" ;;
  esac
  mounted+=("$root/$m")
done
mkdir -p "$root/dev/shm"
mount -t tmpfs shm "$root/dev/shm"
mounted+=("$root/dev/shm")

git clone -q "$repo" "$root/src"

# The chroot's apt sources, every file and link under /etc/apt/sources.list*
# with its content, and the source indexes among its package lists: set-up
# must leave all of it as debootstrap made it.
apt_state() {
  (
    cd "$root"
    find etc/apt -path 'etc/apt/sources.list*' \
      \( -type f -exec sha256sum {} + -o -printf '%y %p %l\n' \)
    find var/lib/apt/lists -name '*_Sources*' -printf 'source index %p\n'
  ) | sort
}
apt_before="$(apt_state)"

run() {
  local started=$SECONDS
  echo "check-fresh-debian: $1" >&2
  if ! chroot "$root" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash \
    TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /src && $1"; then
    echo "check-fresh-debian: $1 failed after $((SECONDS - started)) s" >&2
    exit 1
  fi
  echo "check-fresh-debian: $1 passed in $((SECONDS - started)) s" >&2
  if [ "$(apt_state)" != "$apt_before" ]; then
    diff <(echo "$apt_before") <(apt_state) >&2 || true
    echo "check-fresh-debian: $1 changed the apt sources of the machine" >&2
    exit 1
  fi
}
run scripts/demo.sh
# Set up once more: with everything there it must not call apt at all.
mkdir -p "$root/tmp/no-apt"
for tool in apt apt-get apt-cache apt-config; do
  printf '#!/bin/sh\necho "set-up called %s $*" >&2\nexit 1\n' "$tool" >"$root/tmp/no-apt/$tool"
  chmod +x "$root/tmp/no-apt/$tool"
done
run "PATH=/tmp/no-apt:\$PATH scripts/setup.sh"
rm -r "$root/tmp/no-apt"
run scripts/test.sh
echo "check-fresh-debian: both README commands pass on a fresh $release" >&2

# The .deb of the Linux build, made in the first root and installed into
# the untouched one with the dependencies it declares.
run "cmake --preset release >/dev/null && cmake --build --preset release --target package-deb >/dev/null"
debs=("$root"/src/build/release/*.deb)
if ((${#debs[@]} != 1)) || [ ! -f "${debs[0]}" ]; then
  echo "check-fresh-debian: package-deb made no single .deb" >&2
  exit 1
fi
for m in proc sys dev dev/pts; do
  case "$m" in
    proc) mount -t proc proc "$clean_root/proc" ;;
    sys) mount -t sysfs sys "$clean_root/sys" ;;
    *) mount --bind "/$m" "$clean_root/$m" ;;
  esac
  mounted+=("$clean_root/$m")
done
cp "${debs[0]}" "$root/src/scripts/check-deb-install.sh" "$clean_root/tmp/"
started=$SECONDS
chroot "$clean_root" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash TERM=dumb \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash /tmp/check-deb-install.sh "/tmp/$(basename "${debs[0]}")"
echo "check-fresh-debian: the .deb installs and runs on a fresh $release ($((SECONDS - started)) s)" >&2
