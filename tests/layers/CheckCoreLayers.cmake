# Fails when a folder of src/core includes a folder above it, or anything
# outside core (Qt, the platform code, the front ends).
#   cmake -DCORE_DIR=<path to src/core> -P CheckCoreLayers.cmake
#
# The layers from the bottom up; a folder may include its own folder and the
# folders before it in this list.
set(LAYERS ports text ini settings i18n scan quarantine update windows app)

if(NOT CORE_DIR)
  message(FATAL_ERROR "CORE_DIR is not set")
endif()

file(GLOB_RECURSE sources RELATIVE "${CORE_DIR}" "${CORE_DIR}/*.h" "${CORE_DIR}/*.cpp" "${CORE_DIR}/*.inc" "${CORE_DIR}/*.in")
set(violations "")
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" folder "${source}")
  list(FIND LAYERS "${folder}" rank)
  if(rank EQUAL -1)
    list(APPEND violations "${source}: the folder '${folder}' is in no layer")
    continue()
  endif()
  file(STRINGS "${CORE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(target "${CMAKE_MATCH_1}")
      if(NOT target MATCHES "^core/([^/]+)/")
        list(APPEND violations "${source}: includes \"${target}\", which is not core")
        continue()
      endif()
      set(target_folder "${CMAKE_MATCH_1}")
      list(FIND LAYERS "${target_folder}" target_rank)
      if(target_rank GREATER rank OR target_rank EQUAL -1)
        list(APPEND violations "${source}: '${folder}' includes \"${target}\" from the layer above it")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*|curl/|sys/|unistd|fcntl|dirent|sodium)")
      list(APPEND violations "${source}: core includes the system or Qt header ${line}")
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n" report)
  message(FATAL_ERROR "core layers broken:\n${report}")
endif()
list(LENGTH sources count)
message(STATUS "core layers hold (${count} files)")
