# SPDX-License-Identifier: MIT
# Installation layout and the Debian package.
#
# cmake --install puts the programs, the desktop entry, the AppStream
# metainfo, the icons in the hicolor theme, the manual pages and the HTML help
# under CMAKE_INSTALL_PREFIX (default /usr/local); cpack -G DEB packages the
# same tree under /usr.
include(GNUInstallDirs)

set(KOTOHA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(KOTOHA_APPSTREAM_ID io.github.kotoha.Kotoha)
set(KOTOHA_ICON_SIZES 16 32 48 64 128 256)
# The manual in HTML (the program carries its own copy) for reading outside it.
set(KOTOHA_INSTALL_HELPDIR ${CMAKE_INSTALL_DATADIR}/kotoha/help)

set(kotoha_programs kotoha-conv)
if(TARGET kotoha)
    list(PREPEND kotoha_programs kotoha)
endif()
install(TARGETS ${kotoha_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${KOTOHA_CONV_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(TARGET kotoha)
    install(FILES ${KOTOHA_PACKAGING_DIR}/man/kotoha.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${KOTOHA_PACKAGING_DIR}/kotoha.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${KOTOHA_PACKAGING_DIR}/${KOTOHA_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size ${KOTOHA_ICON_SIZES})
        install(FILES ${KOTOHA_PACKAGING_DIR}/icons/kotoha-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME kotoha.png)
    endforeach()
    install(FILES ${KOTOHA_PACKAGING_DIR}/icons/kotoha.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

    # Whatever resources/help holds, in its own folder layout; a file added
    # there later makes the next build configure again.
    file(GLOB_RECURSE kotoha_help_files CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/resources/help
        ${PROJECT_SOURCE_DIR}/resources/help/*)
    foreach(file ${kotoha_help_files})
        get_filename_component(subdir ${file} DIRECTORY)
        install(FILES ${PROJECT_SOURCE_DIR}/resources/help/${file}
            DESTINATION ${KOTOHA_INSTALL_HELPDIR}/${subdir})
    endforeach()
endif()

set(CPACK_PACKAGE_NAME kotoha)
set(CPACK_PACKAGE_VENDOR "Kotoha developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for Japanese text in Shift-JIS, JIS and EUC-JP")
set(CPACK_PACKAGE_CONTACT "Kotoha developers <kotoha@example.org>" CACHE STRING
    "Maintainer named in the packages")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME kotoha)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# dpkg-shlibdeps works out the libraries (Qt, libstdc++, libc) from the
# binaries; the Japanese font is added by hand because nothing links it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG icon plugin is loaded at run time, so the binaries do not name it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, libqt6svg6, qt6-translations-l10n")
# The summary above becomes the first line of the Description field.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kotoha is a fast, lean viewer for Japanese plain-text files in the three
legacy encodings: Shift-JIS, 7-bit JIS (ISO-2022-JP style) and EUC-JP. It
recognises a file's encoding and line breaks by itself and saves the text
again in any of the three encodings.

The package also holds kotoha-conv, a command-line converter between
Shift-JIS, JIS, EUC-JP and UTF-8 that uses the viewer's codec.")

include(CPack)
