#!/usr/bin/env bash
# A user reading the monitor above its end through a long full feed: the built program
# (program_walk.sh) fed as fast as it takes lines, its monitor scrolled up a little once
# the feed runs (SCROLL_UP), its memory sampled meanwhile (window_probe.py). Per run: the
# resident memory 1 s after the monitor was scrolled up, its peak from then to the end
# and the growth between, and the window's longest answer during the feed; then over
# the runs the lowest, median and highest of each. SCROLL_UP=end leaves the monitor at
# its end: what grows besides the monitor (stations, messages).
#
#   bench/monitor_reading.sh build/release/bin [LINES] [DISPLAY_NUMBER] [RUNS]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/walk_common.sh"
base=${OUT:-$(mktemp -d /tmp/velmora-reading.XXXXXX)}
mkdir -p "$base"
OUT=$base SCROLL_UP=${SCROLL_UP:-1} PROBE=1 TIMEOUT=${TIMEOUT:-1800} \
  "$here/program_walk.sh" "$1" "${2:-300000}" "${3:-79}" "${4:-3}"
: > "$base/reading.txt"
for run in "$base"/run*/; do
  clock=$(awk '{printf "%.3f", $1 + 1}' "$run/scrolled.txt" 2>/dev/null || echo none)
  python3 "$here/probe_growth.py" "$run" "${clock:-none}" >> "$base/reading.txt"
done
echo "== monitor scrolled up (SCROLL_UP=${SCROLL_UP:-1}) through a full feed (min / median / max; answer -1: no answer)"
spread_columns "$base/reading.txt" \
  "MB 1 s after scrolling up:" "MB peak after:" "MB growth:" "longest answer ms:"
