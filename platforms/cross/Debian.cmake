# Builds for another Debian architecture with Debian's cross compiler, against that
# architecture's libraries unpacked into a folder rather than installed (check.sh beside this
# file unpacks them). What the build runs (the tests' discovery) goes through the emulator given:
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=platforms/cross/Debian.cmake -DTUMULT_CROSS_ARCH=s390x \
#         -DTUMULT_CROSS_ROOT=/path/to/unpacked \
#         "-DCMAKE_CROSSCOMPILING_EMULATOR=qemu-s390x-static;-L;/path/to/unpacked" ...
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TUMULT_CROSS_ARCH TUMULT_CROSS_ROOT)
set(root ${TUMULT_CROSS_ROOT})

foreach(name GNU_TYPE GNU_CPU MULTIARCH)
  execute_process(COMMAND dpkg-architecture -a${TUMULT_CROSS_ARCH} -qDEB_HOST_${name}
                  OUTPUT_VARIABLE ${name} OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${GNU_CPU})
set(CMAKE_CXX_COMPILER ${GNU_TYPE}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${MULTIARCH})

# Libraries and packages come from the unpacked folder only, programs from this machine.
set(CMAKE_FIND_ROOT_PATH ${root})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${root}/usr/lib/${MULTIARCH}/pkgconfig:${root}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${root})
# The linker checks SDL's own dependencies, which are not on the link line, here (a cross
# linker does not follow their run paths; PulseAudio keeps its common library in one).
set(lib ${root}/usr/lib/${MULTIARCH})
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,-rpath-link,${root}/lib/${MULTIARCH}:${lib}:${lib}/pulseaudio")
