#!/usr/bin/env bash
# Sourced by the scripts that keep what they made between runs (an SDL build, unpacked
# packages, a package, pictures): it is made again only when the key of what made it changed.

# Runs COMMAND... unless KEY_FILE holds KEY, then writes KEY there. The old key goes first, so
# a run stopped halfway is made again next time; a failed COMMAND writes no key and fails (or,
# under set -e, ends the script: COMMAND keeps running under the caller's set -e, which a test
# of its status would switch off).
#
#   tumult_rebuild_if_changed KEY_FILE KEY COMMAND...
tumult_rebuild_if_changed() {
  local key_file=$1 key=$2 status
  shift 2
  cmp -s "$key_file" <(printf '%s\n' "$key") && return 0
  rm -f "$key_file"
  "$@"
  status=$?
  ((status == 0)) || return "$status"
  mkdir -p "$(dirname "$key_file")"
  printf '%s\n' "$key" >"$key_file"
}

if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  echo "usage: source $0   (then tumult_rebuild_if_changed KEY_FILE KEY COMMAND...)" >&2
  exit 2
fi
