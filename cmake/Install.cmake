# What `cmake --install` puts where, and the Debian package built from it (tools/package).
include(GNUInstallDirs)

install(TARGETS setupqdx qdx qdx-emulator RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/linux/setupqdx.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/linux/setupqdx.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES resources/linux/setupqdx-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME setupqdx.xml)
install(FILES resources/linux/qdx.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME qdx)
# Help pages and other data the program reads from beside itself; an installed program finds
# them in share/setupqdx.
if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/resources/help)
  install(DIRECTORY resources/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/setupqdx/HELP)
endif()

# Manual pages from the programs' own --help, made at build time.
set(QDX_MAN_SUMMARY_qdx "command-line tool for QDX panel controllers")
set(QDX_MAN_SUMMARY_qdx-emulator "an emulated QDX controller on a pseudo-terminal")
set(man_pages)
foreach(program qdx qdx-emulator)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  add_custom_command(
    OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program}
            "-DSUMMARY=${QDX_MAN_SUMMARY_${program}}" -DVERSION=${PROJECT_VERSION}
            -DOUTPUT=${page} -P ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
    DEPENDS ${program} ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
    COMMENT "Manual page ${program}.1")
  list(APPEND man_pages ${page})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME setupqdx)
set(CPACK_PACKAGE_VENDOR "SetupQDX")
set(CPACK_PACKAGE_CONTACT "SetupQDX developers <setupqdx@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for QDX panel controllers")
set(CPACK_PACKAGE_DESCRIPTION "SetupQDX prepares projects for QDX panel controllers of \
smoke-houses and thermal-processing chambers, keeps them in files, writes them to a controller \
over RS-485, reads them back and compares. With the command-line tool qdx and the emulated \
controller qdx-emulator.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The libraries the programs link are found by dpkg-shlibdeps; the windowing plugins are not.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
