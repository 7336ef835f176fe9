#!/usr/bin/env bash
# Two clean Release builds of the game in different folders, one after the other, each packaged
# with CPack: the two .deb files must be the same bytes, so that neither the build's time nor
# its folder reaches the package. SOURCE_DATE_EPOCH is left unset, so the package's default
# time is what is checked.
# Usage: reproducible_package_test.sh SOURCE_DIR [CMAKE [CPACK]]
set -euo pipefail

source_dir=$1
cmake=${2:-cmake}
cpack=${3:-cpack}
work=$(mktemp -d "${TMPDIR:-/tmp}/tumult2d-repro-XXXXXX")
trap 'rm -rf "$work"' EXIT
unset SOURCE_DATE_EPOCH

package() {  # package BUILD_DIR: configures, builds the game and packages it
  "$cmake" -S "$source_dir" -B "$1" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  "$cmake" --build "$1" --target tumult2d --parallel 2 >/dev/null
  "$cpack" -G DEB --config "$1/CPackConfig.cmake" -B "$1/deb" >/dev/null
}
package "$work/one"
package "$work/a/second/build"
first=("$work"/one/deb/*.deb)
second=("$work"/a/second/build/deb/*.deb)
if ! cmp "${first[@]}" "${second[@]}"; then
  diff <(dpkg-deb -c "${first[@]}") <(dpkg-deb -c "${second[@]}") >&2 || true
  echo "FAILED: two builds give different packages" >&2
  exit 1
fi
echo "PASSED: $(basename "${first[@]}") is the same from both builds"
