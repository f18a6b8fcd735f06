# Where "cmake --install" and the Debian package put the program: the FHS
# layout. The programs find their data from their own place
# (<bin>/../share/quellstone, see platform/InstallLayout), so any prefix works.
#   <prefix>/bin                            quellstone, quellstone-cli
#   <prefix>/share/quellstone               bdts.dll, languages/<language>/...
#   /etc/quellstone/vendor.ini              for the prefix /usr (X/usr: X/etc/quellstone);
#                                           <prefix>/etc/quellstone otherwise
#   <prefix>/share/man/man1                 quellstone.1.gz, quellstone-cli.1.gz
#   <prefix>/share/applications, icons, metainfo, bash-completion, zsh
#   <prefix>/share/doc/quellstone           README.md, copyright (the licence), changelog.gz
#   <prefix>/lib/systemd/user               the scheduled scan's user units
#   <prefix>/lib/systemd/system             the daily database update and whole-computer scan
include(GNUInstallDirs)
set(QUELLSTONE_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/quellstone)

install(TARGETS quellstone quellstone-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES data/bdts.dll DESTINATION ${QUELLSTONE_DATA_DESTINATION})
foreach(language English Polish Deutsch)
  install(FILES data/languages/${language}/${language}.txt data/languages/${language}/readme.txt
                data/languages/${language}/license.txt
          DESTINATION ${QUELLSTONE_DATA_DESTINATION}/languages/${language})
endforeach()

# The configuration an administrator edits (update server and key) lives in
# /etc, where a package upgrade keeps it. The prefix decides at install time,
# so "cmake --install --prefix" and the package builder each get theirs
# (file(INSTALL) puts DESTDIR in front by itself).
install(CODE "
  if(CMAKE_INSTALL_PREFIX MATCHES \"/usr$\")
    string(REGEX REPLACE \"/usr$\" \"\" quellstone_config_base \"\${CMAKE_INSTALL_PREFIX}\")
    set(quellstone_config_folder \"\${quellstone_config_base}/etc/quellstone\")
  else()
    set(quellstone_config_folder \"\${CMAKE_INSTALL_PREFIX}/etc/quellstone\")
  endif()
  file(INSTALL DESTINATION \"\${quellstone_config_folder}\" TYPE FILE
       FILES \"${PROJECT_SOURCE_DIR}/data/vendor.ini\")")

# Manual pages and the changelog go compressed, as Debian's policy asks (gzip -9n:
# no name or time stored, so the same sources give the same files).
set(QUELLSTONE_COMPRESSED)
foreach(source src/gui/quellstone.1 src/cli/quellstone-cli.1 data/debian/changelog)
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_BINARY_DIR}/compressed/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/compressed
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/${source} > ${compressed}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source} VERBATIM)
  list(APPEND QUELLSTONE_COMPRESSED ${compressed})
endforeach()
add_custom_target(quellstone_compressed ALL DEPENDS ${QUELLSTONE_COMPRESSED})
install(FILES ${CMAKE_BINARY_DIR}/compressed/quellstone.1.gz ${CMAKE_BINARY_DIR}/compressed/quellstone-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/desktop/quellstone.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/desktop/io.quellstone.Quellstone.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/pictures/quellstone.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/completions/quellstone-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME quellstone-cli)
install(FILES data/completions/_quellstone-cli DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES README.md data/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quellstone)
install(FILES ${CMAKE_BINARY_DIR}/compressed/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quellstone
        RENAME changelog.gz)

# The systemd units: the scheduled scan's user units (quellstone-cli
# schedule), and the system's daily database update and whole-computer scan,
# which an administrator enables; a plain "cmake --install" installs them with
# everything else, "--component scheduled-scan" alone.
install(CODE "set(QUELLSTONE_UNIT_SOURCE_DIR \"${PROJECT_SOURCE_DIR}/data/systemd\")
              set(QUELLSTONE_BINDIR \"${CMAKE_INSTALL_BINDIR}\")" COMPONENT scheduled-scan)
install(SCRIPT data/systemd/InstallUnits.cmake COMPONENT scheduled-scan)
