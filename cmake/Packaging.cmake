# A Debian package of the installed tree: `cpack -G DEB` in a build folder.
set(CPACK_PACKAGE_NAME tumult2d)
set(CPACK_PACKAGE_VENDOR "Tumult 2D developers")
set(CPACK_PACKAGE_CONTACT "Tumult 2D developers <tumult2d@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small 2D artillery game")
set(CPACK_PACKAGE_DESCRIPTION
    "A side view of a hilly battlefield under an eclipsed desert sky, with four tanks\nstanding on the ground. Nothing fires yet; Escape ends the game.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# dpkg-shlibdeps names the libraries the binary links, SDL 1.2 among them as
# "libsdl1.2debian (>= 1.2.15)". The maintained SDL 1.2 line on top of SDL 2 meets that too:
# its libsdl1.2-compat-shim package provides libsdl1.2debian (= 1.2.15-1), so no alternative
# needs writing out.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
