#!/usr/bin/env bash
# Prints a PATH like this one but without the programs whose names match one of the patterns
# (shell globs): each folder of this PATH becomes a folder of links, WORK_DIR/1, WORK_DIR/2...,
# to its other programs, so that a program found later under the same name stays found.
# Usage: path_without.sh WORK_DIR PATTERN...
set -euo pipefail

[[ $# -ge 2 ]] || { echo "usage: $0 WORK_DIR PATTERN..." >&2; exit 2; }
work=$1
shift
rm -rf "$work"
IFS=: read -r -a dirs <<<"$PATH"
path=()
for dir in "${dirs[@]}"; do
  bin=$work/$((${#path[@]} + 1))
  mkdir -p "$bin"
  path+=("$bin")
  for program in "$dir"/*; do
    for pattern in "$@"; do
      # shellcheck disable=SC2053  # the pattern is a glob on purpose
      [[ ${program##*/} == $pattern ]] && continue 2
    done
    if [[ -x $program && ! -d $program ]]; then ln -s "$program" "$bin/"; fi
  done
done
(IFS=: && echo "${path[*]}")
