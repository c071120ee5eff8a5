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

# Who and where, in one place: the package's fields and the AppStream
# metadata take them from here. The defaults name the project.
set(KOTOHA_HOMEPAGE "https://github.com/kotoha/kotoha" CACHE STRING
    "Home page named in the package and the AppStream metadata")
set(KOTOHA_BUGTRACKER "${KOTOHA_HOMEPAGE}/issues" CACHE STRING "Where problems are reported")
set(KOTOHA_MAINTAINER "Kotoha developers <kotoha@users.noreply.github.com>" CACHE STRING
    "Maintainer of the packages, \"Name <address>\"")
string(REGEX REPLACE ".*<(.*)>.*" "\\1" KOTOHA_CONTACT_EMAIL "${KOTOHA_MAINTAINER}")
set(KOTOHA_SCREENSHOT_URL "${KOTOHA_HOMEPAGE}/raw/main/docs/screenshot.png")

# The releases, newest first, from the changelog the project keeps
# (debian/changelog): its entry lines name the version, its trailer lines
# the date.
set(KOTOHA_CHANGELOG ${PROJECT_SOURCE_DIR}/debian/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KOTOHA_CHANGELOG})
file(STRINGS ${KOTOHA_CHANGELOG} changelog_lines)
set(KOTOHA_RELEASES "")
set(release_version "")
set(month_numbers Jan 01 Feb 02 Mar 03 Apr 04 May 05 Jun 06 Jul 07 Aug 08 Sep 09 Oct 10 Nov 11 Dec 12)
foreach(line IN LISTS changelog_lines)
    if(line MATCHES "^kotoha \\(([^)]+)\\)")
        set(release_version ${CMAKE_MATCH_1})
    elseif(line MATCHES "^ -- .*  [A-Za-z]+, ([0-9]+) ([A-Za-z]+) ([0-9]+) " AND release_version)
        set(day ${CMAKE_MATCH_1})
        set(year ${CMAKE_MATCH_3})
        list(FIND month_numbers ${CMAKE_MATCH_2} month_index)
        math(EXPR month_index "${month_index} + 1")
        list(GET month_numbers ${month_index} month)
        string(LENGTH "${day}" day_digits)
        if(day_digits EQUAL 1)
            set(day 0${day})
        endif()
        string(APPEND KOTOHA_RELEASES
            "    <release version=\"${release_version}\" date=\"${year}-${month}-${day}\"/>\n")
        set(release_version "")
    endif()
endforeach()
string(STRIP "${KOTOHA_RELEASES}" KOTOHA_RELEASES)
set(KOTOHA_RELEASES "    ${KOTOHA_RELEASES}")
set(KOTOHA_METAINFO ${CMAKE_BINARY_DIR}/packaging/${KOTOHA_APPSTREAM_ID}.metainfo.xml CACHE INTERNAL "")
configure_file(${KOTOHA_PACKAGING_DIR}/${KOTOHA_APPSTREAM_ID}.metainfo.xml.in ${KOTOHA_METAINFO} @ONLY)

# Manual pages and the changelog are installed compressed, as Debian's
# policy has them; gzip -n keeps the result the same from build to build.
find_program(KOTOHA_GZIP gzip REQUIRED)
set(KOTOHA_GZIPPED_DIR ${CMAKE_BINARY_DIR}/gzipped)
function(kotoha_gzip source name depends)
    add_custom_command(OUTPUT ${KOTOHA_GZIPPED_DIR}/${name}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${KOTOHA_GZIPPED_DIR}
        COMMAND ${KOTOHA_GZIP} -n -9 -c ${source} > ${KOTOHA_GZIPPED_DIR}/${name}
        DEPENDS ${source} ${depends}
        VERBATIM)
    set_property(GLOBAL APPEND PROPERTY KOTOHA_GZIPPED_FILES ${KOTOHA_GZIPPED_DIR}/${name})
endfunction()
kotoha_gzip(${KOTOHA_CONV_MAN_PAGE} kotoha-conv.1.gz kotoha-conv-man-page)
kotoha_gzip(${KOTOHA_CHANGELOG} changelog.gz "")
set(KOTOHA_ICON_SIZES 16 32 48 64 128 256)
# The manual in HTML (the program carries its own copy) for reading outside it.
set(KOTOHA_INSTALL_HELPDIR ${CMAKE_INSTALL_DATADIR}/doc/kotoha/html)

set(kotoha_programs kotoha-conv)
if(TARGET kotoha)
    list(PREPEND kotoha_programs kotoha)
endif()
install(TARGETS ${kotoha_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package's) also drops the .comment section the C
# runtime's objects bring: it only names the compiler.
if(CMAKE_OBJCOPY)
    foreach(program ${kotoha_programs})
        install(CODE "if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
        endif()")
    endforeach()
endif()

if(TARGET kotoha)
    kotoha_gzip(${KOTOHA_PACKAGING_DIR}/man/kotoha.1 kotoha.1.gz "")
endif()
get_property(kotoha_gzipped GLOBAL PROPERTY KOTOHA_GZIPPED_FILES)
add_custom_target(kotoha-gzipped ALL DEPENDS ${kotoha_gzipped})

install(FILES ${KOTOHA_GZIPPED_DIR}/kotoha-conv.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KOTOHA_GZIPPED_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kotoha)

if(TARGET kotoha)
    install(FILES ${KOTOHA_GZIPPED_DIR}/kotoha.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${KOTOHA_PACKAGING_DIR}/${KOTOHA_APPSTREAM_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${KOTOHA_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size ${KOTOHA_ICON_SIZES})
        install(FILES ${KOTOHA_PACKAGING_DIR}/icons/kotoha-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME kotoha.png)
    endforeach()
    install(FILES ${KOTOHA_PACKAGING_DIR}/icons/kotoha.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    # The manual's registration with doc-base, and the screenshot the
    # AppStream metadata shows.
    install(FILES ${KOTOHA_PACKAGING_DIR}/kotoha.doc-base DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base
        RENAME kotoha)
    install(FILES ${PROJECT_SOURCE_DIR}/docs/screenshot.png DESTINATION ${CMAKE_INSTALL_DATADIR}/kotoha)

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
set(CPACK_PACKAGE_CONTACT "${KOTOHA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KOTOHA_HOMEPAGE}")
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
