#!/usr/bin/env bash
# The committed pictures and icons are exactly what the image generator makes now, and every
# icon is a PNG that decodes (ImageMagick fails on a bad checksum) to its folder's size, with
# an alpha channel. Usage: generated_files_test.sh IMAGEGEN (run from the source folder)
set -euo pipefail

[[ $# -eq 1 ]] || { echo "usage: $0 IMAGEGEN   (run from the source folder)" >&2; exit 2; }
imagegen=$1
out=$(mktemp -d "${TMPDIR:-/tmp}/tumult2d-imagegen-XXXXXX")
trap 'rm -rf "$out"' EXIT

"$imagegen" "$out/images" "$out/icons"
diff -r images "$out/images" || { echo "FAILED: images/ is not what imagegen makes" >&2; exit 1; }
diff -r data/icons "$out/icons" || { echo "FAILED: data/icons/ is not what imagegen makes" >&2; exit 1; }

for icon in data/icons/hicolor/*/apps/tumult2d.png; do
  size=$(basename "$(dirname "$(dirname "$icon")")")
  shape=$(identify -regard-warnings -format '%wx%h %[channels]' "$icon")
  [[ $shape == "$size srgba" ]] || { echo "FAILED: $icon is $shape, expected $size srgba" >&2; exit 1; }
done
echo "PASSED"
