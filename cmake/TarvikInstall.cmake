# What `cmake --install` puts where, and the Debian package made from it by
# `cpack -G DEB`. An installed program finds its shipped files in
# ../share/tarvik from its own folder (FileLocations).
include(GNUInstallDirs)

set(TARVIK_APP_ID io.github.tarvik.Tarvik)
set(TARVIK_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/tarvik)

install(TARGETS tarvik-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET Tarvik)
    install(TARGETS Tarvik RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES data/Tarvik.ini data/Tarvik_help.txt data/Tarvik_history.txt
        DESTINATION ${TARVIK_SHARE_DIR})
list(TRANSFORM TARVIK_DEMO_LOGS PREPEND data/samples/demo/ OUTPUT_VARIABLE demo_logs)
install(FILES ${demo_logs} DESTINATION ${TARVIK_SHARE_DIR}/demo)

if(NOT WIN32)
    # Manual pages are kept compressed.
    set(man_page ${CMAKE_BINARY_DIR}/tarvik-cli.1.gz)
    add_custom_command(OUTPUT ${man_page}
        COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/data/tarvik-cli.1 > ${man_page}
        DEPENDS ${CMAKE_SOURCE_DIR}/data/tarvik-cli.1 VERBATIM)
    add_custom_target(tarvik_man_page ALL DEPENDS ${man_page})
    install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

if(TARGET Tarvik AND NOT WIN32)
    install(FILES data/desktop/${TARVIK_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(data/desktop/${TARVIK_APP_ID}.metainfo.xml.in
                   ${CMAKE_BINARY_DIR}/${TARVIK_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/${TARVIK_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 16 24 32 48 64 128 256)
        install(FILES data/icons/tarvik-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME ${TARVIK_APP_ID}.png)
    endforeach()
    install(FILES data/icons/tarvik.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
            RENAME ${TARVIK_APP_ID}.svg)
endif()

set(CPACK_PACKAGE_NAME tarvik)
set(CPACK_PACKAGE_VENDOR "The Tarvik developers")
set(CPACK_PACKAGE_CONTACT "The Tarvik developers <support@tarvik.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "combat log analyser for Neverwinter Nights")
set(CPACK_PACKAGE_DESCRIPTION "Tarvik reads the chat and combat logs of the Neverwinter Nights client,
once or live while you play, and shows per-character statistics, party-versus-enemy
session statistics and a heads-up display with attack-bonus averages and death timers.
tarvik-cli prints the same statistics as text or JSON.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# Dependencies come from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
