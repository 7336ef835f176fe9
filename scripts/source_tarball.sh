#!/usr/bin/env bash
# Makes OUT_DIR/tumult2d-VERSION.tar.gz, the source a packager starts from, and prints its path:
# the files of a clean clone (what git tracks or would track, nothing it ignores, no VCS data)
# under tumult2d-VERSION/, in name order, owned by 0, each stamped with
# the last commit's time (scripts/source_date_epoch.sh), mode 0644 or, when executable, 0755,
# and gzipped with no name or time, so that its bytes depend on the sources alone.
#
#   scripts/source_tarball.sh OUT_DIR
set -euo pipefail
[[ $# -eq 1 ]] || { echo "usage: scripts/source_tarball.sh OUT_DIR" >&2; exit 2; }

top=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/..
out=$(realpath -m "$1")
version=$("$top/scripts/version.sh")
epoch=$("$top/scripts/source_date_epoch.sh")
name=tumult2d-$version
mkdir -p "$out"

# Each file a clean clone would have, ended by a NUL. A file deleted but not yet committed is
# still listed by git; only those that exist count. A build folder that .gitignore does not name
# is left out by its CMakeCache.txt. Outside a git checkout, every file but the build folders.
source_files() {
  cd "$top"
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard |
      while IFS= read -r -d '' file; do
        local folder=${file%%/*}
        if [[ -e $file && ! ($folder != "$file" && -e $folder/CMakeCache.txt) ]]; then
          printf '%s\0' "$file"
        fi
      done
  else
    find . \( -path './build*' -o -path ./.git \) -prune -o \( -type f -o -type l \) -printf '%P\0'
  fi
}
# Written beside its place and moved there, so that a reader never sees half a tarball.
partial=$(mktemp "$out/.$name.XXXXXX")
trap 'rm -f "$partial"' EXIT
source_files | LC_ALL=C sort -z |
  tar -C "$top" --format=ustar --sort=name --mtime="@$epoch" --owner=0 --group=0 --numeric-owner \
    --mode=u=rwX,go=rX --transform="s,^,$name/,S" --no-recursion --null -T - -cf - |
  gzip -n -9 >"$partial"
chmod 0644 "$partial"
mv "$partial" "$out/$name.tar.gz"
echo "$out/$name.tar.gz"
