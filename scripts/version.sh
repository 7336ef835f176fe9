#!/usr/bin/env bash
# Prints the game's version, written once: project(... VERSION ...) in CMakeLists.txt. With
# --check it first makes sure the places that repeat it agree, and exits 1 naming both values
# of the first that does not:
# - data/changelog's top entry and the metainfo's newest release (which must also have the
#   same date);
# - the release notes: data/changelog is where they are written, and each release of the
#   metainfo must say, item for item (<p> or <li>), what its changelog entry says;
# - every artefact name (tumult2d-X.Y.Z..., tumult2d_X.Y.Z...) in the documents.
#
#   scripts/version.sh [--check]
set -euo pipefail
if [[ $# -gt 1 || ($# -eq 1 && $1 != --check) ]]; then
  echo "usage: scripts/version.sh [--check]" >&2
  exit 2
fi
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

version=$(sed -n 's/^project([A-Za-z0-9_]* VERSION \([^ )]*\).*/\1/p' CMakeLists.txt)
if [[ -z $version ]]; then
  echo "version: CMakeLists.txt has no project(NAME VERSION X.Y.Z" >&2
  exit 1
fi
if [[ $# -eq 0 ]]; then
  echo "$version"
  exit 0
fi

# The metainfo, or the template it is made from.
metainfo=$(echo data/*.metainfo.xml*)
mismatch() {  # mismatch WHAT VALUE OTHER_WHAT OTHER_VALUE
  echo "version: $1 is '$2' but $3 is '$4'" >&2
  exit 1
}

# One line per release, newest first: VERSION|YYYY-MM-DD|note|note...
changelog_releases() {
  awk '
    function flush() { if (note != "") notes = notes "|" note; note = "" }
    /^[^ ]/ { version = $2; gsub(/[()]/, "", version); notes = ""; next }
    /^  \* / { flush(); note = substr($0, 5); next }
    /^    [^ ]/ { sub(/^ +/, ""); note = note " " $0; next }
    /^ -- / {
      flush()
      split($0, when, ">  ")
      split(when[2], field, " ")
      month = (index("JanFebMarAprMayJunJulAugSepOctNovDec", field[3]) + 2) / 3
      printf "%s|%04d-%02d-%02d%s\n", version, field[4], month, field[2], notes
    }' data/changelog
}
metainfo_releases() {
  # One tag or text per line, whitespace folded, then the same fields as above.
  tr '\n' ' ' <"$metainfo" | sed 's/</\n</g; s/>/>\n/g' | sed 's/^ *//; s/ *$//; s/  */ /g' |
    awk '
      /^<release / {
        version = $0; sub(/.* version="/, "", version); sub(/".*/, "", version)
        date = $0; sub(/.* date="/, "", date); sub(/".*/, "", date)
        line = version "|" date
        if ($0 ~ /\/>$/) print line; else inside = 1
        next
      }
      inside && /^<(p|li)>$/ { item = ""; next }
      inside && /^<\/(p|li)>$/ { line = line "|" item; next }
      inside && /^<\/release>$/ { print line; inside = 0; next }
      inside && !/^</ && $0 != "" { item = item (item == "" ? "" : " ") $0 }'
}

top=$(changelog_releases | head -n 1)
newest=$(metainfo_releases | head -n 1)
[[ ${top%%|*} == "$version" ]] ||
  mismatch "data/changelog's top entry" "${top%%|*}" "CMakeLists.txt's project VERSION" "$version"
[[ ${newest%%|*} == "$version" ]] ||
  mismatch "$metainfo's newest release" "${newest%%|*}" \
    "CMakeLists.txt's project VERSION" "$version"
if ! notes=$(diff <(changelog_releases) <(metainfo_releases)); then
  echo "version: the releases of data/changelog (<) and of $metainfo (>) differ" \
    "(version|date|notes):" >&2
  echo "$notes" >&2
  exit 1
fi

# Artefact names in the documents: a game release's name with another version is stale.
while IFS=: read -r file line name; do
  mismatch "the artefact name $name in $file:$line" "${name#tumult2d?}" \
    "CMakeLists.txt's project VERSION" "$version"
done < <(grep -onE 'tumult2d[-_][0-9]+\.[0-9]+\.[0-9]+' README.md CONTRIBUTING.md docs/*.md \
           platforms/*/README.md | grep -vFe "tumult2d-$version" -e "tumult2d_$version" || true)
echo "$version"
