# The Debian package (scripts/package, and the suite's package test):
# CPack's DEB generator over the install layout of InstallLayout.cmake. Its
# dependencies come from the shared libraries the programs link
# (dpkg-shlibdeps), vendor.ini is a conffile, and the programs are stripped.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quellstone)
set(CPACK_PACKAGE_VENDOR "Orvanta")
set(CPACK_PACKAGE_CONTACT "The Quellstone developers <quellstone@orvanta.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "anti-trojan scanner: desktop program and command line")
set(CPACK_PACKAGE_DESCRIPTION "Quellstone looks for files, folders, running processes and autostart
entries named like known Linux trojans, backdoors and miners, from a
signature database that is updated signed from the vendor's server.
Detections can be removed with a copy kept in a quarantine and restored.
The package holds the Qt desktop program quellstone and the command-line
scanner quellstone-cli, with manual pages, shell completions, the
scheduled scan's systemd user units, and system units for a daily
database update and scan of the whole computer.")
# Installed as under DESTDIR with the prefix /usr, so vendor.ini goes to /etc.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt draws the window's pictures (SVG) through a plugin that no program links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.orvanta.example/en/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
file(WRITE ${CMAKE_BINARY_DIR}/debian-control/conffiles "/etc/quellstone/vendor.ini\n")
# The maintainer scripts keep systemd in step with the system's units and
# clear /var/lib/quellstone on purge (data/debian/{postinst,prerm,postrm}).
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_BINARY_DIR}/debian-control/conffiles ${CMAKE_SOURCE_DIR}/data/debian/postinst
    ${CMAKE_SOURCE_DIR}/data/debian/prerm ${CMAKE_SOURCE_DIR}/data/debian/postrm)
include(CPack)
