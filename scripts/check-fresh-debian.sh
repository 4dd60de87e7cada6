#!/usr/bin/env bash
# Runs the README's two commands the way a newcomer would: in a freshly
# bootstrapped Debian 12 (minbase plus git), from a fresh clone of this
# repository's committed HEAD, as root. Anything the scripts forget to
# install fails here, however complete this machine is.
#
#   sudo scripts/check-fresh-debian.sh [WORK_DIR]
#
# Needs root and debootstrap (apt-get install debootstrap). The chroot is
# made under WORK_DIR (default: a new folder under /var/tmp) and removed at
# the end unless KEEP=1. Prints the time each command took.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "check-fresh-debian: run as root" >&2
  exit 2
fi
repo="$(cd "$(dirname "$0")/.." && pwd)"
work="${1:-$(mktemp -d /var/tmp/okm-fresh-XXXXXX)}"
mkdir -p "$work"
root="$work/root"
mirror="${DEBIAN_MIRROR:-http://deb.debian.org/debian}"

mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  if [ "${KEEP:-0}" != 1 ]; then rm -rf "$work"; fi
}
trap cleanup EXIT

echo "check-fresh-debian: bootstrapping Debian 12 into $root" >&2
debootstrap --variant=minbase --include=git bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -20 "$work/debootstrap.log" >&2; exit 1; }
cp /etc/resolv.conf "$root/etc/resolv.conf"

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

run() {
  local started=$SECONDS
  echo "check-fresh-debian: $1" >&2
  chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /src && $1"
  echo "check-fresh-debian: $1 passed in $((SECONDS - started)) s" >&2
}
run scripts/demo.sh
run scripts/test.sh
echo "check-fresh-debian: both README commands pass on a fresh Debian 12" >&2
