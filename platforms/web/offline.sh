#!/usr/bin/env bash
# Writes SITE/sw.js, the service worker that keeps the browser build's files for playing
# offline, from platforms/web/page/sw.js: the files it keeps (the page, the game, its pictures,
# the manifest and the icons) and a release name made of their digest, so that a change to any
# of them is a new release, which browsers pick up at the next visit. platforms/web/build.sh
# runs it on the site it makes; run it again after changing a file of a site by hand.
#
#   platforms/web/offline.sh SITE
set -euo pipefail

template=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/page/sw.js
if (($# != 1)) || [[ ! -f $1/index.html ]]; then
  echo "usage: platforms/web/offline.sh SITE   (a folder made by platforms/web/build.sh)" >&2
  exit 2
fi
cd "$1"
export LC_ALL=C
files=(index.html manifest.webmanifest tumult2d.js tumult2d.wasm tumult2d.data icons/*.png)
release=$(sha256sum "${files[@]}" | sha256sum | cut -c1-16)
list=$(printf '"%s", ' "${files[@]}")
worker=$(<"$template")
worker=${worker//"@FILES@"/"${list%, }"}
printf '%s\n' "${worker//"@RELEASE@"/"$release"}" >sw.js
