# Embeds the payload blobs and the string table of a manifest into an object
# library (POSIX build).
#
#   okm_embed_payload(<library> <manifest.tsv> [ACCESSOR <name>])
#
# creates the object library <library>, which defines
#   const platform::EmbeddedTable& platform::<name>();   (default: embeddedPayload)
# as declared in platform/embedded_table.h. The blob bytes go into read-only
# data through an assembler file with one .incbin per blob; the C++ side only
# holds the table of {id, data, size} and the strings. Both files are
# generated at build time by this same file run as a script (cmake -P), and
# again whenever the manifest or any blob listed in it changes.
#
# Manifest: UTF-8, one entry per line, fields separated by tabs; blank lines
# and lines starting with # are ignored.
#   blob<TAB><id><TAB><file, relative to the manifest's folder><TAB><target-name string id>
#   string<TAB><id><TAB><text to the end of the line>
# Ids are decimal, 0 to 65535 (the range of Windows resource ids), unique per
# kind; a repeated id or a malformed line stops the configuration with a
# message naming the line, and a missing blob file stops the build of the
# library. A missing manifest gives an empty table (the library still
# builds) and the build reconfigures once the manifest appears.

include_guard(GLOBAL)

if(CMAKE_SCRIPT_MODE_FILE)
  # cmake -P starts with old policies; the functions below record these.
  cmake_policy(VERSION 3.25)
endif()

# _okm_manifest_error(<manifest> <line number> <message>)
function(_okm_manifest_error manifest lineno message)
  message(FATAL_ERROR "${manifest}:${lineno}: ${message}")
endfunction()

# _okm_check_id(<manifest> <line number> <id>)
function(_okm_check_id manifest lineno id)
  if(NOT id MATCHES "^[0-9]+$" OR id GREATER 65535)
    _okm_manifest_error("${manifest}" ${lineno} "'${id}' is not an id from 0 to 65535")
  endif()
endfunction()

# _okm_parse_manifest(<manifest>) sets in the caller's scope:
#   OKM_BLOB_IDS     blob ids in manifest order
#   OKM_BLOB_FILES   their absolute file paths, in the same order
#   OKM_STRING_IDS   string ids in manifest order
#   OKM_STRING_<id>  the text of each string (kept out of lists, which would
#                    split it at semicolons)
# A manifest that does not exist gives empty lists.
function(_okm_parse_manifest manifest)
  set(blob_ids "")
  set(blob_files "")
  set(string_ids "")
  set(blob_lines "")
  set(string_lines "")
  if(EXISTS "${manifest}")
    get_filename_component(base "${manifest}" DIRECTORY)
    file(READ "${manifest}" content)
    string(REPLACE "\r\n" "\n" content "${content}")
    set(lineno 0)
    while(NOT content STREQUAL "")
      math(EXPR lineno "${lineno} + 1")
      string(FIND "${content}" "\n" newline)
      if(newline EQUAL -1)
        set(line "${content}")
        set(content "")
      else()
        string(SUBSTRING "${content}" 0 ${newline} line)
        math(EXPR after "${newline} + 1")
        string(SUBSTRING "${content}" ${after} -1 content)
      endif()
      if(line MATCHES "^[ \t]*(#|$)")
        continue()
      endif()

      # kind <TAB> id <TAB> rest
      string(FIND "${line}" "\t" tab1)
      if(tab1 EQUAL -1)
        _okm_manifest_error("${manifest}" ${lineno} "expected tab-separated fields")
      endif()
      string(SUBSTRING "${line}" 0 ${tab1} kind)
      math(EXPR start "${tab1} + 1")
      string(SUBSTRING "${line}" ${start} -1 rest)
      string(FIND "${rest}" "\t" tab2)
      if(tab2 EQUAL -1)
        _okm_manifest_error("${manifest}" ${lineno} "expected an id and a value after '${kind}'")
      endif()
      string(SUBSTRING "${rest}" 0 ${tab2} id)
      string(STRIP "${id}" id)
      math(EXPR start "${tab2} + 1")
      string(SUBSTRING "${rest}" ${start} -1 value)
      _okm_check_id("${manifest}" ${lineno} "${id}")

      if(kind STREQUAL "blob")
        list(FIND blob_ids "${id}" first)
        if(NOT first EQUAL -1)
          list(GET blob_lines ${first} first_line)
          _okm_manifest_error("${manifest}" ${lineno}
            "duplicate blob id ${id} (first on line ${first_line})")
        endif()
        string(FIND "${value}" "\t" tab3)
        if(NOT tab3 EQUAL -1)
          math(EXPR start "${tab3} + 1")
          string(SUBSTRING "${value}" ${start} -1 name_id)
          string(SUBSTRING "${value}" 0 ${tab3} value)
          string(STRIP "${name_id}" name_id)
          _okm_check_id("${manifest}" ${lineno} "${name_id}")
        endif()
        if(value STREQUAL "" OR value MATCHES ";")
          _okm_manifest_error("${manifest}" ${lineno} "blob ${id}: bad file name '${value}'")
        endif()
        if(IS_ABSOLUTE "${value}")
          set(path "${value}")
        else()
          set(path "${base}/${value}")
        endif()
        if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
          if(CMAKE_SCRIPT_MODE_FILE)
            _okm_manifest_error("${manifest}" ${lineno} "blob ${id}: no file '${path}'")
          else()
            # Only the build of this library fails (it depends on the file),
            # not the configuration of the whole tree.
            message(WARNING "${manifest}:${lineno}: blob ${id}: no file '${path}' (yet)")
          endif()
        endif()
        list(APPEND blob_ids "${id}")
        list(APPEND blob_lines ${lineno})
        list(APPEND blob_files "${path}")
      elseif(kind STREQUAL "string")
        list(FIND string_ids "${id}" first)
        if(NOT first EQUAL -1)
          list(GET string_lines ${first} first_line)
          _okm_manifest_error("${manifest}" ${lineno}
            "duplicate string id ${id} (first on line ${first_line})")
        endif()
        list(APPEND string_ids "${id}")
        list(APPEND string_lines ${lineno})
        set(OKM_STRING_${id} "${value}" PARENT_SCOPE)
      else()
        _okm_manifest_error("${manifest}" ${lineno} "unknown entry kind '${kind}'")
      endif()
    endwhile()
  endif()
  set(OKM_BLOB_IDS "${blob_ids}" PARENT_SCOPE)
  set(OKM_BLOB_FILES "${blob_files}" PARENT_SCOPE)
  set(OKM_STRING_IDS "${string_ids}" PARENT_SCOPE)
