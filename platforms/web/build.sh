#!/usr/bin/env bash
# Builds Tumult 2D for the browser (WebAssembly, with Debian's Emscripten) and packs it as
# BUILD_DIR/tumult2d-VERSION-web.zip (BUILD_DIR is build-web/ unless given): the page (its help
# in the words of data/about.txt), the game's .js and .wasm, its pictures in the .data file, the
# manifest and icons of a home screen, the service worker that keeps them for playing offline
# with the release it keeps, and the licences. Unpacked, the zip's folder is the whole site, and
# BUILD_DIR/site is that folder ready to serve.
#
#   platforms/web/build.sh [BUILD_DIR [SDL_FROM]]
#
# The game's code is the desktop's, on the real SDL 1.2: Debian's source package (fetched into
# BUILD_DIR/sdl, as the Windows build does, without touching the system's apt setup) is
# compiled with Emscripten, with the video driver, clock and configuration of
# platforms/web/sdl in place of its dummy ones, and kept, keyed by how it was built. The zip's
# bytes depend only on the commit. SDL_FROM is another build folder whose SDL build to use (and
# make, if it is not there).
set -euo pipefail

cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.."
if (($# > 2)); then
  echo "usage: platforms/web/build.sh [BUILD_DIR [SDL_FROM]]" >&2
  exit 2
fi
source scripts/deps.sh
source scripts/rebuild.sh
source scripts/shipping.sh
source_dir=$PWD
platform=$source_dir/platforms/web
build=$(realpath -m "${1:-build-web}")
sdl=$(realpath -m "${2:-$build}")/sdl
prefix=$sdl/prefix
mkdir -p "$build"

tumult_ensure_deps web:build
# Debian's Emscripten finds its JavaScript modules only in Debian's folder for them, which
# another node on the PATH does not search.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# SDL's portable parts (those of its Makefile.minimal), with this platform's driver and clock
# in place of the dummy ones, and no build path in the objects.
sdl_dirs=(. audio cdrom cpuinfo events file joystick stdlib thread timer video
          joystick/dummy cdrom/dummy thread/generic loadso/dummy)
sdl_cflags=(-O2 "-ffile-prefix-map=$sdl=." "-ffile-prefix-map=$source_dir=."
            -I"$prefix/include/SDL" -I"$sdl/source/src" -I"$sdl/source/src/video"
            -I"$sdl/source/src/events")

build_sdl() {
  echo "web: building SDL 1.2 for WebAssembly in $sdl"
  tumult_fetch_sdl_source "$sdl" web
  rm -rf "$prefix" "$sdl/objects"
  mkdir -p "$prefix/include/SDL" "$prefix/lib/pkgconfig" "$sdl/objects"
  cp "$sdl"/source/include/*.h "$prefix/include/SDL/"
  cp "$platform/sdl/SDL_config.h" "$prefix/include/SDL/"
  local dir
  local -a sources=()
  for dir in "${sdl_dirs[@]}"; do
    sources+=("$sdl"/source/src/"$dir"/*.c)
  done
  sources+=("$platform"/sdl/*.c)
  # One object per source, named by its file (no two share a name), compiled side by side.
  # shellcheck disable=SC2016  # expanded by the inner bash
  printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -n 1 bash -c \
    'emcc "${@:1:$#-1}" -c "${!#}" -o "$0/$(basename "${!#}" .c).o"' \
    "$sdl/objects" "${sdl_cflags[@]}" >"$sdl/objects.log" 2>&1 ||
    { cat "$sdl/objects.log" >&2; echo "web: the SDL build failed" >&2; exit 1; }
  (cd "$sdl/objects" && find . -name '*.o' | LC_ALL=C sort | xargs emar crsD "$prefix/lib/libSDL.a")
  # What the game's build finds through pkg-config: the archive by its path, as Emscripten
  # would take -lSDL for its own JavaScript imitation of SDL.
  cat >"$prefix/lib/pkgconfig/sdl.pc" <<PC
prefix=$prefix
Name: sdl
Description: SDL 1.2 for WebAssembly, with the browser's video driver
Version: 1.2.15
Cflags: -I\${prefix}/include/SDL -D_GNU_SOURCE=1
Libs: \${prefix}/lib/libSDL.a
PC
  # What the zip says about SDL: its licence and the source it was built from.
  cp "$sdl/source/COPYING" "$prefix/COPYING"
  basename "$sdl"/libsdl1.2_*.dsc .dsc >"$prefix/source-version"
}

# SDL is rebuilt only when the way it is built, its platform files or Emscripten change.
sdl_key=$(printf '%s\n' "${sdl_dirs[@]}" "${sdl_cflags[@]}" "$(emcc -dumpversion)"
          declare -f tumult_fetch_sdl_source build_sdl; cat "$platform"/sdl/*)
tumult_rebuild_if_changed "$prefix/build-key" "$sdl_key" build_sdl

# The game: the executable alone, through the project's own CMake files, with the SDL above
# (pkg-config and CMake's searches see nothing else). Emscripten writes tumult2d.js and
# tumult2d.wasm: a module factory, Tumult2D, that the page calls for each battle. The pause
# between frames unwinds the game's stack to the browser (ASYNCIFY), which only the direct
# calls down to SDL_Delay need to take part in; the pictures are put in its file system by
# the page.
link_flags=(-sMODULARIZE=1 -sEXPORT_NAME=Tumult2D -sENVIRONMENT=web -sUSE_SDL=0
            -sASYNCIFY=1 -sASYNCIFY_IGNORE_INDIRECT=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
            -sFORCE_FILESYSTEM=1 -sEXPORTED_RUNTIME_METHODS=FS)
version=$(PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH='' tumult_build_game "$build" \
  emcmake cmake -DCMAKE_FIND_ROOT_PATH="$prefix" -DCMAKE_EXE_LINKER_FLAGS="${link_flags[*]}")
game=$build/game

# Prints FILE with each PLACEHOLDER replaced by its TEXT, as it is.
#
#   fill FILE PLACEHOLDER TEXT [PLACEHOLDER TEXT...]
fill() {
  local text
  text=$(<"$1")
  shift
  while (($# > 1)); do
    text=${text//"$1"/"$2"}
    shift 2
  done
  printf '%s\n' "$text"
}

# The zip's folder, which is the site: the page with its help filled in, the game, its
# pictures as one tar archive (owners, times and order fixed), the manifest and icons that let
# it be added to a home screen, the service worker that keeps it all for playing offline, and
# the licences. Everything in it is stamped with one time.
name=tumult2d-$version-web
tumult_start_stage "$build" "$name"
stage=$build/stage/$name
fill "$platform/page/index.html" @KEYBOARD_HELP@ "$(scripts/about.sh help keys)" \
  @ON_SCREEN_HELP@ "$(scripts/about.sh help names)" >"$stage/index.html"
fill "$platform/page/manifest.webmanifest" @SUMMARY@ \
  "$(scripts/about.sh summary | sed 's/[\\"]/\\&/g')" \
  >"$stage/manifest.webmanifest"
mkdir "$stage/icons"
for size in 32 128 256; do
  cp "data/icons/hicolor/${size}x$size/apps/tumult2d.png" "$stage/icons/tumult2d-$size.png"
done
cp "$game/src/tumult2d.js" "$game/src/tumult2d.wasm" "$stage/"
tar --format=ustar --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 \
  --numeric-owner --mode=u=rwX,go=rX -cf "$stage/tumult2d.data" images
cp LICENSE "$stage/LICENSE.txt"
cp "$prefix/COPYING" "$stage/SDL-COPYING.txt"
tumult_fill_readme platforms/web/README.txt "$version" "$prefix" >"$stage/README.txt"
"$platform/offline.sh" "$stage"
zip_file=$build/$name.zip
tumult_zip_stage "$build/stage" "$name" "$zip_file"
rm -rf "$build/site"
cp -a "$stage" "$build/site"
echo "web: $zip_file"
