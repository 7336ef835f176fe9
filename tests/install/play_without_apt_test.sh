#!/usr/bin/env bash
# The set-up that ./play runs first (and ./test, with more packages), on a system without
# apt: with a PATH of every program here but apt's and dpkg's, it goes on when everything is
# there, and otherwise names each missing package with what it is, and stops.
# Usage: play_without_apt_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
# shellcheck source=tests/install/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/common.sh"

[[ $# -eq 2 ]] || { echo "usage: $0 SOURCE_DIR WORK_DIR" >&2; exit 2; }
deps=$1/scripts/deps.sh

# The PATH: every program of this one, but none of apt or dpkg.
path=$("$(dirname "$0")/path_without.sh" "$2/bin" 'apt*' 'dpkg*')

PATH=$path bash "$deps" game >"$2/game.log" 2>&1 || fail "deps.sh game without apt:" "$2/game.log"

# Without CMake and SDL's pkg-config file, both are named with what they are.
rm "$2"/bin/*/cmake
status=0
PATH=$path PKG_CONFIG_LIBDIR=$2/none bash "$deps" game >"$2/missing.log" 2>&1 || status=$?
[[ $status -eq 1 ]] || fail "deps.sh game with CMake and SDL missing exited $status"
sdl="SDL 1.2 development files (Fedora: sdl12-compat-devel, Arch: sdl12-compat)"
for line in "  cmake: CMake" "  libsdl1.2-dev: $sdl"; do
  grep -qxF -- "$line" "$2/missing.log" || fail "deps.sh did not say \"$line\":" "$2/missing.log"
done
echo "PASSED: without apt, what is there is found and what is missing is named"