endfunction()

# _okm_escape(<text> <out> <quote escape> <escape non-ASCII>): |text| as the
# body of a string literal. Backslash becomes \\, a quote <quote escape>,
# and control characters three-digit octal escapes, so no escape can
# swallow the next character. Bytes of 128 and above become octal escapes
# too when <escape non-ASCII> is true, else they stay as they are.
function(_okm_escape text out quote_escape escape_non_ascii)
  string(HEX "${text}" hex)
  string(LENGTH "${hex}" hex_length)
  set(literal "")
  set(i 0)
  while(i LESS hex_length)
    string(SUBSTRING "${hex}" ${i} 2 byte_hex)
    math(EXPR byte "0x${byte_hex}")
    if(byte EQUAL 92)
      string(APPEND literal "\\\\")
    elseif(byte EQUAL 34)
      string(APPEND literal "${quote_escape}")
    elseif(byte LESS 32 OR byte EQUAL 127 OR (byte GREATER 127 AND escape_non_ascii))
      math(EXPR d1 "${byte} / 64")
      math(EXPR d2 "(${byte} / 8) % 8")
      math(EXPR d3 "${byte} % 8")
      string(APPEND literal "\\${d1}${d2}${d3}")
    else()
      math(EXPR index "${i} / 2")
      string(SUBSTRING "${text}" ${index} 1 char)
      string(APPEND literal "${char}")
    endif()
    math(EXPR i "${i} + 2")
  endwhile()
  set(${out} "${literal}" PARENT_SCOPE)
endfunction()

# A C++ string literal's body: every byte outside printable ASCII is an
# octal escape, so the bytes survive any source or execution character set.
function(_okm_cxx_literal text out)
  _okm_escape("${text}" literal "\\\"" TRUE)
  set(${out} "${literal}" PARENT_SCOPE)
endfunction()

# A resource-script string's body, read under #pragma code_page(65001):
# UTF-8 bytes stay as they are (windres knows no \u escapes), a quote is
# doubled.
function(_okm_rc_literal text out)
  _okm_escape("${text}" literal "\"\"" FALSE)
  set(${out} "${literal}" PARENT_SCOPE)
endfunction()

