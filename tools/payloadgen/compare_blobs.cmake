# cmake -DPAYLOADGEN=... -DBLOBS=... -DSCRATCH=... -P compare_blobs.cmake
#
# Runs the payload generator into SCRATCH and fails unless SCRATCH holds
# exactly the files of BLOBS (no file missing, none extra) with the same
# bytes.
cmake_policy(VERSION 3.25)  # a script starts with old policies

foreach(var PAYLOADGEN BLOBS SCRATCH)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "compare_blobs: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${SCRATCH})
execute_process(COMMAND ${PAYLOADGEN} ${SCRATCH} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "compare_blobs: payloadgen failed (${status})")
endif()

file(GLOB_RECURSE made LIST_DIRECTORIES false RELATIVE ${SCRATCH} ${SCRATCH}/*)
file(GLOB_RECURSE committed LIST_DIRECTORIES false RELATIVE ${BLOBS} ${BLOBS}/*)
list(SORT made)
list(SORT committed)

set(problems)
foreach(name IN LISTS committed)
  if(NOT name IN_LIST made)
    list(APPEND problems "not generated: ${name}")
  endif()
endforeach()
foreach(name IN LISTS made)
  if(NOT name IN_LIST committed)
    list(APPEND problems "not committed: ${name}")
    continue()
  endif()
  file(SHA256 ${SCRATCH}/${name} made_hash)
  file(SHA256 ${BLOBS}/${name} committed_hash)
  if(NOT made_hash STREQUAL committed_hash)
    list(APPEND problems "differs: ${name}")
  endif()
endforeach()

list(LENGTH made made_count)
if(made_count EQUAL 0)
  list(APPEND problems "payloadgen wrote no files")
endif()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "payload/blobs is not what payloadgen makes "
                      "(build the regenerate-payload target):\n  ${text}")
endif()
message(STATUS "payload/blobs matches payloadgen: ${made_count} files")
