#!/usr/bin/env bash
# Builds the Debian package of a build folder with CPack and checks it the way a packager
# would: every file in its place, the programs executable, and SDL 1.2 among the dependencies.
# Usage: package_test.sh BUILD_DIR [CPACK]
set -euo pipefail

build_dir=$1
cpack=${2:-cpack}
app_id=io.github.tumult2d.tumult2d
out=$(mktemp -d "${TMPDIR:-/tmp}/tumult2d-deb-XXXXXX")
trap 'rm -rf "$out"' EXIT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

if ! "$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log" >&2
  fail "cpack -G DEB failed"
fi
debs=("$out"/*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one .deb in $out, found: ${debs[*]}"
deb=${debs[0]}
echo "built $(basename "$deb")"

# "MODE ./PATH" per file, as dpkg-deb lists them.
listing=$(dpkg-deb -c "$deb" | awk '{ print $1, $6 }')
expect() {  # expect MODE PATH
  grep -qxF -- "$1 ./usr/$2" <<<"$listing" || fail "the package has no $1 /usr/$2"
}
expect -rwxr-xr-x bin/tumult2d
expect -rwxr-xr-x libexec/tumult2d/tumult2d
for image in DesertEclipse TK-1 TK-2 TK-3 TK-4; do
  expect -rw-r--r-- "share/tumult2d/images/$image.bmp"
done
expect -rw-r--r-- "share/applications/$app_id.desktop"
expect -rw-r--r-- "share/metainfo/$app_id.metainfo.xml"
for size in 16 32 48 64 128 256; do
  expect -rw-r--r-- "share/icons/hicolor/${size}x${size}/apps/tumult2d.png"
done

[[ $(dpkg-deb -f "$deb" Package) == tumult2d ]] || fail "the package is not named tumult2d"
[[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "the package is not in section games"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# Either SDL 1.2 line must do: the classic library, or the one on SDL 2, whose shim package
# provides libsdl1.2debian at this version.
shim_provides=1.2.15-1
sdl=$(grep -oE 'libsdl1\.2debian( \([^)]*\))?' <<<"$depends") ||
  fail "Depends does not name SDL 1.2 (libsdl1.2debian)"
if [[ $sdl =~ \(\>=\ ([^\)]+)\) ]]; then
  dpkg --compare-versions "$shim_provides" ge "${BASH_REMATCH[1]}" ||
    fail "$sdl shuts out the maintained SDL 1.2, whose shim provides $shim_provides"
elif [[ $sdl == *"("* ]]; then
  fail "unexpected SDL 1.2 dependency: $sdl"
fi
grep -qE '(^|, )libc6 \(>= [0-9.]+\)' <<<"$depends" || fail "Depends does not name libc6"
echo "PASSED"
