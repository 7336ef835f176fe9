#!/usr/bin/env bash
# Installs the Debian packages Tumult 2D needs, and only those that are missing.
#
#   scripts/deps.sh game    - what it takes to build and play
#   scripts/deps.sh tests   - that, plus what the tests and benchmarks use
#
# It can be run as a command or sourced (then call tumult_ensure_deps MODE). When everything
# is already there it touches nothing, so it is cheap to run before every build.

TUMULT_GAME_PACKAGES=(cmake g++ make pkg-config libsdl1.2-dev)
# What the tests use beyond the game's build: googletest and Google Benchmark, Xvfb and
# python3-xlib for the real-window tests, clang for the fuzz target, the lint tools, the
# install tests' tools (identify, desktop-file-validate, appstreamcli, dpkg-dev, lintian),
# faketime and stress-ng.
TUMULT_TEST_PACKAGES=(libgtest-dev libgmock-dev googletest libbenchmark-dev xvfb python3-xlib
                      clang clang-format clang-tidy imagemagick desktop-file-utils appstream
                      dpkg-dev lintian faketime stress-ng)
# The cross-architecture check: Debian's cross compilers, qemu-user, and mmdebstrap, which
# unpacks the other architecture's libraries into a build folder.
TUMULT_TEST_PACKAGES+=(g++-s390x-linux-gnu g++-i686-linux-gnu qemu-user-static mmdebstrap)

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

  # Without dpkg/apt there is no telling what is installed, nor a way to install it.
  if ! command -v apt-get >/dev/null 2>&1 || ! command -v dpkg-query >/dev/null 2>&1; then
    echo "deps: this system has no apt-get; install these packages (Debian names) by hand:" >&2
    echo "  ${wanted[*]}" >&2
    return 1
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
      echo "  ${missing[*]}" >&2
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
    echo "deps: still missing after apt-get install: ${missing[*]}" >&2
    return 1
  fi
}

# Run as a command rather than sourced: do the work for the mode named on the command line.
if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  set -euo pipefail
  tumult_ensure_deps "$@"
fi
