#!/usr/bin/env bash
# A day's messages at once: the built program (program_walk.sh) fed distinct messages
# only by the loopback server (aprs_is_feed.py --messages), its memory and its main
# window's answer time sampled meanwhile (window_probe.py). Per run: the resident memory
# when 50,000 messages were handled, its peak from then to the end and the growth
# between, and the window's longest answer during the feed; then over the runs the
# lowest, median and highest of each.
#
#   bench/message_flood.sh build/release/bin [MESSAGES] [DISPLAY_NUMBER] [RUNS]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/walk_common.sh"
base=${OUT:-$(mktemp -d /tmp/velmora-flood.XXXXXX)}
OUT=$base FEED_ARGS="--messages" PROBE=1 TIMEOUT=${TIMEOUT:-1800} \
  "$here/program_walk.sh" "$1" "${2:-200000}" "${3:-78}" "${4:-3}"
: > "$base/flood.txt"
for run in "$base"/run*/; do
  python3 - "$run" >> "$base/flood.txt" <<'PY'
import re, sys
run = sys.argv[1]
at = None
for line in open(run + "feed.log"):
    m = re.match(r"handled 50000 at .* \(clock ([0-9.]+)\)", line)
    if m:
        at = float(m.group(1))
samples = [tuple(map(float, l.split())) for l in open(run + "probe.txt") if len(l.split()) == 3]
if at is None or not samples:
    print("none none none none none")
    sys.exit()
after = [s for s in samples if s[0] >= at]
start_mb = after[0][1]
peak_mb = max(s[1] for s in after)
answers = [s[2] for s in samples]
longest = -1 if min(answers) < 0 else max(answers)
print(f"{start_mb:.1f} {peak_mb:.1f} {peak_mb - start_mb:.1f} {longest:.0f} {len(samples)}")
PY
done
echo "== message flood (min / median / max; answer -1: the window did not answer)"
echo "MB at 50,000 handled: $(cut -d' ' -f1 "$base/flood.txt" | spread)"
echo "MB peak after:        $(cut -d' ' -f2 "$base/flood.txt" | spread)"
echo "MB growth:            $(cut -d' ' -f3 "$base/flood.txt" | spread)"
echo "longest answer ms:    $(cut -d' ' -f4 "$base/flood.txt" | spread)"
