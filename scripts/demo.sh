#!/usr/bin/env bash
# Builds the installer and runs it into a throw-away sandbox host: a Wine
# prefix in a temporary folder whose registry names a host installation.
# First a fresh install (progress lines, then a summary of what was
# deployed); then the user adds a media of their own and hides a preset in
# an installed device-series file, and a second run updates the host and
# keeps both; dsrtool verify then checks the installation against the
# payload.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target OstrandKMSetup dsrtool >/dev/null

installer="$PWD/build/default/app/OstrandKMSetup"
dsrtool="$PWD/build/default/tools/dsrtool/dsrtool"
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
echo "== First run, a fresh install (progress lines from the debugger channel):"
{ WINEPREFIX="$prefix" "$installer" 2>&1 && status=0 || status=$?; echo "== exit status $status"; } |
  tr -d '\r'

echo
echo "== Deployed tree below C:\\Program Files\\Harvel\\Rastella Dual:"
(cd "$host" && find . -type f -printf '%h\n' | sort | uniq -c | while read -r n dir; do
  bytes=$(find "$dir" -maxdepth 1 -type f -printf '%s\n' | awk '{s+=$1} END {print s}')
  printf '  %-45s %3d files %9d bytes\n' "${dir#./}" "$n" "$bytes"
done)

dsr="$host/Rastella/Device/Ostrand KM.dsr"
echo
echo "== The user adds the media \"My Studio Vinyl\" and hides the second preset in Ostrand KM.dsr"
perl -0pi -e '
  my $n = 0;
  s{<bVisibleMedia>true</bVisibleMedia>}{++$n == 2 ? "<bVisibleMedia>false</bVisibleMedia>" : $&}ge;
  my ($media) = m{(\t\t<MediaInfo>.*?\n\t\t</MediaInfo>\n)}s;
  $media =~ s{(<strMediaName>)(.*?)(</strMediaName>)}{my ($o, $t, $c) = ($1, $2, $3);
    $t =~ s/>[^<\n]+</>My Studio Vinyl</g; "$o$t$c"}se;
  s{(\t</aMediaInfoList>)}{$media$1};
' "$dsr"
"$dsrtool" info "$dsr" | grep aMediaInfoList

echo
echo "== Second run, an update: the device-series files are merged through .tmp files"
{ WINEPREFIX="$prefix" "$installer" 2>&1 && status=0 || status=$?; echo "== exit status $status"; } |
  tr -d '\r' | tail -n 7
echo
echo "== After the update, Ostrand KM.dsr:"
"$dsrtool" info "$dsr" | grep -E 'strVersion|aMediaInfoList'
printf '  user media kept: %s\n' "$(grep -c '<English>My Studio Vinyl</English>' "$dsr")"
printf '  hidden presets: %s\n' "$(grep -c '<bVisibleMedia>false</bVisibleMedia>' "$dsr")"
printf '  temporary files left: %s\n' "$(find "$host" -name '*.tmp' -o -name '*.out' | wc -l)"
echo
echo "== dsrtool verify: the installation checked against the payload (ok lines after the first two left out)"
{ WINEPREFIX="$prefix" "$dsrtool" verify && status=0 || status=$?; echo "== exit status $status"; } |
  awk '!/^ok / || ++shown <= 2'
echo "== Remove the sandbox with: rm -rf $prefix"
