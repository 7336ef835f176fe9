#!/usr/bin/env bash
# Serves the browser build (BUILD_DIR/site, which platforms/web/build.sh makes; BUILD_DIR is
# build-web/ unless given) on this machine only, and prints the address to open. Ctrl-C stops it.
#
#   platforms/web/serve.sh [BUILD_DIR [PORT]]
set -euo pipefail

if (($# > 2)) || [[ ! ${2:-8000} =~ ^[0-9]+$ ]]; then
  echo "usage: platforms/web/serve.sh [BUILD_DIR [PORT]]" >&2
  exit 2
fi
top=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../..
site=$(realpath -m "${1:-$top/build-web}")/site
if [[ ! -f $site/index.html ]]; then
  echo "web: no build in $site; make it with platforms/web/build.sh" >&2
  exit 1
fi
exec python3 -m http.server --bind 127.0.0.1 --directory "$site" "${2:-8000}"
