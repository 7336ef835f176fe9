#!/usr/bin/env bash
# Builds Tumult 2D for 64-bit Windows on this machine and packs it as
# BUILD_DIR/tumult2d-VERSION-win64.zip (BUILD_DIR is build-windows/ unless given).
#
#   platforms/windows/build.sh [BUILD_DIR [SDL_FROM]]
#
# SDL 1.2 comes from Debian's source package, with Debian's patches: it is downloaded through
# a private apt folder in BUILD_DIR/sdl (the system's apt setup is only read, for its Debian
# mirror), cross-built with mingw-w64 and kept, keyed by its build options, so a second run
# only rebuilds the game. The zip's bytes depend only on the commit: every time in it is
# SOURCE_DATE_EPOCH (the time of the last commit unless set) and the binaries carry no link
# time and no build path. SDL_FROM is another build folder whose SDL build to use (and make,
# if it is not there).
set -euo pipefail
[[ $# -le 2 ]] || { echo "usage: $0 [BUILD_DIR [SDL_FROM]]" >&2; exit 2; }

cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.."
source scripts/deps.sh
source scripts/rebuild.sh
source scripts/shipping.sh
source_dir=$PWD
build=$(realpath -m "${1:-build-windows}")
host=x86_64-w64-mingw32
sdl=$(realpath -m "${2:-$build}")/sdl
mkdir -p "$build"
prefix=$sdl/prefix

# What SDL needs for a window and the keyboard, nothing more; the game has no sound yet.
sdl_options=(--host="$host" --prefix="$prefix" --disable-static --disable-audio --disable-cdrom
             --disable-joystick --disable-video-opengl --disable-stdio-redirect)
# No link time stamp and no build folder in the DLL.
# shellcheck disable=SC2054  # the comma is the linker's
sdl_flags=(CC="$host-gcc-win32" "CFLAGS=-O2 -ffile-prefix-map=$sdl=."
           LDFLAGS=-Wl,--no-insert-timestamp)
tumult_ensure_deps windows:build

build_sdl() {
  echo "windows: building SDL 1.2 for Windows in $sdl"
  tumult_fetch_sdl_source "$sdl" windows
  rm -rf "$prefix" "$sdl/objects"
  mkdir -p "$sdl/objects"
  (cd "$sdl/objects" &&
     env "${sdl_flags[@]}" ../source/configure "${sdl_options[@]}" >configure.log &&
     make -j"$(nproc)" >make.log && make install >install.log) ||
    { echo "windows: the SDL build failed; see $sdl/objects/*.log" >&2; exit 1; }
  # What the zip says about SDL: its licence and the source it was built from.
  cp "$sdl/source/COPYING" "$prefix/COPYING"
  basename "$sdl"/libsdl1.2_*.dsc .dsc >"$prefix/source-version"
}

# SDL is rebuilt only when the way it is built or the cross-compiler changes.
sdl_key=$(printf '%s\n' "${sdl_options[@]}" "${sdl_flags[@]}" "$($host-gcc-win32 -dumpfullversion)"
          declare -f tumult_fetch_sdl_source build_sdl)
tumult_rebuild_if_changed "$prefix/build-key" "$sdl_key" build_sdl

# The game: the executable alone, without the tests and tools, which are not for Windows. Its
# link runs in its own folder (src/CMakeLists.txt counts on it).
version=$(tumult_build_game "$build" cmake \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/platforms/windows/mingw-w64-x86_64.cmake" \
  -DTUMULT_WINDOWS_SDL="$prefix")
game=$build/game

# The zip's folder: everything in it stamped with one time, in one order, with one mode. strip
# writes that time into the binaries' headers too, where it would write the current time.
name=tumult2d-$version-win64
tumult_start_stage "$build" "$name"
stage=$build/stage/$name
mkdir "$stage/images"
$host-strip -o "$stage/tumult2d.exe" "$game/src/tumult2d.exe"
$host-strip -o "$stage/SDL.dll" "$prefix/bin/SDL.dll"
cp images/*.bmp "$stage/images/"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
sed 's/$/\r/' "$prefix/COPYING" >"$stage/SDL-COPYING.txt"
tumult_fill_readme platforms/windows/README.txt "$version" "$prefix" | sed 's/$/\r/' \
  >"$stage/README.txt"
zip_file=$build/$name.zip
tumult_zip_stage "$build/stage" "$name" "$zip_file"
echo "windows: $zip_file"
