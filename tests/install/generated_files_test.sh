#!/usr/bin/env bash
# The committed pictures and icons are exactly what the image generator makes now, and every
# icon is a PNG that decodes (ImageMagick fails on a bad checksum) to its folder's size, with
# an alpha channel. Usage: generated_files_test.sh IMAGEGEN (run from the source folder)
set -euo pipefail
# shellcheck source=tests/install/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/common.sh"

[[ $# -eq 1 ]] || { echo "usage: $0 IMAGEGEN   (run from the source folder)" >&2; exit 2; }
imagegen=$1
out=$(mktemp -d "${TMPDIR:-/tmp}/tumult2d-imagegen-XXXXXX")
trap 'rm -rf "$out"' EXIT

"$imagegen" "$out/images" "$out/icons"
diff -r images "$out/images" || fail "images/ is not what imagegen makes"
diff -r data/icons "$out/icons" || fail "data/icons/ is not what imagegen makes"

for icon in data/icons/hicolor/*/apps/tumult2d.png; do
  size=$(basename "$(dirname "$(dirname "$icon")")")
  shape=$(identify -regard-warnings -format '%wx%h %[channels]' "$icon")
  [[ $shape == "$size srgba" ]] || fail "$icon is $shape, expected $size srgba"
done
echo "PASSED"
