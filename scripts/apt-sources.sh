# shellcheck shell=bash
# Reads the package sources this machine's apt is configured with, never
# changing them. Sourced by scripts/setup.sh and scripts/check-fresh-debian.sh:
# the project names no package host of its own, it takes the addresses apt
# already uses here.
#
# apt reads the one-line form from Dir::Etc::SourceList (sources.list) and
# the *.list files of Dir::Etc::SourceParts (sources.list.d), and the deb822
# form from the *.sources files there; other names in sources.list.d (say
# foo.list.disabled) are not sources.

# Sets apt_one_line_files and apt_deb822_files to the machine's source files.
apt_source_files() {
  local list="" parts="" f
  eval "$(apt-config shell list Dir::Etc::SourceList/f parts Dir::Etc::SourceParts/d)"
  apt_one_line_files=()
  apt_deb822_files=()
  if [ -n "$list" ] && [ -f "$list" ]; then apt_one_line_files+=("$list"); fi
  for f in "${parts%/}"/*.list; do
    if [ -f "$f" ]; then apt_one_line_files+=("$f"); fi
  done
  for f in "${parts%/}"/*.sources; do
    if [ -f "$f" ]; then apt_deb822_files+=("$f"); fi
  done
}

# The deb822 stanzas of the given files whose Types include deb and that are
# not disabled (Enabled: no), with Types replaced by deb-src and every other
# field (URIs, Suites, Components, Signed-By with an inline key, ...) kept as
# written. Comments are dropped.
apt_deb822_as_deb_src() {
  (($# > 0)) || return 0
  awk '
    function flush() {
      if (body != "" && binary && enabled) printf "Types: deb-src\n%s\n", body
      body = ""; binary = 0; enabled = 1; field = ""
    }
    BEGIN { enabled = 1 }
    FNR == 1 { flush() }
    /^#/ { next }
    /^[ \t]*$/ { flush(); next }
    /^[ \t]/ { if (field != "types") body = body $0 "\n"; next }
    {
      field = tolower(substr($0, 1, index($0, ":") - 1))
      value = substr($0, index($0, ":") + 1)
      if (field == "types") {
        if (value ~ /(^|[ \t])deb([ \t]|$)/) binary = 1
        next
      }
      if (field == "enabled" && value ~ /^[ \t]*[Nn][Oo][ \t]*$/) enabled = 0
      body = body $0 "\n"
    }
    END { flush() }
  ' "$@"
}

# The deb lines of the given one-line files as deb-src lines, options such as
# [signed-by=...] kept.
apt_one_line_as_deb_src() {
  (($# > 0)) || return 0
  sed -n 's/^[[:space:]]*deb[[:space:]]\{1,\}/deb-src /p' "$@"
}

# Prints "URI SUITE" for every URI and suite of the machine's deb entries,
# in the order apt reads them.
apt_deb_uris_and_suites() {
  apt_source_files
  if ((${#apt_one_line_files[@]})); then
    sed -n 's/^[[:space:]]*deb[[:space:]]\{1,\}//p' "${apt_one_line_files[@]}" |
      sed 's/^\[[^]]*\][[:space:]]*//' | awk 'NF >= 2 { print $1, $2 }'
  fi
  if ((${#apt_deb822_files[@]})); then
    apt_deb822_as_deb_src "${apt_deb822_files[@]}" | awk '
      function flush(i, j) {
        for (i = 1; i <= nuris; i++) for (j = 1; j <= nsuites; j++) print uris[i], suites[j]
        nuris = 0; nsuites = 0
      }
      /^[ \t]*$/ { flush(); next }
      /^[Uu][Rr][Ii][Ss]:/ { for (i = 2; i <= NF; i++) uris[++nuris] = $i }
      /^[Ss][Uu][Ii][Tt][Ee][Ss]:/ { for (i = 2; i <= NF; i++) suites[++nsuites] = $i }
      END { flush() }
    '
  fi
}

# The archive URI of the machine's first deb entry for a release suite (a
# suite such as bookworm, not bookworm-updates or bookworm-security): the
# archive that holds every release of the distribution. Empty when there is
# none.
apt_archive_uri() {
  apt_deb_uris_and_suites | awk '$2 ~ /^[a-z]+$/ { print $1; exit }'
}
