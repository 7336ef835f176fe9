#!/usr/bin/env bash
# Builds the Debian packages from a release tarball (scripts/source_tarball.sh) as Debian
# builds from an upstream tarball: unpacked, with this folder's packaging as its debian/ and
# data/changelog as its changelog, through `dpkg-buildpackage -us -uc -b` (debhelper's cmake
# build, Debian's flags and its layout for games). Leaves the packages in BUILD_DIR/packages
# (BUILD_DIR is build-debian/ unless given) and prints the game's package.
#
#   platforms/debian/build.sh TARBALL [BUILD_DIR]
#
# The packages are kept with the key of what made them (the tarball's bytes, the build tools'
# versions, this script): a second run with the same key only prints the package's path. The
# package's time stamps are the changelog's top entry's, as dpkg-buildpackage sets them, so its
# bytes depend on the tarball alone.
set -euo pipefail
if [[ $# -lt 1 || $# -gt 2 ]]; then
  echo "usage: platforms/debian/build.sh TARBALL [BUILD_DIR]" >&2
  exit 2
fi

tarball=$(realpath "$1")
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
build=$(realpath -m "${2:-$here/../../build-debian}")
out=$build/packages
unset SOURCE_DATE_EPOCH

# shellcheck source=scripts/rebuild.sh
source "$here/../../scripts/rebuild.sh"

build_packages() {
  rm -rf "$out" "$build/scratch"
  mkdir -p "$build/scratch"
  tar -C "$build/scratch" -xzf "$tarball"
  local tree
  tree=$(echo "$build"/scratch/tumult2d-*)
  mkdir "$tree/debian"
  cp -r "$tree"/platforms/debian/{control,rules,source,copyright} "$tree/data/changelog" \
    "$tree/debian/"
  if ! (cd "$tree" && dpkg-buildpackage -us -uc -b -j2) >"$build/build.log" 2>&1; then
    cat "$build/build.log" >&2
    echo "debian: dpkg-buildpackage failed (log above, and in $build/build.log)" >&2
    exit 1
  fi
  mkdir "$out"
  mv "$build"/scratch/*.deb "$build"/scratch/*.changes "$build"/scratch/*.buildinfo "$out"/
  rm -rf "$build/scratch"
}
key=$({
  sha256sum <"$tarball"
  dpkg-query -W debhelper dpkg-dev cmake g++ libsdl1.2-dev
  cat "${BASH_SOURCE[0]}"
} | sha256sum)
tumult_rebuild_if_changed "$build/key" "$key" build_packages
echo "$out"/tumult2d_*.deb
