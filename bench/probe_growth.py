#!/usr/bin/env python3
"""What window_probe.py sampled in a walk's folder from a moment on: the resident memory
at that moment and its peak after it (MB), the growth between, and the window's longest
answer over the whole walk (ms; -1 when it once did not answer). Prints
"none none none none" when the moment never came or nothing was sampled.

Usage: probe_growth.py RUN_FOLDER CLOCK (CLOCK: the probe's clock, in seconds, or "none")
"""
import sys


def main():
    run, clock = sys.argv[1], sys.argv[2]
    try:
        samples = [tuple(map(float, line.split())) for line in open(run + "/probe.txt")
                   if len(line.split()) == 3]
        after = [s for s in samples if s[0] >= float(clock)]
    except (OSError, ValueError):
        after = []
    if not after:
        print("none none none none")
        return
    start_mb = after[0][1]
    peak_mb = max(s[1] for s in after)
    answers = [s[2] for s in samples]
    longest = -1 if min(answers) < 0 else max(answers)
    print(f"{start_mb:.1f} {peak_mb:.1f} {peak_mb - start_mb:.1f} {longest:.0f}")


if __name__ == "__main__":
    main()
