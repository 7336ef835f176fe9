#!/usr/bin/env bash
# Prints the game's version, written once: project(... VERSION ...) in CMakeLists.txt. With
# --check it first makes sure the places that repeat it agree, and exits 1 naming both values
# of the first that does not: data/changelog's top entry, and every artefact name
# (tumult2d-X.Y.Z..., tumult2d_X.Y.Z...) in the documents. With --releases it prints the
# releases of data/changelog, where the release notes are written, as the metainfo's
# <release> elements (data/CMakeLists.txt puts them there).
#
#   scripts/version.sh [--check | --releases]
set -euo pipefail
if [[ $# -gt 1 || ($# -eq 1 && $1 != --check && $1 != --releases) ]]; then
  echo "usage: scripts/version.sh [--check | --releases]" >&2
  exit 2
fi
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

version=$(sed -n 's/^project([A-Za-z0-9_]* VERSION \([^ )]*\).*/\1/p' CMakeLists.txt)
if [[ -z $version ]]; then
  echo "version: CMakeLists.txt has no project(NAME VERSION X.Y.Z" >&2
  exit 1
fi
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
if [[ $# -eq 0 ]]; then
  echo "$version"
  exit 0
elif [[ $1 == --releases ]]; then
  # Each note a <p>, with XML's own characters escaped.
  changelog_releases | sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g' |
    while IFS='|' read -r release date notes; do
      echo "<release version=\"$release\" date=\"$date\">"
      echo "  <description>"
      while IFS= read -r -d '|' note; do
        echo "    <p>$note</p>"
      done <<<"$notes|"
      echo "  </description>"
      echo "</release>"
    done
  exit 0
fi

mismatch() {  # mismatch WHAT VALUE OTHER_WHAT OTHER_VALUE
  echo "version: $1 is '$2' but $3 is '$4'" >&2
  exit 1
}

top=$(changelog_releases | head -n 1)
[[ ${top%%|*} == "$version" ]] ||
  mismatch "data/changelog's top entry" "${top%%|*}" "CMakeLists.txt's project VERSION" "$version"

# Artefact names in the documents: a game release's name with another version is stale.
while IFS=: read -r file line name; do
  mismatch "the artefact name $name in $file:$line" "${name#tumult2d?}" \
    "CMakeLists.txt's project VERSION" "$version"
done < <(grep -onE 'tumult2d[-_][0-9]+\.[0-9]+\.[0-9]+' README.md CONTRIBUTING.md docs/*.md \
           platforms/*/README.md | grep -vFe "tumult2d-$version" -e "tumult2d_$version" || true)
echo "$version"
