#!/usr/bin/env bash
# wine_e2e.sh BASE_PREFIX WORK EXE DEBUG_CAPTURE_EXE MSXML_CHECK_EXE NATIVE_INSTALLER DSRTOOL DSRTOOL_EXE [CASE...]
#
# The differential test of the two builds. For each case a Wine prefix is
# copied from BASE_PREFIX, the host's registry records are added with
# `reg add` and the host's folders are made. The Windows installer EXE runs
# in one copy of that prefix under Wine (its debugger channel recorded by
# debug_capture), the Linux-native installer in an identical copy (its
# progress lines come on standard error). Both must leave the same files,
# byte for byte, print the same progress lines and exit alike. Then the user
# adds a media and hides a preset in an installed device-series file, the
# same edit in both copies, and both installers run again: the update must
# agree as well, keep the user's media and hidden flag, and leave no
# temporary file. Every device-series file either run wrote is loaded by
# msxml_check, which compares MSXML 4.0's tree with ours and reads it.
# After the update `dsrtool verify` of both builds (DSRTOOL_EXE under Wine)
# reports the same states, ok and merged, and after an edit "modified".
# Hosts the installer cannot use and hosts where a file cannot be deployed
# must end with the same exit status in both builds: 0 all deployed, 1 no
# usable host records, 2 a file not deployed.
#
# In the "hklm" case, two Windows installers then start at once, several
# times over, and each time the user's media and hidden flag must survive
# and no temporary file remain. The "fold" case's folders are spelled on disk
# in other letter cases than its InstallPath, outside ASCII too.
#
# Prints one line per check; stops at the first difference, showing it,
# with exit status 1 (2 on a usage error). CASE names pick cases (default:
# all). KEEP=1 keeps the case folders of passed cases.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine_lib.sh"
if [ $# -lt 8 ]; then
  echo "usage: $0 BASE_PREFIX WORK EXE DEBUG_CAPTURE_EXE MSXML_CHECK_EXE NATIVE_INSTALLER DSRTOOL DSRTOOL_EXE [CASE...]" >&2
  exit 2
fi
base=$1 work=$2 exe=$3 capture=$4 msxml_check=$5 native=$6 dsrtool=$7 dsrtool_exe=$8
shift 8
for program in "$exe" "$capture" "$msxml_check" "$native" "$dsrtool" "$dsrtool_exe"; do
  [ -f "$program" ] || { echo "FAIL: $program is missing (build it first)"; exit 1; }
done

key='Software\Harvel\Harvel Rastella Dual'
ascii_host='C:\Program Files\Harvel\Rastella Dual\'
# Cases: name, hive of the records, type of InstallPath, install folder, and
# what the host is like: yes (found and usable), no (records not usable),
# norecord (no records at all), nowhere (the install folder does not
# exist), blocked (a folder stands at the name of the first payload file).
cases=(
  "hklm     HKLM REG_SZ        $ascii_host yes"
  "hkcu     HKCU REG_SZ        $ascii_host yes"
  "expand   HKLM REG_EXPAND_SZ $ascii_host no"
  "nonascii HKLM REG_SZ        C:\\Program Files\\Härvel Ü\\Rastella Dual\\ yes"
  "fold     HKLM REG_SZ        C:\\Program Files\\Härvel Ü\\Rastella Dual\\ yes"
  "norecord HKLM REG_SZ        $ascii_host norecord"
  "nowhere  HKLM REG_SZ        D:\\Nowhere\\ nowhere"
  "blocked  HKLM REG_SZ        $ascii_host blocked"
)
# The installer's exit status for each kind of host.
declare -A expected_status=([yes]=0 [no]=1 [norecord]=1 [nowhere]=2 [blocked]=2)
# How a case's install folder is spelled on disk, where not as in InstallPath.
declare -A on_disk=(
  [fold]='C:\Program Files\HÄRVEL ü\RASTELLA dual\'
)
# How often the "hklm" case starts two installers at once.
race_rounds=4
selected=("$@")

fail() {
  echo "FAIL $case_name: $1"
  exit 1
}
pass() { echo "ok   $case_name: $1"; }

# same_file A B WHAT: A and B must be equal byte for byte; shows the lines
# that differ, with control characters visible, when they are not.
same_file() {
  if ! cmp -s "$1" "$2"; then
    diff <(cat -A "$1") <(cat -A "$2") | head -n 40 || true
    fail "$3 differ (< Windows build, > Linux build)"
  fi
}

# sha_listing DIR: the checksum and path of every file below DIR.
sha_listing() { (cd "$1" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0r sha256sum); }

# same_tree A B WHAT: the two folders hold the same files, byte for byte.
same_tree() {
  if ! diff -r "$1" "$2" >"$case_dir/tree.diff" 2>&1; then
    head -n 40 "$case_dir/tree.diff"
    fail "$3 differ (first: Windows build, second: Linux build)"
  fi
  if ! diff <(sha_listing "$1") <(sha_listing "$2") >"$case_dir/sha.diff"; then
    head -n 40 "$case_dir/sha.diff"
    fail "$3: checksum listings differ"
  fi
}

# run_both RUN: runs the Windows installer in $wine_prefix under
# debug_capture and the Linux-native one in $native_prefix, recording their
# progress lines and exit codes in $case_dir.
run_both() {
  local run=$1 start status
  start=$(okm_now)
  status=0
  WINEPREFIX="$wine_prefix" "$WINE64" "$capture" \
    "$(okm_windows_path "$case_dir/lines$run.windows")" "$(okm_windows_path "$exe")" || status=$?
  echo "$status" >"$case_dir/status$run.windows"
  local wine_time
  wine_time=$(okm_elapsed "$start")
  start=$(okm_now)
  status=0
  WINEPREFIX="$native_prefix" "$native" 2>"$case_dir/lines$run.linux" >"$case_dir/stdout$run.linux" ||
    status=$?
  echo "$status" >"$case_dir/status$run.linux"
  echo "     $case_name: run $run took ${wine_time} s under Wine, $(okm_elapsed "$start") s natively"
}

# compare_runs RUN WHAT: the two builds agree on exit code, progress lines
# and the files below Program Files after run RUN.
compare_runs() {
  local run=$1 what=$2
  same_file "$case_dir/status$run.windows" "$case_dir/status$run.linux" "$what: exit codes"
  pass "$what: both exit with $(cat "$case_dir/status$run.linux")"
  [ ! -s "$case_dir/stdout$run.linux" ] || fail "$what: the Linux build wrote to standard output"
  same_file "$case_dir/lines$run.windows" "$case_dir/lines$run.linux" "$what: progress lines"
  pass "$what: $(wc -l <"$case_dir/lines$run.linux") progress lines equal byte for byte"
  same_tree "$wine_files" "$native_files" "$what: files below Program Files"
  pass "$what: $(find "$native_files" -type f | wc -l) files below Program Files equal byte for byte"
}

# check_documents WHAT: msxml_check on every device-series file in the
# Windows build's host folder.
check_documents() {
  local documents=() file
  for file in "$device_dir"/*.dsr; do
    [ -f "$file" ] && documents+=("$install_folder"'Rastella\Device\'"$(basename "$file")")
  done
  [ ${#documents[@]} -eq 4 ] || fail "$1: ${#documents[@]} device-series files, expected 4"
  if ! WINEPREFIX="$wine_prefix" "$WINE64" "$msxml_check" "${documents[@]}" >"$case_dir/msxml.txt" 2>&1; then
    cat "$case_dir/msxml.txt"
    fail "$1: MSXML 4.0 and our DOM disagree, or a file does not read"
  fi
  sed "s/^/     /" "$case_dir/msxml.txt"
  pass "$1: MSXML 4.0 and our DOM agree on all 4 device-series files, all read"
}

# Simulates the user in one host folder: adds the media "My Studio Vinyl"
# (a copy of the first media, renamed in every language) and hides the
# second preset in Ostrand KM.dsr.
edit_as_user() {
  perl -0pi -e '
    my $n = 0;
    s{<bVisibleMedia>true</bVisibleMedia>}{++$n == 2 ? "<bVisibleMedia>false</bVisibleMedia>" : $&}ge;
    my ($media) = m{(\t\t<MediaInfo>.*?\n\t\t</MediaInfo>\n)}s;
    $media =~ s{(<strMediaName>)(.*?)(</strMediaName>)}{my ($o, $t, $c) = ($1, $2, $3);
      $t =~ s/>[^<\n]+</>My Studio Vinyl</g; "$o$t$c"}se;
    s{(\t</aMediaInfoList>)}{$media$1};
  ' "$1"
}

# verify_both WHAT STATUS: `dsrtool verify` of both builds, each on its own
# prefix, must exit with STATUS and print the same report (the Windows
# build ends its lines with CR LF).
verify_both() {
  local what=$1 expected=$2 status=0
  WINEPREFIX="$wine_prefix" "$WINE64" "$dsrtool_exe" verify >"$case_dir/verify.windows" 2>&1 ||
    status=$?
  tr -d '\r' <"$case_dir/verify.windows" >"$case_dir/verify.windows.lf"
  [ "$status" = "$expected" ] ||
    { cat "$case_dir/verify.windows.lf"; fail "$what: dsrtool.exe verify exits with $status, expected $expected"; }
  status=0
  WINEPREFIX="$native_prefix" "$dsrtool" verify >"$case_dir/verify.linux" 2>&1 || status=$?
  [ "$status" = "$expected" ] ||
    { cat "$case_dir/verify.linux"; fail "$what: dsrtool verify exits with $status, expected $expected"; }
  same_file "$case_dir/verify.windows.lf" "$case_dir/verify.linux" "$what: verify reports"
  pass "$what: dsrtool verify of both builds exits $expected, $(tail -n 1 "$case_dir/verify.linux")"
}

# race DSR HIDDEN: starts the Windows installer twice at once, $race_rounds
# times; after each round DSR must still hold the user's media and HIDDEN
# hidden presets, and no temporary file may remain. The exit codes are not
# examined here: the runs are checked by what they leave.
race() {
  local round first second start leftovers
  start=$(okm_now)
  okm_start_server "$wine_prefix"
  for ((round = 1; round <= race_rounds; round++)); do
    WINEPREFIX="$wine_prefix" "$WINE64" "$exe" &
    first=$!
    WINEPREFIX="$wine_prefix" "$WINE64" "$exe" &
    second=$!
    wait "$first" || true
    wait "$second" || true
    [ "$(grep -c '<English>My Studio Vinyl</English>' "$device_dir/$1")" = 1 ] ||
      fail "two installers at once lost the user's media (round $round)"
    [ "$(grep -c '<bVisibleMedia>false</bVisibleMedia>' "$device_dir/$1" || true)" = "$2" ] ||
      fail "two installers at once lost the hidden flag (round $round)"
    leftovers=$(find "$wine_files" -name '*.tmp' -o -name '*.out')
    [ -z "$leftovers" ] || fail "temporary files left by two installers at once: $leftovers"
  done
  okm_stop_server "$wine_prefix"
  pass "$race_rounds times two installers at once: the user's media and choice kept, no temporary left ($(okm_elapsed "$start") s)"
}

run_case() {
  local hive=$1 type=$2 kind=$4 case_start
  install_folder=$3
  case_start=$(okm_now)
  case_dir="$work/$case_name"
  rm -rf "$case_dir"
  mkdir -p "$case_dir"
  local start_prefix="$case_dir/start"
  wine_prefix="$case_dir/windows"
  native_prefix="$case_dir/linux"

  # The starting prefix: the host's records and folders.
  okm_copy_prefix "$base" "$start_prefix"
  okm_start_server "$start_prefix"
  local name value
  while read -r subkey name value; do
    [ "$kind" != norecord ] || break
    local value_type=REG_SZ
    [ "$name" = InstallPath ] && value_type=$type
    WINEPREFIX="$start_prefix" "$WINE64" reg add "$hive\\$key\\$subkey" /v "$name" /t "$value_type" \
      /d "$value" /f >/dev/null
  done <<EOF_VALUES
Installer CompanyName Harvel
Installer InstallPath $install_folder
Installer UserName Wine Stage
User InkConfig Ostrand CMYK
User Language English
User Model Ostrand KM
EOF_VALUES
  okm_stop_server "$start_prefix"
  local host disk_folder=${on_disk[$case_name]:-$install_folder}
  host=$(okm_unix_path "$start_prefix" "$disk_folder")
  if [ "$kind" = norecord ]; then
    pass "prefix without the host's records"
  else
    grep -q 'InstallPath' "$start_prefix/$([ "$hive" = HKLM ] && echo system || echo user).reg" ||
      fail "reg add left no InstallPath in the prefix's registry file"
    pass "prefix with the host's records under $hive (InstallPath $type)"
  fi
  if [ "$kind" != nowhere ]; then
    mkdir -p "$host/Rastella/Device" "$host/Profiles"
    pass "the host's folders made"
  fi
  if [ "$kind" = blocked ]; then
    mkdir "$host/Rastella/Device/Ostrand KM.bmp"
    pass "a folder stands at the name of Ostrand KM.bmp"
  fi

  okm_copy_prefix "$start_prefix" "$wine_prefix"
  okm_copy_prefix "$start_prefix" "$native_prefix"
  okm_start_server "$wine_prefix"
  wine_files="$wine_prefix/drive_c/Program Files"
  native_files="$native_prefix/drive_c/Program Files"
  device_dir="$(okm_unix_path "$wine_prefix" "$disk_folder")/Rastella/Device"
  local native_device_dir
  native_device_dir="$(okm_unix_path "$native_prefix" "$disk_folder")/Rastella/Device"

  run_both 1
  compare_runs 1 "fresh install"
  [ "$(cat "$case_dir/status1.linux")" = "${expected_status[$kind]}" ] ||
    fail "the installer exits with $(cat "$case_dir/status1.linux"), expected ${expected_status[$kind]}"
  pass "exit status ${expected_status[$kind]} as a $kind host asks"
  if [ "$kind" = no ] || [ "$kind" = norecord ]; then
    [ ! -s "$case_dir/lines1.linux" ] || fail "progress lines from an installer that cannot find the host"
    same_tree "$start_prefix/drive_c/Program Files" "$native_files" "files before and after"
    pass "nothing deployed, no progress line"
    okm_stop_server "$wine_prefix"
  elif [ "$kind" = nowhere ] || [ "$kind" = blocked ]; then
    local refused
    refused=$(grep -c 'error: file cannot opened' "$case_dir/lines1.linux" || true)
    [ "$refused" -ge 1 ] || fail "no file was refused"
    pass "$refused file(s) refused with \"file cannot opened\" in both builds"
    okm_stop_server "$wine_prefix"
  else
    check_documents "fresh install"
    okm_stop_server "$wine_prefix"

    local dsr="Ostrand KM.dsr"
    edit_as_user "$device_dir/$dsr"
    edit_as_user "$native_device_dir/$dsr"
    same_file "$device_dir/$dsr" "$native_device_dir/$dsr" "the user's edited $dsr"
    local hidden
    hidden=$(grep -c '<bVisibleMedia>false</bVisibleMedia>' "$device_dir/$dsr" || true)
    [ "$(grep -c '<English>My Studio Vinyl</English>' "$device_dir/$dsr")" = 1 ] ||
      fail "the user's edit added no media"
    pass "user added the media \"My Studio Vinyl\" and hid a preset ($hidden hidden) in both"

    okm_start_server "$wine_prefix"
    run_both 2
    compare_runs 2 "update"
    check_documents "update"
    local dir
    for dir in "$device_dir" "$native_device_dir"; do
      [ "$(grep -c '<English>My Studio Vinyl</English>' "$dir/$dsr")" = 1 ] ||
        fail "update lost the user's media in $dir/$dsr"
      [ "$(grep -c '<bVisibleMedia>false</bVisibleMedia>' "$dir/$dsr" || true)" = "$hidden" ] ||
        fail "update lost the hidden flag in $dir/$dsr"
    done
    pass "update kept the user's media and the $hidden hidden preset(s) in both builds"
    local leftovers
    leftovers=$(find "$wine_files" "$native_files" -name '*.tmp' -o -name '*.out')
    [ -z "$leftovers" ] || fail "temporary files left: $leftovers"
    pass "no .tmp or .out file left"

    verify_both "after the update" 0
    grep -F "\\$dsr (1 user media)" "$case_dir/verify.linux" | grep -c '^merged ' >/dev/null ||
      fail "verify does not report the user's $dsr as merged"
    local profile="Profiles/Ostrand KM/Ostrand CMYK/KMOS_GenericPaper_600x600.icc"
    for dir in "$device_dir" "$native_device_dir"; do
      printf 'X' | dd of="$dir/../../$profile" bs=1 seek=200 conv=notrunc status=none
    done
    verify_both "after an edit of a profile" 1
    grep -q "^modified    .*KMOS_GenericPaper_600x600.icc\$" "$case_dir/verify.linux" ||
      fail "verify does not report the edited profile as modified"
    okm_stop_server "$wine_prefix"
    [ "$case_name" != hklm ] || race "$dsr" "$hidden"
  fi
  echo "     $case_name: case took $(okm_elapsed "$case_start") s"
  [ "${KEEP:-0}" = 1 ] || rm -rf "$case_dir"
}

okm_base_prefix "$base"
mkdir -p "$work"
ran=0
for entry in "${cases[@]}"; do
  # The install folder may hold spaces: the fields are the first three
  # words, the last word and everything between.
  read -r case_name hive type rest <<<"$entry"
  kind=${rest##* }
  folder=${rest% *}
  if [ ${#selected[@]} -gt 0 ] && [[ " ${selected[*]} " != *" $case_name "* ]]; then continue; fi
  run_case "$hive" "$type" "$folder" "$kind"
  ran=$((ran + 1))
done
[ "$ran" -gt 0 ] || { echo "FAIL: no case named ${selected[*]}"; exit 1; }
echo "$ran passed, 0 failed"
