#!/usr/bin/env bash
# The source tarball holds what a packager needs and nothing else, so that its bytes depend on
# the sources alone: every file git tracks, under tumult2d-VERSION/, no VCS data and no build
# folder, names in order, owners 0, every time the last commit's, modes 0644 or 0755, and a
# gzip header with no name and no time. Unpacked where there is no git (git hidden from the
# PATH), the unit tier configures, builds and passes, and a check that needs a checkout
# (Lint.Patterns) is skipped, saying so.
#
# The unpacked build stays in WORK_DIR with the key of what made it (the tarball's bytes, the
# build tools' versions): a second run with the same key runs the unit tests again without
# rebuilding.
# Usage: tarball_test.sh SOURCE_DIR WORK_DIR CMAKE CTEST
set -euo pipefail
# shellcheck source=tests/install/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../install/common.sh"

[[ $# -eq 4 ]] || { echo "usage: $0 SOURCE_DIR WORK_DIR CMAKE CTEST" >&2; exit 2; }
source_dir=$1 work=$2 cmake=$3 ctest=$4
# shellcheck source=scripts/rebuild.sh
source "$source_dir/scripts/rebuild.sh"
mkdir -p "$work"
tarball=$("$source_dir/scripts/source_tarball.sh" "$work")
name=$(basename "$tarball" .tar.gz)
[[ $name == "tumult2d-$("$source_dir/scripts/version.sh")" ]] || fail "the tarball is named $name"

# gzip's header: flags (no FNAME) and the time, all zero.
[[ $(od -An -tx1 -j3 -N5 "$tarball" | tr -d ' \n') == 0000000000 ]] ||
  fail "gzip kept a name or a time: $(od -An -tx1 -N10 "$tarball")"
members=$(tar -tzf "$tarball")
LC_ALL=C sort -c <<<"$members" || fail "the names are not in order"
grep -vq "^$name/" <<<"$members" && fail "a name outside $name/: $(grep -v "^$name/" <<<"$members")"
grep -E "^$name/(\.git|build[^/]*)/" <<<"$members" && fail "VCS data or a build folder is in it"
(cd "$source_dir" && git ls-files) | while read -r file; do
  [[ ! -e $source_dir/$file ]] || grep -qxF "$name/$file" <<<"$members" || fail "$file is missing"
done
when=$(TZ=UTC date -d "@$("$source_dir/scripts/source_date_epoch.sh")" '+%F %T')
TZ=UTC tar --numeric-owner --full-time -tvzf "$tarball" |
  awk -v when="$when" '$1 !~ /^-rw(-r--r--|xr-xr-x)$/ || $2 != "0/0" || $4 " " $5 != when' |
  grep . && fail "the entries above are not 0644 or 0755, owned by 0/0, stamped $when"

key=$({
  sha256sum <"$tarball"
  dpkg-query -W cmake g++ libsdl1.2-dev libgtest-dev
} | sha256sum)
tree=$work/unpacked/$name
path=$("$source_dir/tests/install/path_without.sh" "$work/bin" git)
export PATH=$path
build_unpacked() {
  rm -rf "$work/unpacked"
  mkdir "$work/unpacked"
  tar -C "$work/unpacked" -xzf "$tarball"
  (cd "$tree" && "$cmake" -S . -B b && "$cmake" --build b -j2) >"$work/build.log" 2>&1 ||
    fail "the unpacked tarball does not build" "$work/build.log"
}
tumult_rebuild_if_changed "$work/key" "$key" build_unpacked
"$ctest" --test-dir "$tree/b" -L unit --output-on-failure -j2 >"$work/unit.log" 2>&1 ||
  fail "the unit tests fail in the unpacked tarball: $(cat "$work/unit.log")"
grep -E '% tests passed|\(Skipped\)' "$work/unit.log"
"$ctest" --test-dir "$tree/b" -R '^Lint\.Patterns$' -V >"$work/patterns.log" 2>&1 ||
  fail "Lint.Patterns failed outside a checkout: $(cat "$work/patterns.log")"
if ! { grep -q '\*\*\*Skipped' "$work/patterns.log" &&
        grep -qF 'needs a git checkout' "$work/patterns.log"; }; then
  fail "Lint.Patterns was not skipped for want of a checkout: $(cat "$work/patterns.log")"
fi
echo "PASSED: $name as it should be; its unit tier passes without git"
