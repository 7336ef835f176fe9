#!/usr/bin/env bash
# Prints, each ended by a NUL, the files of the source tree that a clean clone would have:
# what git tracks or would track, so build folders and other ignored files stay out. Outside a
# git checkout, every file but the build folders. Usage: source_files.sh SOURCE_DIR
set -euo pipefail

[[ $# -eq 1 ]] || { echo "usage: $0 SOURCE_DIR" >&2; exit 2; }
cd "$1"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # A file deleted but not yet committed is still listed; only those that exist count. A build
  # folder that .gitignore does not name is left out by its CMakeCache.txt.
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do
      top=${file%%/*}
      if [[ -e $file && ! ($top != "$file" && -e $top/CMakeCache.txt) ]]; then
        printf '%s\0' "$file"
      fi
    done
else
  find . \( -path './build*' -o -path ./.git \) -prune -o \( -type f -o -type l \) -printf '%P\0'
fi
