#!/usr/bin/env python3
"""Runs the benchmark binary with 5 repetitions and prints each benchmark's median, its ratio
to one plain copy of a frame (BM_FrameMemcpy) measured in the same run, and the goals.

usage: bench_report.py path/to/tumult2d_bench [--benchmark_FLAG...]
Exits 1 when a goal is missed, so that a script can tell.
"""
import json
import os
import subprocess
import sys
import tempfile

BASELINE = "BM_FrameMemcpy"
# Benchmark -> the largest ratio to the baseline it may have.
GOALS = {"BM_DrawScreenCompose": 6.0, "BM_DrawLand": 1.5, "BM_BuildBattle": 0.5}


def run(binary, extra):
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        env = dict(os.environ, SDL_VIDEODRIVER="dummy")
        done = subprocess.run([binary, "--benchmark_repetitions=5",
                               "--benchmark_report_aggregates_only=true",
                               f"--benchmark_out={out.name}", "--benchmark_out_format=json",
                               *extra],
                              env=env, capture_output=True, text=True, check=False)
        if done.returncode != 0:
            sys.exit(f"{binary} failed:\n{done.stdout}{done.stderr}")
        with open(out.name, encoding="utf-8") as results:
            return json.load(results)


def main():
    if len(sys.argv) < 2 or not all(a.startswith("--benchmark_") for a in sys.argv[2:]):
        print(__doc__.strip(), file=sys.stderr)
        sys.exit(2)
    report = run(sys.argv[1], sys.argv[2:])
    # CPU time: a benchmark that the scheduler sets aside for a moment is not charged for it.
    medians = {b["run_name"]: b["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6}[b["time_unit"]]
               for b in report["benchmarks"] if b.get("aggregate_name") == "median"}
    if BASELINE not in medians:
        sys.exit(f"no {BASELINE} in the run")
    base = medians[BASELINE]
    context = report["context"]
    load = ", ".join(f"{value:.1f}" for value in context.get("load_avg", []))
    print(f"{context.get('num_cpus')} CPUs at {context.get('mhz_per_cpu')} MHz, load {load}; "
          "medians of 5 repetitions, CPU time")
    print(f"{'benchmark':<24}{'median':>12}{'x memcpy':>10}{'goal':>8}")
    missed = []
    for name, nanoseconds in medians.items():
        ratio = nanoseconds / base
        goal = GOALS.get(name)
        verdict = "" if goal is None else (f"<= {goal:g}" if ratio <= goal else f"MISSED {goal:g}")
        if goal is not None and ratio > goal:
            missed.append(name)
        print(f"{name:<24}{nanoseconds / 1000:>9.1f} us{ratio:>10.2f}{verdict:>10}")
    if missed:
        print("goals missed: " + ", ".join(missed))
        return 1
    print("all goals met")
    return 0


if __name__ == "__main__":
    sys.exit(main())
