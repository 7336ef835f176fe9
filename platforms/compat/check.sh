#!/usr/bin/env bash
# Builds Tumult 2D against the maintained SDL 1.2 line, Debian's libsdl1.2-compat (the SDL 1.2
# API on top of SDL 2, which players on newer systems get), and runs the headless tests and the
# real-window tests of the shipped and of hostile images against it. Each picture of the fuzz
# seeds, put in as the sky and as a tank, must give the same frame here as on the classic SDL 1.2
# of this machine (built into build-compat/classic), or be refused there with the same warning.
#
# The classic library on this machine stays as it is: the packages are downloaded and unpacked
# into build-compat/sdl (kept, so a second run is cheap), the build finds them through
# pkg-config and the programs load them through LD_LIBRARY_PATH. Exits non-zero on a failure.
set -euo pipefail
[[ $# -eq 0 ]] || { echo "usage: $0   (no arguments)" >&2; exit 2; }

cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.."
source scripts/deps.sh
source scripts/rebuild.sh

# SDL 1.2 on SDL 2 and what it needs: compat:unpack in scripts/packages.txt.
IFS=, read -r -a packages <<<"$(tumult_unpacked_by compat)"
build="build-compat"
sdl=$PWD/$build/sdl
multiarch=$(g++ -print-multiarch)
libdir=$sdl/usr/lib/$multiarch

unpack_packages() {
  echo "compat: unpacking ${packages[*]} into $sdl"
  local debs=$build/debs
  rm -rf "$debs" "$sdl"
  mkdir -p "$debs"
  # apt-get download needs current package lists; fetch them only when it cannot find one.
  if ! (cd "$debs" && apt-get download "${packages[@]}" 2>/dev/null); then
    tumult_as_root "${packages[*]}" env DEBIAN_FRONTEND=noninteractive apt-get update
    (cd "$debs" && apt-get download "${packages[@]}")
  fi
  local deb
  for deb in "$debs"/*.deb; do
    dpkg-deb -x "$deb" "$sdl"
  done
}

tumult_rebuild_if_changed "$sdl/.packages" "$(printf '%s\n' "${packages[@]}")" unpack_packages

# Every program below (and the test discovery during the build) loads SDL from the prefix, but
# the classic frames, which are made with the path as it came.
outside_library_path=${LD_LIBRARY_PATH:-}
export LD_LIBRARY_PATH=$libdir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
unresolved=$(ldd "$libdir/libSDL2-2.0.so.0" "$libdir/libSDL-1.2.so.0" | grep 'not found' || true)
if [[ -n $unresolved ]]; then
  echo "compat: libraries SDL 2 needs are missing:" >&2
  echo "$unresolved" >&2
  exit 1
fi

# Only the unpacked sdl.pc is visible to pkg-config, and its /usr paths point into the prefix.
mkdir -p "$build"
PKG_CONFIG_LIBDIR=$libdir/pkgconfig PKG_CONFIG_SYSROOT_DIR=$sdl \
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
  -DTUMULT_SANITIZE=OFF >"$build/configure.log" || { cat "$build/configure.log"; exit 1; }
if ! grep -q '^SDL_INCLUDEDIR:INTERNAL='"$sdl/" "$build/CMakeCache.txt"; then
  echo "compat: the build did not pick up the compat SDL under $sdl" >&2
  exit 1
fi
cmake --build "$build" --target tumult2d tumult2d_tests tumult2d_frame -j"$(nproc)"
if ldd "$build/src/tumult2d" | grep -F "libSDL-1.2.so.0 => $libdir/" >/dev/null; then
  echo "compat: the game loads $(readlink -f "$libdir/libSDL-1.2.so.0")"
else
  echo "compat: the game does not load the compat SDL:" >&2
  ldd "$build/src/tumult2d" >&2
  exit 1
fi

classic=$build/classic
mkdir -p "$classic"
cmake -S . -B "$classic" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DTUMULT_SANITIZE=OFF >"$classic/configure.log" || { cat "$classic/configure.log"; exit 1; }
cmake --build "$classic" --target tumult2d_frame -j"$(nproc)"
if LD_LIBRARY_PATH=$outside_library_path ldd "$classic/tools/screenshot/tumult2d_frame" |
  grep -F "$libdir/" >/dev/null; then
  echo "compat: the classic frame tool loads the compat SDL" >&2
  exit 1
fi

SDL_VIDEODRIVER=dummy "$build/tests/tumult2d_tests" --gtest_brief=1
ctest --test-dir "$build" -R '^Desktop\.(window|hostile)$' --output-on-failure

# The frame of one battle with each seed picture as the sky and as the first tank's keyed sprite,
# and what was printed, on each line.
frames=$PWD/$build/frames
rm -rf "$frames"
mkdir -p "$frames/images"
cp images/TK-*.bmp "$frames/images/"
differ=0
pictures=0
for picture in tests/fuzz/corpus/images/*.bmp; do
  cp "$picture" "$frames/images/DesertEclipse.bmp"
  cp "$picture" "$frames/images/TK-1.bmp"
  pictures=$((pictures + 1))
  (cd "$frames" && "$OLDPWD/$build/tools/screenshot/tumult2d_frame" 1 compat.ppm 2>compat.txt)
  (cd "$frames" && LD_LIBRARY_PATH=$outside_library_path \
    "$OLDPWD/$classic/tools/screenshot/tumult2d_frame" 1 classic.ppm 2>classic.txt)
  if ! cmp -s "$frames/compat.ppm" "$frames/classic.ppm" ||
    ! cmp -s "$frames/compat.txt" "$frames/classic.txt"; then
    echo "compat: $picture as the sky and a tank draws or warns unlike classic SDL 1.2" >&2
    differ=1
  fi
done
if [[ $differ -ne 0 ]]; then
  exit 1
fi
echo "compat: $pictures pictures drawn alike on both SDL 1.2 lines"
echo "compat: PASSED"
