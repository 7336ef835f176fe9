#!/usr/bin/env bash
# The .deb players get: two Release builds of the game in Debian's layout for games, in
# different folders, each packaged with CPack. The two packages must be the same bytes, so
# that neither the build's time nor its folder reaches the package; then the package passes
# package_checks.sh (layout, launcher, lintian, dependencies). SOURCE_DATE_EPOCH is left
# unset, so the package's default time is what is checked. The build folders stay in WORK_DIR,
# so a second run rebuilds only what changed.
# Usage: cpack_package_test.sh SOURCE_DIR WORK_DIR [CMAKE [CPACK]]
set -euo pipefail
# shellcheck source=tests/install/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/common.sh"

[[ $# -ge 2 && $# -le 4 ]] || { echo "usage: $0 SOURCE_DIR WORK_DIR [CMAKE [CPACK]]" >&2; exit 2; }
source_dir=$1
work=$2
cmake=${3:-cmake}
cpack=${4:-cpack}
checks=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/package_checks.sh
unset SOURCE_DATE_EPOCH

package() {  # package BUILD_DIR: configures, builds and packages the game into BUILD_DIR/deb
  local log=$work/build.log
  rm -rf "$1/deb"
  if ! { "$cmake" -C "$source_dir/platforms/debian/Layout.cmake" -S "$source_dir" -B "$1" \
           -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTUMULT_SANITIZE=OFF &&
         "$cmake" --build "$1" --parallel 2 &&
         "$cpack" -G DEB --config "$1/CPackConfig.cmake" -B "$1/deb"; } >"$log" 2>&1; then
    fail "the build and package in $1 failed" "$log"
  fi
}
mkdir -p "$work"
package "$work/one"
package "$work/a/second/build"
first=("$work"/one/deb/*.deb)
second=("$work"/a/second/build/deb/*.deb)
if ! cmp "${first[@]}" "${second[@]}"; then
  diff <(dpkg-deb -c "${first[@]}") <(dpkg-deb -c "${second[@]}") >&2 || true
  fail "two builds give different packages"
fi
echo "$(basename "${first[@]}") is the same from both builds"
"$checks" "${first[@]}"
echo PASSED
