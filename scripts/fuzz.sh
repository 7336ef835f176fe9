#!/usr/bin/env bash
# Builds the image-loading libFuzzer target (the `fuzz` preset: clang, into build-fuzz/) and runs
# it for a bounded time from its seeds. A finding fails with the input kept in
# build-fuzz/artifacts/; new inputs go to build-fuzz/corpus-images, never into the repository.
#
#   scripts/fuzz.sh [SECONDS]   (default: 60)
set -euo pipefail
if [[ $# -gt 1 || ! ${1:-60} =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

seconds=${1:-60}
log=build-fuzz/fuzz-images.log

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" --target fuzz_images
mkdir -p build-fuzz/corpus-images build-fuzz/artifacts
if ! build-fuzz/tests/fuzz/fuzz_images -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/ \
  build-fuzz/corpus-images tests/fuzz/corpus/images >"$log" 2>&1; then
  tail -n 60 "$log" >&2
  echo "fuzz_images found a fault; the input is in build-fuzz/artifacts/" >&2
  exit 1
fi
echo "fuzz_images: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$')" \
  "inputs in ${seconds} s, no finding"
