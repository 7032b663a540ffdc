# The Debian package: `cpack -G DEB` in the build folder writes lintrove5a_<version>_amd64.deb
# with the files `cmake --install` puts in place under /usr, plus what Debian asks of every
# package (a copyright file and a compressed changelog). Its dependencies come from
# dpkg-shlibdeps, so they follow the libraries the program was linked against.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lintrove5a)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lintrove 5A developers")
set(CPACK_PACKAGE_CONTACT "${LINTROVE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "broadband line monitor for the BT Home Hub 5A router")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The long description below the summary; CPack indents its lines and writes the empty one as
# Debian's " ." paragraph break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Lintrove 5A reads the line statistics of a BT Home Hub 5A router through
the router's own web pages every few seconds: noise margins, sync rates,
attenuation and uptime. It plots them over the whole history, keeps a data
file the graphs come back from, writes a CSV log, saves JPEG images of the
graphs when the line drops, shows the noise margin in its tray icon and
serves a live graph image and Prometheus metrics on the local network.

It is meant to run for weeks beside the router, to show a provider when and
how the line drops.")
include(CPack)
