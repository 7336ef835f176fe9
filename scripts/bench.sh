#!/usr/bin/env bash
# Builds the benchmarks optimised (into build-bench/) and prints the medians of 5 repetitions
# with their ratios to one plain copy of a frame, taken in the same run.
# Usage: scripts/bench.sh [--benchmark_FLAG...]   (Google Benchmark's flags, passed on)
set -euo pipefail
for flag in "$@"; do
  [[ $flag == --benchmark_* ]] || { echo "usage: $0 [--benchmark_FLAG...]" >&2; exit 2; }
done
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

bash scripts/deps.sh tests
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTUMULT_SANITIZE=OFF >/dev/null
cmake --build build-bench --target tumult2d_bench -j"$(nproc)"
exec python3 scripts/bench_report.py build-bench/bench/tumult2d_bench "$@"
