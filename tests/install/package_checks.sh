#!/usr/bin/env bash
# Checks a Debian package of the game the way a packager would: every file is in Debian's place
# for a game, the game is stripped, the manual page names the files there, lintian finds no
# error and no warning, and SDL 1.2 is among the dependencies.
# Usage: package_checks.sh PACKAGE [LINTIAN_TARGET]   (lintian checks PACKAGE, or the .changes
# file given, with every package it lists)
set -euo pipefail
# shellcheck source=tests/install/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/common.sh"

[[ $# -eq 1 || $# -eq 2 ]] || { echo "usage: $0 PACKAGE [LINTIAN_TARGET]" >&2; exit 2; }
deb=$1
lintian_target=${2:-$1}
app_id=io.github.tumult2d.tumult2d
out=$(mktemp -d "${TMPDIR:-/tmp}/tumult2d-deb-XXXXXX")
trap 'rm -rf "$out"' EXIT

# "MODE ./PATH" per file, as dpkg-deb lists them.
listing=$(dpkg-deb -c "$deb" | awk '{ print $1, $6 }')
expect() {  # expect MODE PATH
  grep -qxF -- "$1 ./usr/$2" <<<"$listing" || fail "$deb: the package has no $1 /usr/$2"
}
expect -rwxr-xr-x games/tumult2d
expect -rwxr-xr-x libexec/tumult2d/tumult2d
for file in share/games/tumult2d/images/{DesertEclipse,TK-1,TK-2,TK-3,TK-4}.bmp \
  share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
  share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/tumult2d.png \
  share/man/man6/tumult2d.6.gz share/doc/tumult2d/{copyright,changelog.gz}; do
  expect -rw-r--r-- "$file"
done

root=$out/root
dpkg-deb -x "$deb" "$root"

# The packed game is stripped; the manual page names the files where the package puts them.
readelf -S "$root/usr/libexec/tumult2d/tumult2d" | grep -qF .symtab && fail "$deb: the game is not stripped"
manual=$(zcat "$root/usr/share/man/man6/tumult2d.6.gz")
for path in /usr/games/tumult2d /usr/libexec/tumult2d/tumult2d /usr/share/games/tumult2d/images/; do
  grep -qxF -e ".I $path" -e ".IR $path ," <<<"$manual" || fail "$deb: the manual page does not name $path"
done

# The copyright file is LICENSE as Debian writes a licence: indented, "." for a blank line.
licence=$(sed -n '/^License: Zlib$/,$p' "$root/usr/share/doc/tumult2d/copyright" |
  sed '1d; s/^ //; s/^\.$//')
[[ $licence == "$(tail -n +3 "$(dirname "$0")/../../LICENSE")" ]] ||
  fail "$deb: the copyright file does not hold LICENSE's text"

# Any error or warning fails; the informational tags are shown but pass.
lintian --info --fail-on error,warning "$lintian_target" || fail "$deb: lintian finds errors or warnings"

[[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "$deb: the package is not in section games"
depends=$(dpkg-deb -f "$deb" Depends)
# Either SDL 1.2 line must do: the classic library, or the one on SDL 2, whose shim package
# provides libsdl1.2debian at this version.
shim_provides=1.2.15-1
sdl=$(grep -oE 'libsdl1\.2debian( \([^)]*\))?' <<<"$depends") ||
  fail "$deb: Depends does not name SDL 1.2 (libsdl1.2debian)"
if [[ $sdl =~ \(\>=\ ([^\)]+)\) ]]; then
  dpkg --compare-versions "$shim_provides" ge "${BASH_REMATCH[1]}" ||
    fail "$deb: $sdl shuts out the maintained SDL 1.2, whose shim provides $shim_provides"
elif [[ $sdl == *"("* ]]; then
  fail "$deb: unexpected SDL 1.2 dependency: $sdl"
fi
echo "$(basename "$deb"): layout, manual page, lintian and dependencies as they should be"
