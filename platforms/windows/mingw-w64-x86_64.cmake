# Cross-builds the game for 64-bit Windows with Debian's mingw-w64 (build.sh beside it uses
# it). The win32 thread model needs no winpthread DLL. SDL 1.2 for Windows is found through
# pkg-config in TUMULT_WINDOWS_SDL, the prefix it was installed to.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TUMULT_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TUMULT_MINGW_HOST}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TUMULT_MINGW_HOST}-g++-win32)
set(CMAKE_RC_COMPILER ${TUMULT_MINGW_HOST}-windres)

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TUMULT_WINDOWS_SDL)
set(CMAKE_FIND_ROOT_PATH /usr/${TUMULT_MINGW_HOST} ${TUMULT_WINDOWS_SDL})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(TUMULT_WINDOWS_SDL)
  set(ENV{PKG_CONFIG_LIBDIR} ${TUMULT_WINDOWS_SDL}/lib/pkgconfig)
endif()

# A Windows binary carries the time it was linked unless the linker is told not to; left out,
# two builds of one commit give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT -Wl,--no-insert-timestamp)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -Wl,--no-insert-timestamp)
