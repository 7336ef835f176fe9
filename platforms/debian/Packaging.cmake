# A Debian package of the game: `cpack -G DEB` in a build folder. It packs the build's own
# install, so the folders are those the build was configured with: Debian's layout for games
# is the initial cache Layout.cmake beside this file (cmake -C). The package's bytes depend only
# on the sources: every time stamp in it is SOURCE_DATE_EPOCH, which defaults to the time of
# the last commit.
set(CPACK_PACKAGE_NAME tumult2d)
set(CPACK_PACKAGE_VENDOR "Tumult 2D developers")
set(CPACK_PACKAGE_CONTACT "Tumult 2D developers <tumult2d@users.noreply.github.com>")
# The description is what the game is, from data/about.txt (debian/control says the same, as
# a test checks).
set(about ${PROJECT_SOURCE_DIR}/scripts/about.sh)
execute_process(COMMAND bash ${about} synopsis OUTPUT_VARIABLE CPACK_PACKAGE_DESCRIPTION_SUMMARY
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND bash ${about} about COMMAND fmt -w 72
                OUTPUT_VARIABLE CPACK_PACKAGE_DESCRIPTION OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
# The install, plus the copyright and changelog files that Debian asks for (component deb; a
# plain install leaves them out). The copyright file is the one debhelper's build uses too. The
# changelog is compressed without a name or time stamp, as the manual page is.
execute_process(COMMAND gzip -n -9 -c ${PROJECT_SOURCE_DIR}/data/changelog
                OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/changelog)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tumult2d COMPONENT deb EXCLUDE_FROM_ALL)
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/;${PROJECT_BINARY_DIR};${PROJECT_NAME};deb;/")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# The packed game is stripped; the build and its install keep their symbols.
set(CPACK_STRIP_FILES ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackageTime.cmake)
set(CPACK_TUMULT_SOURCE_DIR ${PROJECT_SOURCE_DIR})

# The package is made by the game's own developers, so it is a native one: its version is the
# game's, with no Debian revision.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# dpkg-shlibdeps names the libraries the binary links, SDL 1.2 among them as
# "libsdl1.2debian (>= 1.2.15)". The maintained SDL 1.2 line on top of SDL 2 meets that too:
# its libsdl1.2-compat-shim package provides libsdl1.2debian (= 1.2.15-1), so no alternative
# needs writing out.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
