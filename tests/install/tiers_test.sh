#!/usr/bin/env bash
# A newcomer's machine: the game's build, GoogleTest, Xvfb and the like, but none of the heavier
# tools (Wine's and the cross and mingw compilers, qemu, mmdebstrap, lintian, debhelper,
# dpkg-buildpackage, appstream, desktop-file-validate, clang-tidy, clang-format, shellcheck,
# flake8, zip), hidden from a PATH of its own. A plain configure of the sources passes and
# names each check that needs them with its package; CTest lists those checks and reports them
# as skipped, with status 0. With TUMULT_REQUIRE_ALL_CHECKS the same configure fails, naming
# the packages.
# (Debian keeps Wine's loader off the PATH, so Wine itself stays found.)
# Usage: tiers_test.sh SOURCE_DIR WORK_DIR CMAKE CTEST
set -euo pipefail
# shellcheck source=tests/install/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/common.sh"

[[ $# -eq 4 ]] || { echo "usage: $0 SOURCE_DIR WORK_DIR CMAKE CTEST" >&2; exit 2; }
source_dir=$1 work=$2 cmake=$3 ctest=$4

hidden=('wine*' mmdebstrap 'qemu-*' 's390x-linux-gnu-*' 'i686-linux-gnu-*' 'x86_64-w64-mingw32-*'
        lintian dh 'dh_*' dpkg-buildpackage appstreamcli desktop-file-validate 'clang-tidy*'
        'clang-format*' shellcheck flake8 zip)
path=$("$(dirname "$0")/path_without.sh" "$work/bin" "${hidden[@]}")
# Each check that needs a hidden tool, and one package it names.
declare -A skipped=(
  [Lint.Format]=clang-format [Lint.Tidy]=clang-tidy [Lint.Shell]=shellcheck [Lint.Python]=flake8
  [Install.DesktopEntry]=desktop-file-utils
  [Install.Metainfo]=appstream [Install.LauncherWindow]=appstream [Install.CPackPackage]=lintian
  [Install.DebhelperPackage]=debhelper [Windows.Build]=g++-mingw-w64-x86-64-win32
  [Windows.Reproducible]=zip [Windows.Wine]=dpkg-dev [Cross.s390x]=mmdebstrap
  [Cross.i386]=g++-i686-linux-gnu [Web.Build]=zip [Web.page]=dpkg-dev
)

configure() {  # configure BUILD_DIR [OPTION...]: the status, the output in BUILD_DIR.log
  rm -rf "$1"
  PATH=$path "$cmake" -S "$source_dir" -B "$1" "${@:2}" >"$1.log" 2>&1
}
configure "$work/build" || fail "the configure failed" "$work/build.log"
for name in "${!skipped[@]}"; do
  grep -F "  $name: " "$work/build.log" | grep -qF " ${skipped[$name]} (" ||
    fail "the configure does not name $name with ${skipped[$name]}" "$work/build.log"
done

names=$(IFS='|' && echo "${!skipped[*]}")
PATH=$path "$ctest" --test-dir "$work/build" -R "^(${names//./\\.})\$" >"$work/ctest.log" 2>&1 ||
  fail "ctest exited $?" "$work/ctest.log"
count=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*Skipped' "$work/ctest.log" || true)
[[ $count -eq ${#skipped[@]} ]] ||
  fail "$count of the ${#skipped[@]} checks were skipped" "$work/ctest.log"

if configure "$work/strict" -DTUMULT_REQUIRE_ALL_CHECKS=ON; then
  fail "the configure that requires every check passed without their tools" "$work/strict.log"
fi
sed -n '/Install them with: apt-get install/,$p' "$work/strict.log" | grep -qw mmdebstrap ||
  fail "the failed configure does not name the packages" "$work/strict.log"
echo "PASSED: ${#skipped[@]} checks skipped, each named with its package"
