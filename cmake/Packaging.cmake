# Desktop integration and the Debian package. `cpack -G DEB` in a build tree configured with
# -DCMAKE_INSTALL_PREFIX=/usr makes packwright_VERSION_ARCH.deb: the programs on the PATH, AppDir in
# /usr/lib/packwright, a menu entry with its icon, AppStream metadata, the two manual pages, the copyright
# file and changelog, and the overrides of lintian's tags that do not apply (with their reasons).
include(GNUInstallDirs)

set(PW_APP_ID com.brontel.Packwright)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/${PW_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/${PW_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${CMAKE_SOURCE_DIR}/data/desktop/${PW_APP_ID}.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/${PW_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${PW_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian keeps manual pages and changelogs compressed; -n leaves the name and time out so that the bytes
# repeat. Each source is filled in with the project's version first.
set(PW_COMPRESSED_DOCS)
set(PW_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/packwright)  # the package's name, not the project's
function(pw_compressed_doc source name destination)
  configure_file(${CMAKE_SOURCE_DIR}/${source} ${CMAKE_BINARY_DIR}/docs/${name} @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/docs/${name}.gz
    COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/docs/${name} > ${CMAKE_BINARY_DIR}/docs/${name}.gz
    DEPENDS ${CMAKE_BINARY_DIR}/docs/${name})
  install(FILES ${CMAKE_BINARY_DIR}/docs/${name}.gz DESTINATION ${destination})
  set(PW_COMPRESSED_DOCS ${PW_COMPRESSED_DOCS} ${CMAKE_BINARY_DIR}/docs/${name}.gz PARENT_SCOPE)
endfunction()
pw_compressed_doc(data/man/packwright.1 packwright.1 ${CMAKE_INSTALL_MANDIR}/man1)
pw_compressed_doc(data/man/packwright-build.1 packwright-build.1 ${CMAKE_INSTALL_MANDIR}/man1)
pw_compressed_doc(data/debian/changelog changelog ${PW_DOC_DIR})
pw_compressed_doc(README.md README.md ${PW_DOC_DIR})
add_custom_target(compressed_docs ALL DEPENDS ${PW_COMPRESSED_DOCS})
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/copyright DESTINATION ${PW_DOC_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME packwright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME packwright)
set(CPACK_PACKAGE_VENDOR Brontel)
set(CPACK_PACKAGE_CONTACT "Brontel Packwright team <packwright@brontel.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns a program installer into an add-on for nLite")
# Lines of the long description stay under 80 characters.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Packwright makes add-ons for nLite, the tool that customises a Windows\ninstallation source: a Microsoft Cabinet file that installs a program\nunattended during Windows setup, usually through a 7-Zip self-extracting\ninstaller. It has a Qt window and a command-line twin, packwright-build.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; the 7-Zip library is loaded at run time, so
# it is named by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "p7zip-full")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cabextract, wine, wine64, xvfb")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
