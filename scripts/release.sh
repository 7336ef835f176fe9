#!/usr/bin/env bash
# Makes a release of the commit checked out, into OUT_DIR (build-release/VERSION unless given;
# it must be empty or absent):
#
#   tumult2d-VERSION.tar.gz          the source (scripts/source_tarball.sh)
#   tumult2d_VERSION_ARCH.deb        debhelper's package, built from that tarball
#                                    (platforms/debian/build.sh)
#   tumult2d-VERSION-win64.zip       the Windows build (platforms/windows/build.sh)
#   tumult2d-VERSION-web.zip         the browser build (platforms/web/build.sh)
#   SHA256SUMS                       the checksums of the four
#
# and prints what it made, with sizes. Every file's bytes depend on the commit alone, so two
# releases of one commit, made anywhere at any time, are the same. VERSION is CMakeLists.txt's,
# and the release stops first if the changelog says otherwise
# (scripts/version.sh --check). A tree with uncommitted changes is refused.
#
#   scripts/release.sh [OUT_DIR [BUILD_ROOT [SDL_FROM]]]
#
# The builds go to BUILD_ROOT/build-debian, build-windows and build-web: by default the top
# folder, where the platforms' own builds and tests put them, so that what they made is reused.
# SDL_FROM is a folder whose build-windows/sdl and build-web/sdl to use (BUILD_ROOT's unless
# given).
set -euo pipefail
if (($# > 3)); then
  echo "usage: scripts/release.sh [OUT_DIR [BUILD_ROOT [SDL_FROM]]]" >&2
  exit 2
fi

# One order of names (SHA256SUMS lists them in it) whatever the caller's locale.
export LC_ALL=C
top=$(realpath "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/..")
caller=$PWD
root=$(realpath -m "${2:-$top}")
sdl_from=$(realpath -m "${3:-$root}")
refuse() {
  echo "release: $*" >&2
  exit 1
}
cd "$top"

[[ $(git rev-parse --show-toplevel 2>/dev/null) == "$top" ]] ||
  refuse "$top is not a git checkout: a release is made from a commit"
changes=$(git status --porcelain)
[[ -z $changes ]] || refuse "the tree has uncommitted changes; commit or stash them first:
$changes"
version=$(scripts/version.sh --check)
out=$(cd "$caller" && realpath -m "${1:-$top/build-release/$version}")
[[ ! -e $out || -z $(ls -A "$out") ]] || refuse "$out is not empty; give an empty or new folder"
mkdir -p "$out"

# Runs a build with its output kept in LOG, shown when it fails.
quietly() {  # quietly LOG COMMAND...
  mkdir -p "$(dirname "$1")"
  "${@:2}" >"$1" 2>&1 || { cat "$1" >&2; refuse "$2 failed (output above, and in $1)"; }
}
take() {  # take FILE: copies a build's artefact into the release, which must have its name
  [[ -f $1 ]] || refuse "the build made no $(basename "$1")"
  cp "$1" "$out/"
}

tarball=$(scripts/source_tarball.sh "$out")
take "$(platforms/debian/build.sh "$tarball" "$root/build-debian")"
for platform in windows web; do
  quietly "$root/build-$platform/release.log" \
    "platforms/$platform/build.sh" "$root/build-$platform" "$sdl_from/build-$platform"
done
take "$root/build-windows/tumult2d-$version-win64.zip"
take "$root/build-web/tumult2d-$version-web.zip"
debs=("$out"/tumult2d_"$version"_*.deb)
[[ -f ${debs[0]} ]] || refuse "the Debian package is not version $version: $(cd "$out" && ls ./*.deb)"

chmod 0644 "$out"/*
(cd "$out" && sha256sum -- * >SHA256SUMS)
echo "release $version of $(git rev-parse --short HEAD) in $out:"
for file in "$out"/*; do
  size=$(stat -c %s "$file")
  printf '  %-28s %9d bytes (%s)\n' "$(basename "$file")" "$size" "$(numfmt --to=iec "$size")"
done
