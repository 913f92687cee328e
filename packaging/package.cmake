# Installation layout and the Debian package (scripts/package builds it with CPack).
include(GNUInstallDirs)

set(DORVEXIA_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(DORVEXIA_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
# The release date and changelog date follow SOURCE_DATE_EPOCH when it is set, for a
# reproducible package.
string(TIMESTAMP RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${DORVEXIA_PACKAGING_DIR}/org.dorvexia.Dorvexia.metainfo.xml.in
    ${DORVEXIA_PACKAGING_OUT}/org.dorvexia.Dorvexia.metainfo.xml @ONLY)
configure_file(${DORVEXIA_PACKAGING_DIR}/dorvexia.1 ${DORVEXIA_PACKAGING_OUT}/dorvexia.1 @ONLY)
configure_file(${DORVEXIA_PACKAGING_DIR}/changelog.in ${DORVEXIA_PACKAGING_OUT}/changelog @ONLY)

# Debian wants the manual page and the changelog compressed, without a time stamp.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(DORVEXIA_GZIPPED)
foreach(name dorvexia.1 changelog)
    add_custom_command(OUTPUT ${DORVEXIA_PACKAGING_OUT}/${name}.gz
        COMMAND ${GZIP_PROGRAM} -9nkf ${DORVEXIA_PACKAGING_OUT}/${name}
        DEPENDS ${DORVEXIA_PACKAGING_OUT}/${name}
        VERBATIM)
    list(APPEND DORVEXIA_GZIPPED ${DORVEXIA_PACKAGING_OUT}/${name}.gz)
endforeach()
add_custom_target(dorvexia_packaging_files ALL DEPENDS ${DORVEXIA_GZIPPED})

install(TARGETS dorvexia RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${DORVEXIA_PACKAGING_DIR}/org.dorvexia.Dorvexia.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DORVEXIA_PACKAGING_DIR}/org.dorvexia.Dorvexia.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${DORVEXIA_PACKAGING_OUT}/org.dorvexia.Dorvexia.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${DORVEXIA_PACKAGING_OUT}/dorvexia.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${DORVEXIA_PACKAGING_DIR}/copyright ${DORVEXIA_PACKAGING_OUT}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dorvexia)
install(FILES ${DORVEXIA_PACKAGING_DIR}/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME dorvexia)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dorvexia)
set(CPACK_PACKAGE_VENDOR "The Dorvexia developers")
set(CPACK_PACKAGE_CONTACT "The Dorvexia developers <developers@dorvexia.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dead-air monitor for radio stations")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Dorvexia passes a radio station's programme feed through from a sound card
input to an output and measures its level. When the feed stays silent longer
than the delay set, it logs an alarm, mails and pages the people on duty,
switches a relay and fills the silence with music and spots from the
station's own library, until sound returns.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the binary links; the window system plug-ins that Qt
# loads at run time are not among them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Stripped as dh_strip does, without the compiler's notes.
set(CPACK_PRE_BUILD_SCRIPTS ${DORVEXIA_PACKAGING_DIR}/strip_binary.cmake)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
