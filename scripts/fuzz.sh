#!/usr/bin/env bash
# Builds the libFuzzer targets (the `fuzz` preset: clang, into build-fuzz/) and runs each for a
# bounded time from its seeds. A finding fails with the input kept in build-fuzz/artifacts/.
#
#   scripts/fuzz.sh [IMAGE_SECONDS [GAME_OBJECT_SECONDS]]   (defaults: 40 and 20)
#
# New inputs go to build-fuzz/corpus-NAME, never into the repository.
set -euo pipefail
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

image_seconds=${1:-40}
object_seconds=${2:-20}

# fuzz NAME SECONDS [SEED_DIR]
fuzz() {
  local name=$1 seconds=$2 log=build-fuzz/fuzz-$1.log
  shift 2
  mkdir -p "build-fuzz/corpus-$name" build-fuzz/artifacts
  if ! "build-fuzz/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=5 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/ \
    "build-fuzz/corpus-$name" "$@" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "fuzz_$name found a fault; the input is in build-fuzz/artifacts/" >&2
    exit 1
  fi
  echo "fuzz_$name: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$')" \
    "inputs in ${seconds} s, no finding"
}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" --target fuzz_images fuzz_game_objects
fuzz images "$image_seconds" tests/fuzz/corpus/images
fuzz game_objects "$object_seconds"