# _okm_generate(<manifest> <asm out> <cxx out> <symbol prefix> <accessor>)
function(_okm_generate manifest asm_file cxx_file prefix accessor)
  _okm_parse_manifest("${manifest}")

  set(asm "/* Generated by cmake/EmbedPayload.cmake from ${manifest}. Do not edit. */\n")
  string(APPEND asm "  .section .rodata\n")
  set(declarations "")
  set(blob_rows "")
  foreach(id path IN ZIP_LISTS OKM_BLOB_IDS OKM_BLOB_FILES)
    set(sym "${prefix}_${id}")
    string(REPLACE "\\" "\\\\" quoted "${path}")
    string(REPLACE "\"" "\\\"" quoted "${quoted}")
    string(APPEND asm
      "\n  .balign 16\n"
      "  .globl ${sym}\n  .hidden ${sym}\n  .type ${sym}, @object\n"
      "${sym}:\n  .incbin \"${quoted}\"\n${sym}_end:\n"
      "  .size ${sym}, ${sym}_end - ${sym}\n"
      "  .balign 8\n"
      "  .globl ${sym}_size\n  .hidden ${sym}_size\n  .type ${sym}_size, @object\n"
      "  .size ${sym}_size, 8\n"
      "${sym}_size:\n  .quad ${sym}_end - ${sym}\n")
    string(APPEND declarations
      "extern \"C\" const std::uint8_t ${sym}[];\n"
      "extern \"C\" const std::uint64_t ${sym}_size;\n")
    string(APPEND blob_rows
      "      {${id}, ${sym}, static_cast<std::size_t>(${sym}_size)},\n")
  endforeach()
  string(APPEND asm "\n  .section .note.GNU-stack,\"\",@progbits\n")

  set(string_rows "")
  foreach(id IN LISTS OKM_STRING_IDS)
    _okm_cxx_literal("${OKM_STRING_${id}}" literal)
    string(LENGTH "${OKM_STRING_${id}}" length)
    string(APPEND string_rows "      {${id}, std::string_view(\"${literal}\", ${length})},\n")
  endforeach()

  set(cxx "// Generated by cmake/EmbedPayload.cmake from ${manifest}. Do not edit.\n")
  string(APPEND cxx "#include <cstddef>\n#include <cstdint>\n#include <string_view>\n\n")
  string(APPEND cxx "#include \"platform/embedded_table.h\"\n\n${declarations}\n")
  string(APPEND cxx "namespace platform {\n\nconst EmbeddedTable& ${accessor}();\n\n")
  string(APPEND cxx "const EmbeddedTable& ${accessor}() {\n")
  if(OKM_BLOB_IDS)
    string(APPEND cxx "  static const EmbeddedBlob blobs[] = {\n${blob_rows}  };\n")
    set(blob_span "blobs")
  else()
    set(blob_span "std::span<const EmbeddedBlob>()")
  endif()
  if(OKM_STRING_IDS)
    string(APPEND cxx "  static const EmbeddedString strings[] = {\n${string_rows}  };\n")
    set(string_span "strings")
  else()
    set(string_span "std::span<const EmbeddedString>()")
  endif()
  string(APPEND cxx "  static const EmbeddedTable table{${blob_span}, ${string_span}};\n")
  string(APPEND cxx "  return table;\n}\n\n}  // namespace platform\n")

  # Always written, also when unchanged: the assembler output must be
  # rebuilt whenever a blob it includes changed, and this file's time stamp
  # is what tells the build tool.
  file(WRITE "${asm_file}" "${asm}")
  file(WRITE "${cxx_file}" "${cxx}")
endfunction()

# _okm_generate_rc(<manifest> <rc out> <application manifest or "">)
# The Windows form of the same table: every blob a resource of type "BIN"
# with its id, every string an entry of the STRINGTABLE.
function(_okm_generate_rc manifest rc_file app_manifest)
  _okm_parse_manifest("${manifest}")
  set(rc "// Generated by cmake/EmbedPayload.cmake from ${manifest}. Do not edit.\n")
  string(APPEND rc "#pragma code_page(65001)\n\n")
  if(app_manifest)
    # 1 = CREATEPROCESS_MANIFEST_RESOURCE_ID, 24 = RT_MANIFEST.
    string(APPEND rc "1 24 \"${app_manifest}\"\n\n")
  endif()
  foreach(id path IN ZIP_LISTS OKM_BLOB_IDS OKM_BLOB_FILES)
    _okm_rc_literal("${path}" quoted)
    string(APPEND rc "${id} BIN \"${quoted}\"\n")
  endforeach()
  set(rows "")
  foreach(id IN LISTS OKM_STRING_IDS)
    # Each string is stored with a terminating NUL (as rc /n does), which the
    # loader drops: an empty string is then one NUL, not a missing entry.
    _okm_rc_literal("${OKM_STRING_${id}}" literal)
    string(APPEND rows "  ${id}, \"${literal}\\000\"\n")
  endforeach()
  if(rows)
    string(APPEND rc "\nSTRINGTABLE\nBEGIN\n${rows}END\n")
  endif()
  file(WRITE "${rc_file}" "${rc}")
endfunction()

