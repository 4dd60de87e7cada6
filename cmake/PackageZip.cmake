# cmake -DOKM_...=... -P PackageZip.cmake: makes the shipping zip of the
# Windows build (the package-zip target of PackageWindows.cmake passes the
# settings).
#
# In the staging folder OKM_STAGE, made anew:
#   OstrandKMSetup.exe, dsrtool.exe  stripped copies of OKM_INSTALLER and
#                                    OKM_DSRTOOL, signed when asked (below)
#   SHA256SUMS.txt                   their sums, made after signing
#   README.txt                       packaging/README.txt.in for this version
#   LICENSES.txt                     pugixml's licence and the notices of
#                                    nlohmann-json and the MinGW-w64 and GCC
#                                    runtime libraries
# and OKM_ZIP_FILE holding them in that order. Text files have CR LF line
# ends.
#
# Reproducible: strip and zip take their times from SOURCE_DATE_EPOCH (from
# the environment, else the last commit's time, else a fixed time); every
# entry has that time (UTC), the same permissions, and no owner or
# extended attributes.
#
# Signing (Authenticode, osslsigncode): when the environment has
# OKM_SIGN_PKCS12 (a PKCS#12 file) and OKM_SIGN_PASSWORD, both executables
# are signed with SHA-256, timestamped by OKM_SIGN_TIMESTAMP_URL when set.
# The password reaches osslsigncode through a file in a folder only the
# user can read, removed at once; it is never on a command line or logged.
# Without a certificate the package is unsigned and says so in one line.
cmake_policy(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/Reproducible.cmake")

foreach(var OKM_SOURCE_DIR OKM_VERSION OKM_STRIP OKM_ZIP OKM_INSTALLER OKM_DSRTOOL OKM_STAGE
            OKM_ZIP_FILE OKM_PUGIXML_LICENSE OKM_PRODUCT_NAME)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "PackageZip.cmake: -D${var}=... is required")
  endif()
endforeach()
if(NOT EXISTS "${OKM_ZIP}")
  message(FATAL_ERROR "PackageZip.cmake: no zip program (run scripts/setup.sh)")
endif()

# _okm_run(<what> <command...>): runs the command, stops on failure.
function(_okm_run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "PackageZip.cmake: ${what} failed (${failed})")
  endif()
endfunction()

# _okm_crlf_file(<out> <text>): writes <text> with CR LF line ends.
function(_okm_crlf_file out text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${out}" "${text}")
endfunction()

okm_source_date_epoch(epoch "${OKM_SOURCE_DIR}")
set(stage "${OKM_STAGE}")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}")

foreach(pair "OstrandKMSetup.exe|${OKM_INSTALLER}" "dsrtool.exe|${OKM_DSRTOOL}")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 program)
  # strip writes the time of SOURCE_DATE_EPOCH, not the current one, into
  # the PE header.
  _okm_run("strip ${name}" "${CMAKE_COMMAND}" -E env "SOURCE_DATE_EPOCH=${epoch}"
    "${OKM_STRIP}" -o "${stage}/${name}" "${program}")
endforeach()

if(NOT "$ENV{OKM_SIGN_PKCS12}" STREQUAL "")
  if(NOT DEFINED ENV{OKM_SIGN_PASSWORD})
    message(FATAL_ERROR "PackageZip.cmake: OKM_SIGN_PKCS12 is set but OKM_SIGN_PASSWORD is not")
  endif()
  if(NOT EXISTS "${OKM_OSSLSIGNCODE}")
    message(FATAL_ERROR "PackageZip.cmake: signing needs osslsigncode (run scripts/setup.sh)")
  endif()
  set(secret_dir "${stage}.sign")
  file(REMOVE_RECURSE "${secret_dir}")
  file(MAKE_DIRECTORY "${secret_dir}")
  file(CHMOD "${secret_dir}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  file(WRITE "${secret_dir}/password" "$ENV{OKM_SIGN_PASSWORD}")
  foreach(name OstrandKMSetup.exe dsrtool.exe)
    execute_process(
      COMMAND "${OKM_OSSLSIGNCODE}" sign -pkcs12 "$ENV{OKM_SIGN_PKCS12}"
        -readpass "${secret_dir}/password" -h sha256 -n "${OKM_PRODUCT_NAME}"
        -in "${stage}/${name}" -out "${secret_dir}/${name}"
      RESULT_VARIABLE failed OUTPUT_QUIET)
    if(NOT failed AND NOT "$ENV{OKM_SIGN_TIMESTAMP_URL}" STREQUAL "")
      # osslsigncode takes no -readpass together with -ts: the timestamp
      # is added to the signed file in a second step.
      file(RENAME "${secret_dir}/${name}" "${secret_dir}/${name}.untimed")
      execute_process(
        COMMAND "${OKM_OSSLSIGNCODE}" add -ts "$ENV{OKM_SIGN_TIMESTAMP_URL}"
          -in "${secret_dir}/${name}.untimed" -out "${secret_dir}/${name}"
        RESULT_VARIABLE failed OUTPUT_QUIET)
    endif()
    if(failed)
      file(REMOVE_RECURSE "${secret_dir}")
      message(FATAL_ERROR "PackageZip.cmake: signing ${name} with $ENV{OKM_SIGN_PKCS12} failed")
    endif()
    file(RENAME "${secret_dir}/${name}" "${stage}/${name}")
  endforeach()
  file(REMOVE_RECURSE "${secret_dir}")
  message(STATUS "package-zip: OstrandKMSetup.exe and dsrtool.exe signed with $ENV{OKM_SIGN_PKCS12}")
else()
  message(STATUS "package-zip: unsigned (no OKM_SIGN_PKCS12 and OKM_SIGN_PASSWORD given)")
endif()

set(DIR "${stage}")
include("${CMAKE_CURRENT_LIST_DIR}/Sha256Sums.cmake")

set(PROJECT_VERSION "${OKM_VERSION}")
file(READ "${OKM_SOURCE_DIR}/packaging/README.txt.in" readme)
string(CONFIGURE "${readme}" readme @ONLY)
_okm_crlf_file("${stage}/README.txt" "${readme}")

file(READ "${OKM_PUGIXML_LICENSE}" pugixml_license)
file(READ "${OKM_SOURCE_DIR}/packaging/third-party-notices.txt" runtime_notices)
set(rule "------------------------------------------------------------------------")
_okm_crlf_file("${stage}/LICENSES.txt"
  "Licences of the software compiled into OstrandKMSetup.exe and dsrtool.exe\n\n${rule}\npugixml\n\n${pugixml_license}\n${runtime_notices}")

set(entries OstrandKMSetup.exe dsrtool.exe SHA256SUMS.txt README.txt LICENSES.txt)
foreach(name IN LISTS entries)
  file(CHMOD "${stage}/${name}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  _okm_run("touch ${name}" touch -h -d "@${epoch}" "${stage}/${name}")
endforeach()
file(REMOVE "${OKM_ZIP_FILE}")
# -X: no owner or extended time fields; -D: no folder entries; TZ=UTC: the
# entries' DOS times are the epoch's UTC time on any machine.
_okm_run("zip" "${CMAKE_COMMAND}" -E chdir "${stage}"
  "${CMAKE_COMMAND}" -E env TZ=UTC "${OKM_ZIP}" -q -X -D "${OKM_ZIP_FILE}" ${entries})
message(STATUS "package-zip: ${OKM_ZIP_FILE}")
