#!/usr/bin/env bash
# Builds the game the way Debian does, by the command platforms/debian/README.md gives a
# packager (taken from the document): platforms/debian/build.sh on the source tarball of the
# tree as a clean clone has it (scripts/source_tarball.sh), with the packaging of
# platforms/debian/ as its debian/, through `dpkg-buildpackage -us -uc -b` (debhelper's cmake
# build, tests off, Debian's layout for games and its flags). The package must pass
# package_checks.sh (lintian over both packages), dh must have kept the game's symbols in the
# -dbgsym package, and the game, unpacked from the package, must play its battle pixel for
# pixel.
#
# The packages stay in DEBIAN_BUILD with the key of what made them (the tarball, the build
# tools' versions): a second run with the same key, or a release of the same sources
# (scripts/release.sh), checks them again without rebuilding.
# Usage: debhelper_package_test.sh SOURCE_DIR WORK_DIR DEBIAN_BUILD PYTHON FRAME_TOOL
set -euo pipefail
# shellcheck source=tests/install/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/common.sh"

[[ $# -eq 5 ]] || { echo "usage: $0 SOURCE_DIR WORK_DIR DEBIAN_BUILD PYTHON FRAME_TOOL" >&2; exit 2; }
source_dir=$1 work=$2 debian_build=$3 python=$4 frame_tool=$5
mkdir -p "$work"
scratch=$(mktemp -d "$work/scratch-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
trap 'exit 1' TERM INT HUP  # a stop signal cleans up too

build=$(doc_command --dir build-debian="$debian_build" platforms/debian/README.md build.sh) ||
  fail "platforms/debian/README.md shows no build.sh command"
deb=$(cd "$source_dir" && bash -o pipefail -c "$build") || fail "the Debian build failed: $build"
out=$(dirname "$deb")
debs=("$deb")
"$here/package_checks.sh" "${debs[@]}" "$out"/*.changes

# dh stripped the game and kept its symbols in the -dbgsym package, under its build ID.
dpkg-deb --fsys-tarfile "${debs[@]}" | tar -xO ./usr/libexec/tumult2d/tumult2d >"$scratch/game"
id=$(readelf -n "$scratch/game" | sed -n 's/^ *Build ID: *//p')
debug=./usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug
dpkg-deb --fsys-tarfile "$out"/tumult2d-dbgsym_*.deb | tar -xO "$debug" >"$scratch/game.debug" 2>/dev/null ||
  fail "the -dbgsym package holds no symbols for the game's build ID '$id'"

# Debian's flags reached the compiler beside the game's own: every compiled unit's producer
# names each code generation option of dpkg-buildflags (GCC leaves out the path maps) and the
# game's -ffp-contract=off.
producers=$(readelf --debug-dump=info "$scratch/game.debug" | grep DW_AT_producer | sort -u)
for flag in $(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS) \
  -ffp-contract=off; do
  if [[ $flag == -f* && $flag != -ffile-prefix-map=* ]] && grep -vqF -- " $flag" <<<"$producers"; then
    fail "$flag did not reach the compiler:
$producers"
  fi
done

"$python" "$here/installed_game_test.py" --deb "${debs[@]}" "$frame_tool"
