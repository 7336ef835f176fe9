# Debian's layout for games, as an initial cache for the configure (cmake -C): the launcher in
# /usr/games, the pictures in /usr/share/games/tumult2d. debhelper's build (rules), the CPack
# build and their tests all take it from here.
set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "")
set(CMAKE_INSTALL_BINDIR games CACHE PATH "")
set(TUMULT2D_DATADIR share/games/tumult2d CACHE STRING "")
