#!/usr/bin/env bash
# The .deb players get: two Release builds of the game in Debian's layout for games, in
# different folders, each packaged with CPack, by the commands of the two documents that show
# it (docs/packaging.md, platforms/debian/README.md). The two packages must be the same bytes, so
# that neither the build's time nor its folder reaches the package; then the package passes
# package_checks.sh (layout, launcher, lintian, dependencies). SOURCE_DATE_EPOCH is left
# unset, so the package's default time is what is checked. The build folders stay in WORK_DIR,
# so a second run rebuilds only what changed.
# Usage: cpack_package_test.sh SOURCE_DIR WORK_DIR CMAKE CPACK
set -euo pipefail
# shellcheck source=tests/install/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/common.sh"

[[ $# -eq 4 ]] || { echo "usage: $0 SOURCE_DIR WORK_DIR CMAKE CPACK" >&2; exit 2; }
source_dir=$1 work=$2 cmake=$3 cpack=$4
unset SOURCE_DATE_EPOCH
one=$work/one two=$work/a/second/build

# package BUILD_DIR CONFIGURE BUILD: runs a document's commands that configure, build and
# package the game, from the source folder and with the cmake and cpack given, into BUILD_DIR.
package() {
  local log=$work/build.log
  rm -rf "$1"/deb "$1"/*.deb
  if ! (cd "$source_dir" && PATH=$(dirname "$cmake"):$(dirname "$cpack"):$PATH &&
        export CMAKE_BUILD_PARALLEL_LEVEL=2 && bash -o pipefail -c "$2" && bash -o pipefail -c "$3") \
      >"$log" 2>&1; then
    fail "the build and package in $1 failed" "$log"
  fi
}
mkdir -p "$work"
package "$one" "$(doc_command --dir build-deb="$one" docs/packaging.md "-S . -B build-deb")" \
  "$(doc_command --dir build-deb="$one" docs/packaging.md "cpack -G DEB")"
package "$two" "$(doc_command --dir build-deb="$two" platforms/debian/README.md "-S . -B build-deb")" \
  "$(doc_command --dir build-deb="$two" platforms/debian/README.md "cpack -G DEB")"
first=("$(find "$one" -maxdepth 2 -name '*.deb')")
second=("$(find "$two" -maxdepth 2 -name '*.deb')")
if ! cmp "${first[@]}" "${second[@]}"; then
  diff <(dpkg-deb -c "${first[@]}") <(dpkg-deb -c "${second[@]}") >&2 || true
  fail "two builds give different packages"
fi
echo "$(basename "${first[@]}") is the same from both builds"
"$here/package_checks.sh" "${first[@]}"
echo PASSED
