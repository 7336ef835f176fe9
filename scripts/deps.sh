#!/usr/bin/env bash
# Installs the Debian packages Tumult 2D needs, and only those that are missing.
#
#   scripts/deps.sh game    - what it takes to build and play
#   scripts/deps.sh tests   - that, plus what the tests and benchmarks use
#
# It can be run as a command or sourced (then call tumult_ensure_deps MODE). When everything
# is already there it touches nothing, so it is cheap to run before every build. On a system
# without apt (Fedora, Arch, openSUSE) it looks for what each package brings instead, goes on
# when everything is there, and otherwise names what is missing.

TUMULT_GAME_PACKAGES=(cmake g++ make pkg-config libsdl1.2-dev)
# What the tests use beyond the game's build: googletest and Google Benchmark, Xvfb and
# python3-xlib for the real-window tests, clang for the fuzz target, the lint tools, the
# install tests' tools (identify, desktop-file-validate, appstreamcli, dpkg-dev, debhelper and
# build-essential, which dpkg-buildpackage asks for, lintian), faketime and stress-ng.
TUMULT_TEST_PACKAGES=(libgtest-dev libgmock-dev googletest libbenchmark-dev xvfb python3-xlib
                      clang clang-format clang-tidy imagemagick desktop-file-utils appstream
                      dpkg-dev debhelper build-essential lintian faketime stress-ng)
# The Windows build and its test: mingw-w64 (its win32 thread model), zip, and Wine to play it.
TUMULT_TEST_PACKAGES+=(g++-mingw-w64-x86-64-win32 zip wine64)
# The browser build and its test: Emscripten, and Chromium driven by Selenium.
TUMULT_TEST_PACKAGES+=(emscripten chromium chromium-driver python3-selenium)
# The cross-architecture check: Debian's cross compilers, qemu-user, and mmdebstrap, which
# unpacks the other architecture's libraries into a build folder.
TUMULT_TEST_PACKAGES+=(g++-s390x-linux-gnu g++-i686-linux-gnu qemu-user-static mmdebstrap)

# Per package, what it is and how to tell without dpkg that it is there: "WHAT|CHECK", where
# CHECK is "command NAME..." (any of them on the PATH), "pkg-config MODULE", "python MODULE"
# (a python3 on the PATH has it) or "file GLOB...". A package listed above without an entry
# here cannot be checked without dpkg; it is named, and the build says if it is missing.
declare -A TUMULT_PACKAGE_INFO=(
  [cmake]="CMake|command cmake"
  [g++]="a C++17 compiler|command c++ g++ clang++"
  [make]="make|command make"
  [pkg-config]="pkg-config (pkgconf elsewhere)|command pkg-config"
  [libsdl1.2-dev]="SDL 1.2 development files (Fedora: sdl12-compat-devel, Arch: sdl12-compat)|pkg-config sdl"
  [libgtest-dev]="GoogleTest|pkg-config gtest"
  [libgmock-dev]="GoogleMock|pkg-config gmock"
  [googletest]="GoogleTest's sources|file /usr/src/googletest"
  [libbenchmark-dev]="Google Benchmark|pkg-config benchmark"
  [xvfb]="Xvfb, the X server without a screen|command Xvfb"
  [python3-xlib]="the X client library for Python 3|python Xlib"
  [clang]="clang|command clang++"
  [clang-format]="the C++ formatter|command clang-format"
  [clang-tidy]="the C++ linter|command clang-tidy"
  [imagemagick]="ImageMagick|command identify"
  [desktop-file-utils]="the desktop entry checker|command desktop-file-validate"
  [appstream]="the AppStream metainfo checker|command appstreamcli"
  [dpkg-dev]="Debian's package build tools|command dpkg-buildpackage"
  [debhelper]="Debian's package build helpers|command dh"
  [build-essential]="what every Debian package build has|command dpkg-buildpackage"
  [lintian]="Debian's package checker|command lintian"
  [faketime]="libfaketime|file /usr/lib/*/faketime/libfaketime.so.1 /usr/lib*/faketime/libfaketime.so.1"
  [stress-ng]="stress-ng|command stress-ng"
  [g++-mingw-w64-x86-64-win32]="the C++ compiler for 64-bit Windows|command x86_64-w64-mingw32-g++-win32"
  [zip]="zip|command zip"
  [wine64]="Wine, to run the Windows build|file /usr/lib/wine/wine64 /usr/bin/wine64"
  [emscripten]="Emscripten, to build for the browser|command emcc"
  [chromium]="the Chromium browser|command chromium"
  [chromium-driver]="the WebDriver server for Chromium|command chromedriver"
  [python3-selenium]="Selenium for Python 3|python selenium"
  [g++-s390x-linux-gnu]="the C++ cross compiler for s390x|command s390x-linux-gnu-g++"
  [g++-i686-linux-gnu]="the C++ cross compiler for i386|command i686-linux-gnu-g++"
  [qemu-user-static]="qemu-user, to run other architectures' programs|command qemu-s390x-static"
  [mmdebstrap]="mmdebstrap, which unpacks another architecture's libraries|command mmdebstrap"
)

