# Installs the scheduled scan's systemd user units into <prefix>/lib/systemd/user,
# the service naming the installed quellstone-cli. Runs at install time, so a
# prefix given to "cmake --install --prefix" is the one written.
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
set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/systemd/user")
file(READ "${QUELLSTONE_UNIT_SOURCE_DIR}/quellstone-scan.service.in" service)
string(REPLACE "@QUELLSTONE_CLI_COMMAND@" "\"${word}\"" service "${service}")
file(MAKE_DIRECTORY "${folder}")
message(STATUS "Installing: ${folder}/quellstone-scan.service")
file(WRITE "${folder}/quellstone-scan.service" "${service}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${folder}/quellstone-scan.service")
message(STATUS "Installing: ${folder}/quellstone-scan.timer")
file(COPY_FILE "${QUELLSTONE_UNIT_SOURCE_DIR}/quellstone-scan.timer" "${folder}/quellstone-scan.timer")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${folder}/quellstone-scan.timer")
