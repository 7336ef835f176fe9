#!/usr/bin/env bash
# What the shell tests share; each sources it: source "$(dirname "$0")/common.sh".

here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")  # tests/install/
# Prints (or with --run, runs) a command of a document: scripts/docs/doc_command.
doc_command() { "$here/../../scripts/docs/doc_command" "$@"; }

# Says what failed, with the log that shows why when one is given, and ends the test.
#
#   fail MESSAGE [LOG_FILE]
fail() {
  echo "FAILED: $1" >&2
  if [[ -n ${2:-} ]]; then cat "$2" >&2; fi
  exit 1
}

if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  echo "usage: source $0   (then fail MESSAGE [LOG_FILE])" >&2
  exit 2
fi
