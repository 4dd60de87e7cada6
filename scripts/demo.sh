#!/usr/bin/env bash
# Builds the installer and runs it once into a throw-away sandbox host: a Wine
# prefix in a temporary folder whose registry names a host installation.
# Shows the progress lines, then a short summary of what was deployed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target OstrandKMSetup >/dev/null

installer="$PWD/build/default/app/OstrandKMSetup"
prefix="$(mktemp -d /tmp/okm-sandbox-XXXXXX)"
host="$prefix/drive_c/Program Files/Harvel/Rastella Dual"
mkdir -p "$prefix/dosdevices" "$host/Rastella/Device" "$host/Profiles"
ln -s ../drive_c "$prefix/dosdevices/c:"
cat >"$prefix/system.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Harvel\\Harvel Rastella Dual] 1733650000

[Software\\Harvel\\Harvel Rastella Dual\\Installer] 1733650000
"CompanyName"="Harvel"
"InstallPath"="C:\\Program Files\\Harvel\\Rastella Dual\\"
"UserName"="Demo User"

[Software\\Harvel\\Harvel Rastella Dual\\User] 1733650000
"InkConfig"="Ostrand CMYK"
"Language"="English"
"Model"="Ostrand KM"
REG

echo "== Sandbox host: $prefix"
echo "== Installer run (progress lines from the debugger channel):"
WINEPREFIX="$prefix" "$installer" 2> >(tr -d '\r' >&2)
sleep 0.2

echo
echo "== Deployed tree below C:\\Program Files\\Harvel\\Rastella Dual:"
(cd "$host" && find . -type f -printf '%h\n' | sort | uniq -c | while read -r n dir; do
  bytes=$(find "$dir" -maxdepth 1 -type f -printf '%s\n' | awk '{s+=$1} END {print s}')
  printf '  %-45s %3d files %9d bytes\n' "${dir#./}" "$n" "$bytes"
done)
echo "== Remove the sandbox with: rm -rf $prefix"
