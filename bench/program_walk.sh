#!/usr/bin/env bash
# The built program timed as a user runs it: started under a private X display with the
# map (and its monitor) and the station list open, logged in to a loopback APRS-IS server
# (bench/aprs_is_feed.py) that writes a full feed as fast as the socket takes it, until
# the program acknowledges the feed's last message; then closed, and its Stn.dat read.
# Needs: xvfb openbox wmctrl xdotool (and perf for PERF=1).
#
#   bench/program_walk.sh build/release/bin [LINES] [DISPLAY_NUMBER] [RUNS]
#
# Prints, per run, the feed's make-up, lines per second from login to the
# acknowledgement, the program's CPU time meanwhile, its resident memory before and after
# and the stations it saved; then over the RUNS runs (5 unless given) the lowest, median
# and highest lines per second, CPU seconds and bytes of resident memory gained per
# station saved. STATIONS is the number of calls in the feed (12000 unless given): with
# 60,000 lines, STATIONS=48000 makes the start-up burst of a wide filter, four lines in
# five a station not heard before. OUT=folder keeps what the walks leave (screenshots, logs; one folder a run); NICE=-10 runs the program ahead of other work on a shared
# machine; PERF=1 records the program's CPU with call graphs into $OUT/perf.data;
# XSESSION names the X session script (xsession.sh DISPLAY COMMAND...; by default the
# one in ../shared/tools beside the project). FEED_ARGS adds arguments to the feed
# (aprs_is_feed.py); PROBE=1 samples the program's memory and its main window's answer
# time meanwhile (window_probe.py) into $OUT/probe.txt. SCROLL_UP=1 scrolls the monitor
# up a little once the feed runs, as a user reading it does, and writes the clock of that
# moment (as window_probe.py gives it) into $OUT/scrolled.txt; SCROLL_UP=end does the
# same but leaves the monitor at its end, the walk to compare with. END_BY=term ends the
# program with SIGTERM instead of its close button and writes the seconds it took to go
# into $OUT/end.txt.
set -eu
bin=$(cd "$1" && pwd)
lines=${2:-60000}
display=${3:-77}
runs=${4:-5}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/walk_common.sh"
base=${OUT:-$(mktemp -d /tmp/velmora-walk.XXXXXX)}
call=N0CALL

# One walk into the folder $out: the program started afresh, fed, closed.
walk() {
out=$1
port=$((20000 + RANDOM % 20000))

program_folder "$out" "$bin"
loopback_settings "$out" "$port" "$call"

python3 "$here/aprs_is_feed.py" --port "$port" --lines "$lines" --call "$call" \
  --stations "${STATIONS:-12000}" --save "$out/feed.txt" --timeout "${TIMEOUT:-300}" \
  ${FEED_ARGS:-} > "$out/feed.log" 2>&1 &
feed=$!

cat > "$out/session.sh" <<'EOF'
#!/usr/bin/env bash
# Runs inside the X session: start, open the windows, connect, wait, close.
set -u
. "$HERE/walk_common.sh"
start_program
wmctrl -l > "$OUT/windows.txt"
import -window root "$OUT/start.png"
if [ "${PERF:-0}" = 1 ]; then
  perf record -F 999 --call-graph dwarf,16384 -p "$pid" -o "$OUT/perf.data" > "$OUT/perf.log" 2>&1 &
  perfpid=$!
fi
# The station list from the station counter under the map, moved beside the main
# window; then the TCP button of the tool panel (the main window at its first-start place).
xdotool mousemove 290 499 click 1
sleep 1
wmctrl -r Stationsliste -e 0,760,40,510,600
sleep 1
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$pid/status"; }
before=$(cpu)
rss_before=$(rss)
if [ "${PROBE:-0}" = 1 ]; then
  window=$(xdotool search --onlyvisible --name "APRS station" | head -1)
  python3 "$HERE/window_probe.py" --pid "$pid" --window "$window" > "$OUT/probe.txt" 2>&1 &
  probepid=$!
fi
# Reading the monitor needs the feed running: the server is up once the feed is made.
if [ "${SCROLL_UP:-0}" != 0 ]; then
  while ! grep -q '^feed:' "$OUT/feed.log"; do sleep 0.5; done
fi
xdotool mousemove 49 173 click 1
if [ "${SCROLL_UP:-0}" != 0 ]; then
  # The wheel over the monitor, under the map, once it holds more than it shows.
  sleep 3
  if [ "$SCROLL_UP" = 1 ]; then xdotool mousemove 300 545 click --repeat 5 --delay 100 4; fi
  python3 -c 'import time; print(time.monotonic())' > "$OUT/scrolled.txt"
  sleep 2
  import -window root "$OUT/scrolled.png"
fi
while kill -0 "$FEED_PID" 2>/dev/null; do sleep 0.2; done
if [ "${PROBE:-0}" = 1 ]; then kill "$probepid"; fi
echo "program CPU: $(( $(cpu) - before )) ticks of $(getconf CLK_TCK)/s" > "$OUT/cpu.txt"
echo "program memory: $rss_before KB before, $(rss) KB after" >> "$OUT/cpu.txt"
import -window root "$OUT/end.png"
if [ "${PERF:-0}" = 1 ]; then kill -INT "$perfpid"; wait "$perfpid"; fi
if [ "${END_BY:-close}" = term ]; then
  end_by_term "$pid" "$OUT/end.txt"
else
  wmctrl -c "APRS station"
  sleep 3
  import -window root "$OUT/closing.png"
  answer_until_ended "$pid"
fi
EOF
chmod +x "$out/session.sh"
HERE=$here OUT=$out FEED_PID=$feed "${XSESSION:-$here/../../shared/tools/xsession.sh}" "$display" "$out/session.sh" || true
wait $feed || true
cat "$out/feed.log" "$out/cpu.txt"
echo "stations saved: $(wc -l < "$out/prg/Stn.dat" 2>/dev/null || echo none)"
echo "output: $out"
}

: > "$base/runs.txt"
for run in $(seq "$runs"); do
  echo "== run $run of $runs"
  walk "$base/run$run"
  rate=$(sed -n 's/.* \([0-9]*\) lines\/s$/\1/p' "$base/run$run/feed.log")
  ticks=$(sed -n 's/program CPU: \([0-9]*\) ticks.*/\1/p' "$base/run$run/cpu.txt")
  cpu=$(awk -v t="${ticks:-0}" -v hz="$(getconf CLK_TCK)" 'BEGIN {printf "%.1f", t / hz}')
  saved=$(wc -l < "$base/run$run/prg/Stn.dat" 2>/dev/null || echo 0)
  per_station=$(sed -n 's/program memory: \([0-9]*\) KB before, \([0-9]*\) KB after/\1 \2/p' \
    "$base/run$run/cpu.txt" | awk -v n="$saved" '{printf "%.0f", (n > 0 ? ($2 - $1) * 1024 / n : 0)}')
  echo "${rate:-0} $cpu ${per_station:-0}" >> "$base/runs.txt"
done
echo "== $runs runs of $lines lines (min / median / max)"
spread_columns "$base/runs.txt" \
  "lines/s:" "program CPU s:" "bytes a station saved:"
