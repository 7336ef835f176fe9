#!/usr/bin/env bash
# Checks that every battle is the same on another Debian architecture: s390x (big-endian,
# 64-bit) and i386 (32-bit, x87 arithmetic) are the ones the suite runs.
#
#   platforms/cross/check.sh ARCH NATIVE_TUMULT2D_FRAME NATIVE_IMAGEGEN
#
# Builds the game library, the unit tests, tumult2d_frame and imagegen for ARCH with Debian's
# cross compiler (Debian.cmake beside this script) and runs them under qemu-user: the unit
# tests, golden battles included, must pass, and the first frames of 25 battles and every
# picture and icon the generator makes must be byte for byte those of the native programs given.
#
# ARCH's SDL 1.2 and GoogleTest (cross:unpack in scripts/packages.txt) are unpacked with what
# they depend on into
# build-cross/ARCH/root, never installed, and unpacked again only when their list or the
# machine's Debian sources change (and then built again); the build is kept in
# build-cross/ARCH/build.
set -euo pipefail

if [[ $# -ne 3 || ! -x $2 || ! -x $3 ]] ||
  ! dpkg-architecture -a"$1" -qDEB_HOST_GNU_CPU >/dev/null 2>&1; then
  echo "usage: $0 ARCH NATIVE_TUMULT2D_FRAME NATIVE_IMAGEGEN" >&2
  echo "  ARCH is a Debian architecture (s390x, i386...); the two programs are built here" >&2
  exit 2
fi
arch=$1
native_frame=$(readlink -f "$2")
native_imagegen=$(readlink -f "$3")
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.."
source scripts/deps.sh
source scripts/rebuild.sh

packages=$(tumult_unpacked_by cross)
dir=$PWD/build-cross/$arch
root=$dir/root
build=$dir/build
cpu=$(dpkg-architecture -a"$arch" -qDEB_HOST_GNU_CPU 2>/dev/null)
case $cpu in
  i?86) cpu=i386 ;;
  powerpc64le) cpu=ppc64le ;;
esac
qemu=("qemu-$cpu-static" -L "$root")

# The packages come from the same Debian release and mirrors as this machine's own (or from
# mmdebstrap's default mirror without Debian's sources file). mmdebstrap unpacks them without
# a chroot, which needs no root either.
suite=$(sed -n 's/^VERSION_CODENAME=//p' /etc/os-release)
sources=(/etc/apt/sources.list.d/debian.sources)
[[ -f ${sources[0]} ]] || sources=()
unpack() {
  echo "cross: unpacking $packages for $arch into $root"
  rm -rf "$dir" && mkdir -p "$dir"
  mmdebstrap --quiet --mode=chrootless --variant=extract --architectures="$arch" \
    --include="$packages" "$suite" "$root" "${sources[@]}"
}
tumult_rebuild_if_changed "$root/.key" "$(echo "$packages $suite" && cat "${sources[@]}" /dev/null)" \
  unpack

# A build whose settings came from an older toolchain file starts again.
[[ platforms/cross/Debian.cmake -nt $build/CMakeCache.txt ]] && rm -rf "$build"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/platforms/cross/Debian.cmake" \
  -DTUMULT_CROSS_ARCH="$arch" -DTUMULT_CROSS_ROOT="$root" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$(IFS=';' && echo "${qemu[*]}")" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >"$dir/configure.log" ||
  { cat "$dir/configure.log"; exit 1; }
cmake --build "$build" -j2 --target tumult2d_tests tumult2d_frame imagegen

SDL_VIDEODRIVER=dummy "${qemu[@]}" "$build/tests/tumult2d_tests" --gtest_brief=1

# The generator reads nothing, so the same program makes the same pictures: a warm run reuses
# those it made (under qemu they take a minute of x87 arithmetic).
imagegen=$build/tools/imagegen/imagegen
made=$dir/pictures
make_pictures() {
  rm -rf "$made"
  "${qemu[@]}" "$imagegen" "$made/images" "$made/icons"
}
tumult_rebuild_if_changed "$dir/pictures.key" "$(sha256sum <"$imagegen")" make_pictures

out=$dir/out
rm -rf "$out"
mkdir -p "$out/$arch" "$out/native"
for seed in $(seq 0 41 999); do
  "${qemu[@]}" "$build/tools/screenshot/tumult2d_frame" "$seed" "$out/$arch/$seed.ppm"
  "$native_frame" "$seed" "$out/native/$seed.ppm"
done
cp -r "$made"/* "$out/$arch"
"$native_imagegen" "$out/native/images" "$out/native/icons"
diff -r "$out/native" "$out/$arch"
echo "cross: $arch gives this machine's bytes: $(find "$out/native" -type f | wc -l) files"
