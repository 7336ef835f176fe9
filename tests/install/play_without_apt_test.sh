#!/usr/bin/env bash
# ./play on a system without apt: with a PATH of every program here but apt's and dpkg's, it
# names what is missing (a Debian package and what it is) and stops, and with everything there
# it builds the game and starts it. It plays a copy of the sources in WORK_DIR, kept so that a
# second run rebuilds only what changed; the game runs on SDL's dummy driver and is ended with
# SIGTERM once started, which it answers with 143.
# Usage: play_without_apt_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail

source_dir=$1
work=$2
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
copy=$work/tumult2d
bin=$work/bin
play=
cleanup() {
  if [[ -n $play ]] && kill -0 "$play" 2>/dev/null; then
    kill -TERM -- "-$play" 2>/dev/null || true  # ./play and the build it started
    wait "$play" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 1' TERM INT HUP  # a stop signal cleans up too
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The copy: the sources as a clean clone has them, and the copy's own build folder.
mkdir -p "$copy"
find "$copy" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
"$here/source_files.sh" "$source_dir" | tar -C "$source_dir" --null -T - -cf - | tar -x -C "$copy"

# The PATH: every program of this one (the first of a name wins), but none of apt or dpkg.
rm -rf "$bin"
mkdir -p "$bin"
IFS=: read -r -a dirs <<<"$PATH"
for dir in "${dirs[@]}"; do
  for program in "$dir"/*; do
    name=${program##*/}
    case $name in apt* | dpkg*) continue ;; esac
    if [[ -x $program && ! -e $bin/$name ]]; then ln -s "$program" "$bin/$name"; fi
  done
done

# Without CMake and SDL's pkg-config file, both are named, with what they are, and ./play stops.
rm "$bin/cmake"
status=0
PATH=$bin PKG_CONFIG_LIBDIR=$work/no-pkg-config "$copy/play" >"$work/missing.log" 2>&1 || status=$?
ln -s "$(command -v cmake)" "$bin/cmake"
[[ $status -eq 1 ]] || fail "./play with CMake and SDL missing exited $status:
$(cat "$work/missing.log")"
sdl="SDL 1.2 development files (Fedora: sdl12-compat-devel, Arch: sdl12-compat)"
for line in "  cmake: CMake" "  libsdl1.2-dev: $sdl"; do
  grep -qxF -- "$line" "$work/missing.log" || fail "./play did not say \"$line\":
$(cat "$work/missing.log")"
done

# With everything there, ./play builds the game and becomes it.
game=$copy/build/src/tumult2d
PATH=$bin SDL_VIDEODRIVER=dummy setsid "$copy/play" >"$work/play.log" 2>&1 &
play=$!
deadline=$((SECONDS + 400))  # a cold build takes seconds; the test's timeout is 600 s
while ((SECONDS < deadline)) && kill -0 "$play" 2>/dev/null; do
  [[ $(readlink "/proc/$play/exe" 2>/dev/null) == "$game" ]] && break
  sleep 0.1
done
[[ $(readlink "/proc/$play/exe" 2>/dev/null) == "$game" ]] ||
  fail "./play did not start the game:
$(tail -20 "$work/play.log")"
kill -TERM "$play"
status=0
wait "$play" || status=$?
play=
[[ $status -eq 143 ]] || fail "the game started by ./play ended with $status, not 143"
echo "PASSED: ./play names what is missing, then builds and starts the game, without apt"
