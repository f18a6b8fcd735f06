# Installs the systemd units into <prefix>/lib/systemd/user and
# <prefix>/lib/systemd/system, each service naming the installed
# quellstone-cli. Runs at install time, so a prefix given to
# "cmake --install --prefix" is the one written.
#   QUELLSTONE_UNIT_SOURCE_DIR: the folder with the unit templates
#   QUELLSTONE_BINDIR: the programs' folder below the prefix
set(program "${CMAKE_INSTALL_PREFIX}/${QUELLSTONE_BINDIR}/quellstone-cli")
# systemd runs no program whose path holds a quote, a backslash or a control character.
set(refused FALSE)
if(program MATCHES "[\"'\\\\]")
  set(refused TRUE)
endif()
foreach(code RANGE 1 31)
  string(ASCII ${code} control)
  string(FIND "${program}" "${control}" at)
  if(NOT at EQUAL -1)
    set(refused TRUE)
  endif()
endforeach()
string(ASCII 127 delete)
string(FIND "${program}" "${delete}" at)
if(refused OR NOT at EQUAL -1)
  message(FATAL_ERROR "A systemd unit cannot run ${program}: install into a folder without quotes, backslashes or control characters.")
endif()
# The command word of ExecStart= (as cli/SystemdUnits writes it): quoted, "\" and "\"" escaped, "%" doubled;
# "$" stays, as systemd expands no variable in the program's path.
string(REPLACE "\\" "\\\\" word "${program}")
string(REPLACE "\"" "\\\"" word "${word}")
string(REPLACE "%" "%%" word "${word}")
# The user units (the scheduled scan of the home folder) and the system
# units (the daily database update for every user and the scan of the whole
# computer), each service naming the installed program.
foreach(kind user system)
  set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/systemd/${kind}")
  set(source "${QUELLSTONE_UNIT_SOURCE_DIR}")
  set(units quellstone-scan)
  if(kind STREQUAL "system")
    set(source "${QUELLSTONE_UNIT_SOURCE_DIR}/system")
    list(APPEND units quellstone-update)
  endif()
  file(MAKE_DIRECTORY "${folder}")
  foreach(unit IN LISTS units)
    file(READ "${source}/${unit}.service.in" service)
    string(REPLACE "@QUELLSTONE_CLI_COMMAND@" "\"${word}\"" service "${service}")
    message(STATUS "Installing: ${folder}/${unit}.service")
    file(WRITE "${folder}/${unit}.service" "${service}")
    message(STATUS "Installing: ${folder}/${unit}.timer")
    file(COPY_FILE "${source}/${unit}.timer" "${folder}/${unit}.timer")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${folder}/${unit}.service" "${folder}/${unit}.timer")
  endforeach()
endforeach()
