# Installation of the two programs with the desktop entry and the icon, and
# the Debian package (cpack -G DEB) that declares the runtime packages.
include(GNUInstallDirs)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/taktirio.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/taktirio.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/examples/demo-gymnasium.json
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

# A manual page for each program, made at build time by help2man (Debian
# help2man) from the program's own --help and --version, so that the page
# and the program cannot drift apart. The desktop program answers both
# before it needs a display; the offscreen platform is set all the same, so
# that a build machine without one never waits on it.
find_program(TAKTIRIO_HELP2MAN help2man REQUIRED)
set(TAKTIRIO_MAN_DIR ${PROJECT_BINARY_DIR}/man)
set(TAKTIRIO_MAN_PAGES)
foreach(program taktirio taktirio-cli)
    if(program STREQUAL "taktirio")
        set(summary "the school timetable program")
    else()
        set(summary "the school timetable program without windows")
    endif()
    set(page ${TAKTIRIO_MAN_DIR}/${program}.1)
    add_custom_command(OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TAKTIRIO_MAN_DIR}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            ${TAKTIRIO_HELP2MAN} --no-info --section=1 --name=${summary}
            --output=${page} $<TARGET_FILE:${program}>
        COMMAND gzip -9nf ${page}
        DEPENDS ${program}
        COMMENT "Making the manual page of ${program} from its --help"
        VERBATIM)
    list(APPEND TAKTIRIO_MAN_PAGES ${page}.gz)
endforeach()
add_custom_target(taktirio_man_pages ALL DEPENDS ${TAKTIRIO_MAN_PAGES})
install(FILES ${TAKTIRIO_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME taktirio)
set(CPACK_PACKAGE_VENDOR "TAKTIRIO")
set(CPACK_PACKAGE_CONTACT "TAKTIRIO <info@taktirio.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "weekly teaching timetable of a Greek secondary school")
set(CPACK_PACKAGE_DESCRIPTION
    "TAKTIRIO keeps a school's class sections, teachers, teaching allocation and
placement rules, searches for complete weekly timetables that obey every rule
and writes each as an HTML page. The package holds the desktop program
taktirio and the command-line tool taktirio-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Listed by hand rather than by dpkg-shlibdeps, so that a build machine
# without dpkg-dev still makes the same package. The SQLite driver, the
# platform plugins and a font with Greek glyphs are loaded at run time and
# would not be found by a library scan anyway.
string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.36)" "libstdc++6 (>= 12)" "libgcc-s1" "libsqlite3-0 (>= 3.40)"
    "libqt6core6 (>= 6.4)" "libqt6gui6 (>= 6.4)" "libqt6widgets6 (>= 6.4)"
    "libqt6printsupport6 (>= 6.4)" "libqt6sql6 (>= 6.4)" "libqt6sql6-sqlite (>= 6.4)"
    "qt6-qpa-plugins (>= 6.4)" "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
