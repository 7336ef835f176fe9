#!/usr/bin/env bash
# scripts/rebuild.sh, which every kept build goes through: the command runs when the key is new
# or changed and not again for the same key; a failed command leaves no key, so the next run
# makes it again even with the key it had before.
# Usage: rebuild_key_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
# shellcheck source=tests/install/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/common.sh"

[[ $# -eq 2 ]] || { echo "usage: $0 SOURCE_DIR WORK_DIR" >&2; exit 2; }
# shellcheck source=scripts/rebuild.sh
source "$1/scripts/rebuild.sh"
key_file=$2/made/key
rm -rf "$2"
runs=0
make() { runs=$((runs + 1)); }
fails() { return 3; }
expect_runs() {  # expect_runs KEY RUNS_AFTER
  tumult_rebuild_if_changed "$key_file" "$1" make
  [[ $runs -eq $2 ]] || fail "after key '$1': $runs runs, expected $2"
}

expect_runs "a key
of two lines" 1
expect_runs "a key
of two lines" 1
expect_runs "a key" 2
status=0
tumult_rebuild_if_changed "$key_file" "another" fails || status=$?
[[ $status -eq 3 && ! -e $key_file ]] || fail "a failed command gave $status and kept its key"
expect_runs "a key" 3
echo "PASSED: made again exactly when the key changed or the last try failed"
