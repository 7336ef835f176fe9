#!/bin/sh
# Prints the time every file of a package or zip is stamped with, so that two builds of one
# source tree give the same bytes: SOURCE_DATE_EPOCH when the caller chose one, else the time
# of the last commit, or outside a git checkout the date of the changelog's latest entry.
# Usage: source_date_epoch.sh
set -eu
if [ $# -ne 0 ]; then
  echo "usage: $0" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  echo "$SOURCE_DATE_EPOCH"
elif ! git log -1 --format=%ct -- . 2>/dev/null | grep -x '[0-9][0-9]*'; then
  dpkg-parsechangelog -l data/changelog -STimestamp
fi
