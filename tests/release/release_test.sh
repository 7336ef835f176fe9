#!/usr/bin/env bash
# The release made twice, the second time later from a clone in another folder, gives the same
# bytes for every file: the source tarball, debhelper's package, both zips and SHA256SUMS, each
# named with the project's version. The first is made from this tree, reusing what the
# platforms' builds and tests made in it (a tree with uncommitted changes releases nothing, so
# then from a clone of its commit too); the second builds the game, the zips and the package
# anew. Only the Windows SDL is taken from this tree's build: the browser's SDL is keyed by the
# source folder, so each clone keeps one of its own. A tree with uncommitted changes is
# refused, and too many arguments get the usage.
#
# The clones and their builds stay in WORK_DIR, moved to this tree's commit at each run, so a
# second run rebuilds only what changed.
# Usage: release_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
# shellcheck source=tests/install/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../install/common.sh"

[[ $# -eq 2 ]] || { echo "usage: $0 SOURCE_DIR WORK_DIR" >&2; exit 2; }
source_dir=$(realpath "$1") work=$(realpath -m "$2")
unset SOURCE_DATE_EPOCH
export LC_ALL=C  # names listed in one order
release() {  # release LOG TREE OUT_DIR [BUILD_ROOT [SDL_FROM]]: its status, its output in LOG
  local log=$1 tree=$2
  shift 2
  [[ $# -eq 0 ]] || rm -rf "$1"
  "$tree/scripts/release.sh" "$@" >"$log" 2>&1
}
# sdl_for CLONE: the SDL_FROM of CLONE's release: this tree's Windows SDL, a browser SDL of its own
sdl_for() {
  mkdir -p "$work/$1-sdl/build-web"
  ln -sfn "$source_dir/build-windows" "$work/$1-sdl/build-windows"
  echo "$work/$1-sdl"
}
clone_at_head() {  # clone_at_head DIR: DIR becomes a clean clone at this tree's commit
  [[ -d $1/.git ]] || git clone -q "$source_dir" "$1"
  git -C "$1" fetch -q "$source_dir" HEAD
  git -C "$1" reset -q --hard FETCH_HEAD
  git -C "$1" clean -q -ffdx
}
mkdir -p "$work"

status=0
release "$work/usage.log" "$source_dir" "$work/one" a b c || status=$?
if ! { [[ $status -eq 2 ]] && grep -q '^usage: scripts/release.sh \[OUT_DIR' "$work/usage.log"; }
then
  fail "with four arguments the release exited $status and said: $(cat "$work/usage.log")"
fi

second=$work/second
clone_at_head "$second"
echo "a change not committed" >>"$second/LICENSE"
status=0
release "$work/refused.log" "$second" "$work/refused" "$work/second-builds" "$(sdl_for second)" ||
  status=$?
if ! { [[ $status -eq 1 && ! -e $work/refused ]] &&
        grep -q 'uncommitted changes' "$work/refused.log" && grep -q 'LICENSE' "$work/refused.log"; }
then
  fail "with LICENSE changed the release exited $status and said: $(cat "$work/refused.log")"
fi
git -C "$second" checkout -q LICENSE

first=$source_dir
if [[ -n $(git -C "$source_dir" status --porcelain) ]]; then
  echo "this tree has uncommitted changes: the first release is made from a clone of its commit"
  first=$work/first
  clone_at_head "$first"
  release "$work/one.log" "$first" "$work/one" "$work/first-builds" "$(sdl_for first)" ||
    fail "the first release failed: $(cat "$work/one.log")"
else
  release "$work/one.log" "$first" "$work/one" ||
    fail "the first release failed: $(cat "$work/one.log")"
fi
release "$work/two.log" "$second" "$work/two" "$work/second-builds" "$(sdl_for second)" ||
  fail "the second release failed: $(cat "$work/two.log")"
cat "$work/one.log"

version=$("$source_dir/scripts/version.sh")
arch=$(dpkg --print-architecture)
expected="SHA256SUMS tumult2d-$version-web.zip tumult2d-$version-win64.zip tumult2d-$version.tar.gz"
expected+=" tumult2d_${version}_$arch.deb"
for out in one two; do
  made=$(cd "$work/$out" && echo *)
  [[ $made == "$expected" ]] || fail "release $out made: $made
expected: $expected"
  (cd "$work/$out" && sha256sum --quiet -c SHA256SUMS) ||
    fail "release $out: SHA256SUMS does not hold"
done
for file in $expected; do
  cmp "$work/one/$file" "$work/two/$file" || fail "$file differs between the two releases"
done
echo "PASSED: the two releases are the same bytes, file for file"
