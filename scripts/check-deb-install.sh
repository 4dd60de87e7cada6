#!/usr/bin/env bash
# Installs the .deb of the Linux build into this machine and proves it
# works, the way a user of a fresh Debian 12 or 13 would: meant to run as root
# inside a freshly bootstrapped chroot (scripts/check-fresh-debian.sh calls
# it there).
#
#   scripts/check-deb-install.sh DEB
#
# apt-get installs DEB with the dependencies it declares; then
# `dsrtool --version` must name the package's version, and OstrandKMSetup,
# run against a throw-away sandbox host (a Wine prefix whose registry names
# a Rastella installation, as scripts/demo.sh makes one), must exit with 0
# and deploy the payload: 63 files, among them the four device-series
# documents, which `dsrtool info` reads. The man pages and the copyright
# file must be installed.
set -euo pipefail
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  echo "usage: $0 DEB" >&2
  exit 2
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "check-deb-install: run as root" >&2
  exit 2
fi
deb=$(realpath "$1")
fail() { echo "check-deb-install: FAIL: $*" >&2; exit 1; }

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "$deb" >/dev/null
package=$(dpkg-deb -f "$deb" Package)
version=$(dpkg-deb -f "$deb" Version)
echo "check-deb-install: installed $package $version" >&2

[ "$(command -v dsrtool)" = /usr/bin/dsrtool ] || fail "dsrtool is not /usr/bin/dsrtool"
[ "$(command -v OstrandKMSetup)" = /usr/bin/OstrandKMSetup ] || fail "OstrandKMSetup is not in /usr/bin"
[ "$(dsrtool --version)" = "dsrtool $version" ] || fail "dsrtool --version says '$(dsrtool --version)'"
for page in OstrandKMSetup dsrtool; do
  [ -f "/usr/share/man/man1/$page.1.gz" ] || fail "no man page for $page"
done
[ -f "/usr/share/doc/$package/copyright" ] || fail "no /usr/share/doc/$package/copyright"

prefix=$(mktemp -d /tmp/okm-deb-sandbox-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
host="$prefix/drive_c/Program Files/Harvel/Rastella Dual"
mkdir -p "$prefix/dosdevices" "$host/Rastella/Device" "$host/Profiles"
ln -s ../drive_c "$prefix/dosdevices/c:"
cat >"$prefix/system.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Harvel\\Harvel Rastella Dual\\Installer] 1733650000
"CompanyName"="Harvel"
"InstallPath"="C:\\Program Files\\Harvel\\Rastella Dual\\"
"UserName"="Package Check"

[Software\\Harvel\\Harvel Rastella Dual\\User] 1733650000
"InkConfig"="Ostrand CMYK"
"Language"="English"
"Model"="Ostrand KM"
REG

status=0
WINEPREFIX="$prefix" OstrandKMSetup 2>"$prefix/progress.txt" || status=$?
[ "$status" = 0 ] || { cat "$prefix/progress.txt" >&2; fail "OstrandKMSetup exited with $status"; }
files=$(find "$host" -type f | wc -l)
lines=$(wc -l <"$prefix/progress.txt")
[ "$files" = 63 ] || fail "$files files deployed, expected 63"
for document in "$host"/Rastella/Device/*.dsr; do
  dsrtool info "$document" >/dev/null || fail "dsrtool cannot read $document"
done
[ "$(find "$host" -name '*.dsr' | wc -l)" = 4 ] || fail "not four device-series documents"
echo "check-deb-install: OstrandKMSetup exited with 0, $files files deployed, $lines progress lines;" \
  "dsrtool $version reads the four device-series documents" >&2
