#!/usr/bin/env python3
"""Runs resample_bench once (ours, OpenCV cv::resize INTER_LINEAR on one thread, memcpy of
the output size, all in the same run) and prints each of our times as a ratio to the others.

Usage: compare_resample.py [path/to/resample_bench] [--repetitions N]
The benchmark is built with -DOSTREL_BENCH=ON (cmake --build <dir> --target resample_bench).
Times are the minimum wall time over the repetitions, which is the least disturbed by
other work on the machine. Exits 1 when a target is missed.
"""
import argparse
import json
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
# The one conversion that is also held against the memcpy of its output.
MEMCPY_TARGET = ("640x480->5120x3840", 2.0)


def find_binary():
    for build in sorted(ROOT.glob("build*")):
        candidate = build / "bench" / "resample" / "resample_bench"
        if candidate.exists():
            return candidate
    sys.exit("resample_bench not found; build it with -DOSTREL_BENCH=ON or pass its path")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("binary", nargs="?", type=pathlib.Path)
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--min-time", default="0.2", help="seconds per repetition")
    args = parser.parse_args()
    binary = args.binary or find_binary()

    run = subprocess.run(
        [str(binary), "--benchmark_format=json", f"--benchmark_repetitions={args.repetitions}",
         f"--benchmark_min_time={args.min_time}"],
        check=True, capture_output=True, text=True)
    report = json.loads(run.stdout)

    best = {}
    for b in report["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        conversion, what = b["run_name"].rsplit("/", 1)
        ms = b["real_time"] * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        key = (conversion, what)
        best[key] = min(best.get(key, ms), ms)

    conversions = list(dict.fromkeys(c for c, _ in best))
    header = (f"{'conversion':<22} {'ours ms':>8} {'OpenCV ms':>10} {'memcpy ms':>10} "
              f"{'ours/OpenCV':>12} {'ours/memcpy':>12}  target")
    if report["context"].get("ostrel_optimized") == "no":
        print("warning: this resample_bench was built without optimization (Debug); "
              "time a RelWithDebInfo or Release build")
    print(f"SIMD level: {report['context'].get('ostrel_simd', '?')}; "
          f"{report['context']['num_cpus']} CPUs at {report['context']['mhz_per_cpu']} MHz; "
          f"min of {args.repetitions} repetitions")
    print(header)
    print("-" * len(header))
    missed = []
    for c in conversions:
        ours, cv, mem = best[(c, "ostrel")], best[(c, "opencv")], best[(c, "memcpy")]
        ok = ours <= cv
        note = "<= OpenCV"
        if c == MEMCPY_TARGET[0]:
            ok = ok and ours <= MEMCPY_TARGET[1] * mem
            note += f", <= {MEMCPY_TARGET[1]:g}x memcpy"
        if not ok:
            missed.append(c)
        print(f"{c:<22} {ours:>8.3f} {cv:>10.3f} {mem:>10.3f} {ours / cv:>12.2f} "
              f"{ours / mem:>12.2f}  {'met' if ok else 'MISSED'} ({note})")
    extra = [(c, best[(c, "ostrel_sse2")]) for c in conversions if (c, "ostrel_sse2") in best]
    if extra:
        print("\nSSE2-only code path (for CPUs without SSSE3/AVX2), ms:")
        for c, ms in extra:
            print(f"  {c:<22} {ms:>8.3f}  ({ms / best[(c, 'opencv')]:.2f}x OpenCV)")
    if missed:
        print(f"\ntargets missed: {', '.join(missed)}")
        return 1
    print("\nall targets met")
    return 0


if __name__ == "__main__":
    sys.exit(main())