# Prints the packages of the list given as arguments that dpkg does not report as installed.
tumult_missing_packages() {
  local package status
  for package in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" ]]; then
      printf '%s\n' "$package"
    fi
  done
}

# Whether what PACKAGE brings is there, by its check; status 2 when it has none.
tumult_has() {
  local info=${TUMULT_PACKAGE_INFO[$1]:-}
  [[ -n $info ]] || return 2
  local -a check
  read -r -a check <<<"${info#*|}"
  local kind=${check[0]} item dir
  for item in "${check[@]:1}"; do
    case $kind in
      command) command -v "$item" >/dev/null 2>&1 && return 0 ;;
      pkg-config) pkg-config --exists "$item" 2>/dev/null && return 0 ;;
      python)  # as the build looks for it: any python3 on the PATH
        local IFS=:
        for dir in $PATH; do
          [[ -x $dir/python3 ]] && "$dir/python3" -c "import $item" 2>/dev/null && return 0
        done ;;
      file) compgen -G "$item" >/dev/null && return 0 ;;
    esac
  done
  return 1
}

# One line per package: its Debian name and what it is.
tumult_describe() {
  local package
  for package in "$@"; do
    printf '  %s: %s\n' "$package" "${TUMULT_PACKAGE_INFO[$package]%%|*}"
  done
}

# Without apt and dpkg: checks each package's part directly.
tumult_check_without_apt() {
  local package
  local -a missing=() unchecked=()
  for package in "$@"; do
    local status=0
    tumult_has "$package" || status=$?
    case $status in
      1) missing+=("$package") ;;
      2) unchecked+=("$package") ;;
    esac
  done
  if ((${#unchecked[@]} != 0)); then
    echo "deps: no apt here, and no way to check these (Debian names): ${unchecked[*]}" >&2
  fi
  if ((${#missing[@]} != 0)); then
    echo "deps: no apt here to install what is missing; install these by hand" \
      "(Debian's package names, and what they are):" >&2
    tumult_describe "${missing[@]}" >&2
    return 1
  fi
}

tumult_ensure_deps() {
  local mode=${1:-}
  local -a wanted
  case "$mode" in
    game) wanted=("${TUMULT_GAME_PACKAGES[@]}") ;;
    tests) wanted=("${TUMULT_GAME_PACKAGES[@]}" "${TUMULT_TEST_PACKAGES[@]}") ;;
    *)
      echo "usage: scripts/deps.sh game|tests" >&2
      return 2
      ;;
  esac
  tumult_ensure_packages "${wanted[@]}"
}

# Installs those of the packages given that are missing (or, without apt, checks for them).
tumult_ensure_packages() {
  local -a wanted=("$@")
  if ! command -v apt-get >/dev/null 2>&1 || ! command -v dpkg-query >/dev/null 2>&1; then
    tumult_check_without_apt "${wanted[@]}"
    return
  fi

  local -a missing
  mapfile -t missing < <(tumult_missing_packages "${wanted[@]}")
  if ((${#missing[@]} == 0)); then
    return 0
  fi

  local -a asroot=()
  if [[ $(id -u) -ne 0 ]]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "deps: not root and no sudo; install these packages as root:" >&2
      tumult_describe "${missing[@]}" >&2
      return 1
    fi
    asroot=(sudo)
  fi

  echo "deps: installing ${missing[*]}" >&2
  "${asroot[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update || return 1
  "${asroot[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}" || return 1

  # Catch a package that apt-get quietly could not provide before the build trips over it.
  mapfile -t missing < <(tumult_missing_packages "${missing[@]}")
  if ((${#missing[@]} != 0)); then
    echo "deps: still missing after apt-get install:" >&2
    tumult_describe "${missing[@]}" >&2
    return 1
  fi
}

# Run as a command rather than sourced: do the work for the mode named on the command line.
if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  set -euo pipefail
  tumult_ensure_deps "$@"
fi
