#!/usr/bin/env bash
# A server gone wrong: the built program (program_walk.sh) fed by the loopback server
# (aprs_is_feed.py --flood) a station not heard before in every 510-byte line, for
# SECONDS seconds or LINES lines, as fast as the program takes them; its memory and its
# main window's answer time sampled meanwhile (window_probe.py); then ended with SIGTERM.
# Per run: the peak resident memory, the window's longest answer, the seconds SIGTERM
# took, the stations "Stn.dat" holds, whether every line of it is a whole station record
# and whether the newest station of the feed is among them; then over the runs the
# lowest, median and highest of the numbers.
#
#   bench/station_flood.sh build/release/bin [LINES] [DISPLAY_NUMBER] [RUNS] [SECONDS]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/walk_common.sh"
base=${OUT:-$(mktemp -d /tmp/velmora-station-flood.XXXXXX)}
OUT=$base FEED_ARGS="--flood ${5:-60}" PROBE=1 END_BY=term TIMEOUT=${TIMEOUT:-900} \
  "$here/program_walk.sh" "$1" "${2:-1000000}" "${3:-78}" "${4:-3}"
: > "$base/flood.txt"
for run in "$base"/run*/; do
  peak=$(awk 'NF == 3 && $2 > m {m = $2} END {printf "%.0f", m}' "$run/probe.txt")
  answer=$(awk 'NF == 3 {if ($3 < 0) bad = 1; if ($3 > m) m = $3} END {print bad ? -1 : m}' \
    "$run/probe.txt")
  ended=$(sed -n 's/^ended in \([0-9.]*\) s$/\1/p' "$run/end.txt" 2>/dev/null)
  newest=$(sed -n 's/^stations [0-9]*, the last \(.*\)$/\1/p' "$run/feed.log")
  python3 - "$run/prg/Stn.dat" "$newest" "$peak" "$answer" "${ended:--1}" \
    >> "$base/flood.txt" <<'EOF'
import sys
path, newest, peak, answer, ended = sys.argv[1:]
try:
    data = open(path, "rb").read()
except OSError:
    data = b""
lines = data.split(b"\r\n")
whole = data.endswith(b"\r\n") and all(
    line.startswith(b'"AAprs') and line.count(b'";"') == 23 for line in lines[:-1])
key = b'"AAprs' + newest.encode() + b'"'
listed = any(line.startswith(key) for line in lines)
print(peak, answer, ended, len(lines) - 1, int(whole), int(listed))
EOF
done
cat "$base/flood.txt"
echo "== station flood (min / median / max; answer -1: the window did not answer)"
spread_columns "$base/flood.txt" "MB peak:" "longest answer ms:" "SIGTERM s:" \
  "stations saved:" "Stn.dat whole (1):" "newest saved (1):"
