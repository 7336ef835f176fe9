#!/usr/bin/env bash
# Builds the game the way Debian does: the source tree as a clean clone has it, with the
# packaging of platforms/debian/ as its debian/, through the commands its README gives a
# packager (`dpkg-buildpackage -us -uc -b`: debhelper's cmake build, tests off, Debian's layout
# for games and its flags), all in a temporary folder. The package must pass package_checks.sh
# (lintian over both packages), dh must have kept the game's symbols in the -dbgsym package,
# and the game, unpacked from the package, must play its battle pixel for pixel.
#
# The packages stay in WORK_DIR with the key of what made them (the sources, the build tools'
# versions): a second run with the same key checks and plays them again without rebuilding.
# Usage: debhelper_package_test.sh SOURCE_DIR WORK_DIR PYTHON FRAME_TOOL
set -euo pipefail
# shellcheck source=tests/install/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/common.sh"

[[ $# -eq 4 ]] || { echo "usage: $0 SOURCE_DIR WORK_DIR PYTHON FRAME_TOOL" >&2; exit 2; }
source_dir=$1 work=$2 python=$3 frame_tool=$4
# shellcheck source=scripts/rebuild.sh
source "$source_dir/scripts/rebuild.sh"
mkdir -p "$work"
scratch=$(mktemp -d "$work/scratch-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
trap 'exit 1' TERM INT HUP  # a stop signal cleans up too
files() { "$here/source_files.sh" "$source_dir"; }

key=$({
  files | sort -z | (cd "$source_dir" && xargs -0 sha256sum)
  dpkg-query -W debhelper dpkg-dev cmake g++ libsdl1.2-dev
} | sha256sum)
out=$work/packages
build_packages() {
  rm -rf "$out"
  local tree=$scratch/tumult2d
  mkdir "$tree"
  files | tar -C "$source_dir" --null -T - -cf - | tar -x -C "$tree"
  # The packager's commands, as platforms/debian/README.md gives them, so that the document
  # says what works.
  (cd "$tree" && doc_command --run platforms/debian/README.md "mkdir -p debian" &&
    doc_command --run platforms/debian/README.md "cp -r platforms/debian" &&
    DEB_BUILD_OPTIONS=parallel=2 doc_command --run platforms/debian/README.md dpkg-buildpackage) \
    >"$scratch/build.log" 2>&1 || fail "the commands of platforms/debian/README.md" "$scratch/build.log"
  mkdir "$out"
  mv "$scratch"/*.deb "$scratch"/*.changes "$scratch"/*.buildinfo "$out"/
}
tumult_rebuild_if_changed "$work/key" "$key" build_packages

debs=("$out"/tumult2d_*.deb)
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
