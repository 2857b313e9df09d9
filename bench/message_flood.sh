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
  clock=$(sed -n 's/^handled 50000 at .* (clock \([0-9.]*\)).*/\1/p' "$run/feed.log")
  python3 "$here/probe_growth.py" "$run" "${clock:-none}" >> "$base/flood.txt"
done
echo "== message flood (min / median / max; answer -1: the window did not answer)"
spread_columns "$base/flood.txt" \
  "MB at 50,000 handled:" "MB peak after:" "MB growth:" "longest answer ms:"
