# Desktop integration and the Debian package. `cpack -G DEB` in a build tree configured with
# -DCMAKE_INSTALL_PREFIX=/usr makes packwright_VERSION_ARCH.deb: the programs on the PATH, AppDir in
# /usr/lib/packwright, a menu entry with its icon, AppStream metadata and the manual page.
include(GNUInstallDirs)

set(PW_APP_ID com.brontel.Packwright)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/${PW_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/${PW_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${CMAKE_SOURCE_DIR}/data/desktop/${PW_APP_ID}.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/${PW_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${PW_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian keeps manual pages compressed; -n leaves the name and time out so that the bytes repeat.
configure_file(${CMAKE_SOURCE_DIR}/data/man/packwright-build.1 ${CMAKE_BINARY_DIR}/man/packwright-build.1 @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/packwright-build.1.gz
  COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/man/packwright-build.1 > ${CMAKE_BINARY_DIR}/man/packwright-build.1.gz
  DEPENDS ${CMAKE_BINARY_DIR}/man/packwright-build.1)
add_custom_target(manual_page ALL DEPENDS ${CMAKE_BINARY_DIR}/man/packwright-build.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/man/packwright-build.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME packwright)
set(CPACK_PACKAGE_VENDOR Brontel)
set(CPACK_PACKAGE_CONTACT "Brontel Packwright team <packwright@brontel.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns a program installer into an add-on for nLite")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Packwright makes add-ons for nLite, the tool that customises a Windows installation\nsource: a Microsoft Cabinet file that installs a program unattended during Windows\nsetup, usually through a 7-Zip self-extracting installer. It has a Qt window and a\ncommand-line twin, packwright-build.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; the 7-Zip library is loaded at run time, so
# it is named by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "p7zip-full")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cabextract, wine, wine64, xvfb")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
