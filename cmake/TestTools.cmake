# What the tests, benchmarks and lint use beyond the game's build, looked for when the tests
# are configured: a missing one stops the configure naming the Debian package that has it
# (scripts/deps.sh tests installs them all), rather than failing a test later.
set(missing "")
macro(tumult_need what package)
  list(APPEND missing "  ${package}: ${what}")
endmacro()

find_package(GTest QUIET)
if(NOT TARGET GTest::gtest_main)
  tumult_need("GoogleTest" libgtest-dev)
endif()
if(NOT TARGET GTest::gmock)
  tumult_need("GoogleMock" libgmock-dev)
endif()

# A cross build only builds the unit tests and tools for its emulator; the programs the other
# tests run are this machine's business, checked when it builds for itself.
if(NOT CMAKE_CROSSCOMPILING)
  # The window tests drive X through python3-xlib, which Debian installs for its own python3;
  # a python3 found earlier on PATH (pyenv, a virtualenv) may lack it, so the first python3 on
  # PATH that has it is the one the tests run with.
  if(NOT Python3_EXECUTABLE)
    execute_process(COMMAND sh -c "IFS=:; for d in $PATH; do p=$d/python3; \
                                   [ -x $p ] && $p -c 'import Xlib' 2>/dev/null && { echo $p; exit; }; done"
                    OUTPUT_VARIABLE with_xlib OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(with_xlib)
      set(Python3_EXECUTABLE ${with_xlib} CACHE FILEPATH "python3 with python3-xlib")
    endif()
  endif()
  find_package(Python3 QUIET COMPONENTS Interpreter)
  if(NOT Python3_Interpreter_FOUND)
    tumult_need("Python 3" python3)
  else()
    execute_process(COMMAND ${Python3_EXECUTABLE} -c "import Xlib" RESULT_VARIABLE no_xlib
                    OUTPUT_QUIET ERROR_QUIET)
    if(no_xlib)
      tumult_need("the X client library for ${Python3_EXECUTABLE}" python3-xlib)
    endif()
    # The browser test drives Chromium through chromedriver with Selenium.
    execute_process(COMMAND ${Python3_EXECUTABLE} -c "import selenium" RESULT_VARIABLE no_selenium
                    OUTPUT_QUIET ERROR_QUIET)
    if(no_selenium)
      tumult_need("Selenium for ${Python3_EXECUTABLE}" python3-selenium)
    endif()
  endif()

  # libfaketime pins the game's clock; Debian keeps it in the folder of this machine's
  # architecture (CMAKE_LIBRARY_ARCHITECTURE), other systems in their library folder.
  find_library(TUMULT_FAKETIME NAMES libfaketime.so.1 PATH_SUFFIXES faketime)
  if(NOT TUMULT_FAKETIME)
    tumult_need("libfaketime" faketime)
  endif()

  # Takes triples: PROGRAM PACKAGE "WHAT IT IS".
  function(tumult_need_programs)
    set(args ${ARGN})
    while(args)
      list(POP_FRONT args program package what)
      string(MAKE_C_IDENTIFIER "TUMULT_TOOL_${program}" var)
      # Debian keeps Wine's own loaders out of the PATH, in /usr/lib/wine.
      find_program(${var} ${program} PATHS /usr/lib/wine)
      if(NOT ${var})
        tumult_need("${program}, ${what}" ${package})
      endif()
    endwhile()
    set(missing "${missing}" PARENT_SCOPE)
  endfunction()

  tumult_need_programs(
    Xvfb xvfb "the X server without a screen"
    identify imagemagick ImageMagick
    desktop-file-validate desktop-file-utils "the desktop entry checker"
    appstreamcli appstream "the AppStream metainfo checker"
    dpkg-buildpackage dpkg-dev "Debian's package build"
    dh debhelper "Debian's package build helpers"
    lintian lintian "Debian's package checker"
    clang-format clang-format "the C++ formatter"
    clang-tidy clang-tidy "the C++ linter"
    mmdebstrap mmdebstrap "which unpacks another architecture's libraries"
    s390x-linux-gnu-g++ g++-s390x-linux-gnu "the C++ cross compiler for s390x"
    i686-linux-gnu-g++ g++-i686-linux-gnu "the C++ cross compiler for i386"
    qemu-s390x-static qemu-user-static "qemu-user, which runs other architectures' programs"
    emcc emscripten "Emscripten, which builds the game for the browser"
    chromium chromium "the browser the browser build is played in"
    chromedriver chromium-driver "the WebDriver server that drives Chromium")

  # The Windows build is played under Wine, which runs on x86-64 only.
  if(CMAKE_HOST_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
    tumult_need_programs(
      x86_64-w64-mingw32-g++-win32 g++-mingw-w64-x86-64-win32 "the C++ compiler for 64-bit Windows"
      zip zip zip
      wine64 wine64 "Wine, which runs the Windows build")
  endif()
endif()

# What every test that plays the game in a window runs with: the libfaketime that pins its
# clock, and LeakSanitizer told of the small allocations SDL and Xlib keep until exit.
set(TUMULT_WINDOW_TEST_ENV "TUMULT_FAKETIME=${TUMULT_FAKETIME}"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")

if(missing)
  list(JOIN missing "\n" missing)
  message(FATAL_ERROR "The tests need these Debian packages, which are missing:\n${missing}\n"
          "scripts/deps.sh tests installs them; -DBUILD_TESTING=OFF builds the game alone.")
endif()
