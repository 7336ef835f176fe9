#!/usr/bin/env bash
# Makes SITE (a folder of the browser build) keep itself for offline play: puts the service
# worker (platforms/web/page/sw.js) in it, and writes SITE/release.json, which names the release
# by a digest of the files the worker keeps (the page, the game, its pictures, the manifest and
# the icons) and lists them, so that a change to any of them is a new release, which browsers
# pick up at the next visit. platforms/web/build.sh runs it on the site it makes; run it again
# after changing a file of a site by hand.
#
#   platforms/web/offline.sh SITE
set -euo pipefail

worker=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/page/sw.js
if (($# != 1)) || [[ ! -f $1/index.html ]]; then
  echo "usage: platforms/web/offline.sh SITE   (a folder made by platforms/web/build.sh)" >&2
  exit 2
fi
cp "$worker" "$1/sw.js"
cd "$1"
export LC_ALL=C
files=(index.html manifest.webmanifest tumult2d.js tumult2d.wasm tumult2d.data icons/*.png)
release=$(sha256sum "${files[@]}" | sha256sum | cut -c1-16)
list=$(printf '"%s", ' "${files[@]}")
printf '{ "release": "%s", "files": [%s] }\n' "$release" "${list%, }" >release.json