# okm_resource_script(<library> <manifest.tsv> [APPLICATION_MANIFEST <file>])
# creates the object library <library> holding the compiled resource script
# of the manifest (Windows build). Linking it into an executable makes the
# blobs and strings that executable's own resources.
function(okm_resource_script library manifest)
  cmake_parse_arguments(R "" "APPLICATION_MANIFEST" "" ${ARGN})
  get_filename_component(manifest "${manifest}" ABSOLUTE)
  _okm_parse_manifest("${manifest}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${manifest}")
  set(script "${CMAKE_CURRENT_FUNCTION_LIST_FILE}")
  set(rc_file "${CMAKE_CURRENT_BINARY_DIR}/${library}.rc")
  set(app_manifest "")
  if(R_APPLICATION_MANIFEST)
    get_filename_component(app_manifest "${R_APPLICATION_MANIFEST}" ABSOLUTE)
  endif()
  add_custom_command(
    OUTPUT "${rc_file}"
    COMMAND "${CMAKE_COMMAND}"
      "-DOKM_MANIFEST=${manifest}" "-DOKM_RC=${rc_file}" "-DOKM_APP_MANIFEST=${app_manifest}"
      -P "${script}"
    DEPENDS "${manifest}" "${script}" ${app_manifest}
    COMMENT "Writing the resource script of ${manifest}"
    VERBATIM)
  # windres reads the blobs itself: recompile when any of them changes.
  set_source_files_properties("${rc_file}" PROPERTIES
    OBJECT_DEPENDS "${OKM_BLOB_FILES};${app_manifest}")
  add_library(${library} OBJECT "${rc_file}")
endfunction()

function(okm_embed_payload library manifest)
  cmake_parse_arguments(E "" "ACCESSOR" "" ${ARGN})
  if(NOT E_ACCESSOR)
    set(E_ACCESSOR embeddedPayload)
  endif()
  get_filename_component(manifest "${manifest}" ABSOLUTE)
  get_filename_component(manifest_dir "${manifest}" DIRECTORY)

  # Parsed now as well: a broken manifest fails at configure time, and the
  # blob list is needed for the dependencies.
  _okm_parse_manifest("${manifest}")
  if(EXISTS "${manifest}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${manifest}")
    set(depends "${manifest}" ${OKM_BLOB_FILES})
  else()
    message(STATUS "${library}: ${manifest} does not exist yet; embedding an empty table")
    # The folder's time stamp changes when the manifest is created.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${manifest_dir}")
    set(depends "")
  endif()

  # This file, run as a script at build time.
  set(script "${CMAKE_CURRENT_FUNCTION_LIST_FILE}")
  string(MAKE_C_IDENTIFIER "okm_blob_${library}" prefix)
  set(asm_file "${CMAKE_CURRENT_BINARY_DIR}/${library}_blobs.s")
  set(cxx_file "${CMAKE_CURRENT_BINARY_DIR}/${library}_table.cc")
  add_custom_command(
    OUTPUT "${asm_file}" "${cxx_file}"
    COMMAND "${CMAKE_COMMAND}"
      "-DOKM_MANIFEST=${manifest}" "-DOKM_ASM=${asm_file}" "-DOKM_CXX=${cxx_file}"
      "-DOKM_PREFIX=${prefix}" "-DOKM_ACCESSOR=${E_ACCESSOR}"
      -P "${script}"
    DEPENDS ${depends} "${script}"
    COMMENT "Embedding the payload of ${manifest}"
    VERBATIM)
  set_source_files_properties("${asm_file}" PROPERTIES OBJECT_DEPENDS "${OKM_BLOB_FILES}")

  # Object files, linked into every program that names the library,
  # wherever it stands on the link line: the platform layer refers to the
  # table of the program it is linked into.
  add_library(${library} OBJECT "${asm_file}" "${cxx_file}")
  # Clang's driver warns that the preprocessor's options (-D, -MD) go unused
  # when it assembles a .s file, which needs no preprocessing.
  if(CMAKE_ASM_COMPILER_ID STREQUAL "Clang")
    set_property(SOURCE "${asm_file}" APPEND PROPERTY COMPILE_OPTIONS -Wno-unused-command-line-argument)
  endif()
  target_include_directories(${library} PRIVATE "${PROJECT_SOURCE_DIR}")
  target_compile_features(${library} PRIVATE cxx_std_20)
endfunction()

# Script mode: generate the two files.
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE AND DEFINED OKM_RC)
  _okm_generate_rc("${OKM_MANIFEST}" "${OKM_RC}" "${OKM_APP_MANIFEST}")
elseif(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  foreach(var OKM_MANIFEST OKM_ASM OKM_CXX OKM_PREFIX OKM_ACCESSOR)
    if(NOT DEFINED ${var})
      message(FATAL_ERROR "EmbedPayload.cmake: -D${var}=... is required")
    endif()
  endforeach()
  _okm_generate("${OKM_MANIFEST}" "${OKM_ASM}" "${OKM_CXX}" "${OKM_PREFIX}" "${OKM_ACCESSOR}")
endif()
