#!/usr/bin/env bash
# Runs the whole test suite ROUNDS times with `ctest -j2` while stress-ng keeps two CPUs busy,
# and says how many rounds were green; exits non-zero unless every round was. A test that
# fails only under load is a race, and this is how to find one.
# Usage: scripts/stress.sh [ROUNDS (10)] [BUILD_DIR (build-tests)] [CTEST_ARGUMENTS...]
# e.g. scripts/stress.sh 5 build-dev -L window, or scripts/stress.sh 10 -L wine for one label
# of build-tests/ (CTest's arguments begin with a dash).
set -euo pipefail
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

usage() {
  echo "usage: $0 [ROUNDS [BUILD_DIR] [CTEST_ARGUMENTS...]]" >&2
  exit 2
}
rounds=${1:-10}
[[ $rounds =~ ^[1-9][0-9]*$ ]] || usage
shift $(($# > 0))
build_dir=build-tests
if [[ $# -gt 0 && $1 != -* ]]; then
  build_dir=$1
  shift
fi
command -v stress-ng >/dev/null || { echo "stress.sh: needs stress-ng" >&2; exit 2; }
[[ -f $build_dir/CTestTestfile.cmake ]] || { echo "stress.sh: no tests in $build_dir" >&2; usage; }

stress-ng --cpu 2 --quiet &
load=$!
# stress-ng ends its workers when it gets SIGTERM.
trap 'kill "$load" 2>/dev/null || true; wait "$load" 2>/dev/null || true' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

green=0
for ((round = 1; round <= rounds; round++)); do
  if ctest --test-dir "$build_dir" -j2 --output-on-failure "$@"; then
    green=$((green + 1))
  fi
  echo "stress.sh: after round $round, $green of $round green"
done
echo "$green of $rounds rounds green"
[[ $green -eq $rounds ]]
