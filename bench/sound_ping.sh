#!/usr/bin/env bash
# Sound that costs the window nothing: the built program with its own sound server (a
# private PulseAudio server whose one output is a null sink, heard by nobody but played
# in real time), logged in to the loopback server (aprs_is_feed.py), which sends 3
# stations not heard before, 8 s apart. Its main window is pinged every 50 ms
# (window_probe.py) from QUIET seconds (8 unless given) before the first station until
# AFTER seconds (5 unless given) after the last, about 30 s; then it is ended with
# SIGTERM (AFTER=1: while the last call is still spoken). Each run does this
# twice: with the new-station sound and the spoken calls on (the defaults), and with
# both off.
# Needs: xvfb openbox wmctrl xdotool pulseaudio pulseaudio-utils.
#
#   bench/sound_ping.sh build/release/bin [DISPLAY_NUMBER] [RUNS]
#
# Per run and mode: the pings answered, the longest answer, the seconds pinged, the
# seconds SIGTERM took and the sounds played (the server's streams, the start sound
# among them); then over the RUNS runs (3 unless given) the lowest, median and highest
# of each, and in how many runs each target held: with sound the longest answer at
# most 250 ms and at most the silent run's + 150 ms, at least 90 % as many answers, and
# SIGTERM at most 2 s slower. OUT=folder keeps what the walks leave; XSESSION names
# the X session script, as for program_walk.sh.
set -eu
bin=$(cd "$1" && pwd)
display=${2:-83}
runs=${3:-3}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/walk_common.sh"
base=${OUT:-$(mktemp -d /tmp/velmora-sound-ping.XXXXXX)}
mkdir -p "$base"
xsession=${XSESSION:-$here/../../shared/tools/xsession.sh}
[ -x "$xsession" ] || { echo "no X session script at $xsession: set XSESSION" >&2; exit 1; }
call=N0CALL
stations=3
gap=8

# The server's socket and state under /tmp (a socket's path is short); its HOME and
# runtime folder are the program's too, so nothing of the user's own is read or written.
sound=$(mktemp -d /tmp/velmora-pulse.XXXXXX)
mkdir -m 700 "$sound/runtime"
export HOME=$sound XDG_RUNTIME_DIR=$sound/runtime PULSE_SERVER=unix:$sound/runtime/server
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no -L module-null-sink \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$sound/runtime/server" \
  > "$base/pulseaudio.log" 2>&1 &
server=$!
awake=""
trap 'kill $awake 2>/dev/null; wait $awake 2>/dev/null
      kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$sound"' EXIT
until pactl info > /dev/null 2>&1; do
  kill -0 $server 2>/dev/null || { cat "$base/pulseaudio.log"; exit 1; }
  sleep 0.2
done
# An idle null sink wakes only every 2 s: each file would end up to 2 s late, a spoken
# call would take 17 s instead of 5. Silence on a stream of low latency keeps it awake,
# so that it plays in time as a desktop's output does.
pacat --latency-msec=20 --raw /dev/zero &
awake=$!

# One walk into the folder $1, sound on or off ($2): started, pinged, fed, ended.
walk() {
  local out=$1 port=$((20000 + RANDOM % 20000)) feed events
  program_folder "$out" "$bin"
  if [ "$2" = on ]; then
    loopback_settings "$out" "$port" "$call"
  else
    loopback_settings "$out" "$port" "$call" 'integer "SoundRx" 0' 'integer "SoundCall" 0'
  fi
  python3 "$here/aprs_is_feed.py" --port "$port" --call "$call" --flood 600 \
    --lines "$stations" --rate "$(echo "1 / $gap" | bc -l)" --stamps --timeout 120 \
    > "$out/feed.log" 2>&1 &
  feed=$!
  # Every file played is a stream of its own.
  pactl subscribe > "$out/server_events.txt" 2>&1 &
  events=$!

  cat > "$out/session.sh" <<'EOF'
#!/usr/bin/env bash
# Runs inside the X session: start, ping, connect, wait for the stations, end.
set -u
. "$HERE/walk_common.sh"
start_program
window=$(xdotool search --onlyvisible --name "APRS station" | head -1)
python3 "$HERE/window_probe.py" --pid "$pid" --window "$window" --every 0.05 \
  > "$OUT/probe.txt" 2>&1 &
probe=$!
sleep "${QUIET:-8}"
# The TCP button of the tool panel (the main window at its first-start place).
xdotool mousemove 49 173 click 1
last=""
while [ -z "$last" ] && kill -0 "$FEED_PID" 2>/dev/null; do
  sleep 0.1
  last=$(sed -n "s/^sent $STATIONS at clock \([0-9.]*\)$/\1/p" "$OUT/feed.log")
done
python3 -c 'import sys, time; time.sleep(max(0, float(sys.argv[1]) - time.monotonic()))' \
  "$(echo "${last:-0} + ${AFTER:-5}" | bc)"
kill -USR1 "$probe"
wait "$probe"
python3 -c 'import time; print(f"{time.monotonic():.3f}")' > "$OUT/term_clock.txt"
end_by_term "$pid" "$OUT/end.txt"
EOF
  chmod +x "$out/session.sh"
  HERE=$here OUT=$out FEED_PID=$feed STATIONS=$stations \
    "$xsession" "$display" "$out/session.sh" || true
  kill $events 2>/dev/null || true
  wait $events 2>/dev/null || true
  kill $feed 2>/dev/null || true
  wait $feed 2>/dev/null || true
}

# "ANSWERED LONGEST_MS SECONDS_PINGED SIGTERM_S SOUNDS" of the walk in folder $1; a
# longest answer of -1 when a ping had none, -1 seconds pinged when a station never went,
# -1 seconds SIGTERM when the end was not timed.
walk_figures() {
  local last term ended
  last=$(sed -n "s/^sent $stations at clock \([0-9.]*\)$/\1/p" "$1/feed.log")
  term=$(cat "$1/term_clock.txt" 2>/dev/null || echo 0)
  awk -v last="${last:--1}" -v term="$term" '
    NF == 3 { if (NR == 1) first = $1; if ($3 < 0) bad = 1; else answered++
              if ($3 > worst) worst = $3 }
    END { printf "%d %.1f %.1f", answered, bad ? -1 : worst, last < 0 ? -1 : term - first }' \
    "$1/probe.txt"
  ended=$(sed -n 's/^ended in \([0-9.]*\) s$/\1/p' "$1/end.txt" 2>/dev/null || true)
  printf ' %s %s\n' "${ended:--1}" "$(grep -c "'new' on sink-input" "$1/server_events.txt" || true)"
}

: > "$base/runs.txt"
for run in $(seq "$runs"); do
  for mode in on off; do
    echo "== run $run of $runs, sound $mode"
    walk "$base/run$run-$mode" "$mode"
    walk_figures "$base/run$run-$mode" | tee "$base/run$run-$mode/figures.txt"
  done
  echo "$(cat "$base/run$run-on/figures.txt") $(cat "$base/run$run-off/figures.txt")" \
    >> "$base/runs.txt"
done

echo "== $runs runs, $stations stations $gap s apart (min / median / max; longest -1: a ping unanswered)"
spread_columns "$base/runs.txt" \
  "sound on:  pings answered:" "longest answer ms:" "seconds pinged:" "SIGTERM s:" "sounds played:" \
  "sound off: pings answered:" "longest answer ms:" "seconds pinged:" "SIGTERM s:" "sounds played:"
awk '{ on_n = $1; on_ms = $2; on_term = $4; on_sounds = $5
       off_n = $6; off_ms = $7; off_term = $9; off_sounds = $10
       heard += on_sounds > off_sounds
       a += on_ms >= 0 && on_ms <= 250
       b += on_ms >= 0 && off_ms >= 0 && on_ms <= off_ms + 150
       c += on_n >= 0.9 * off_n
       d += on_term >= 0 && off_term >= 0 && on_term <= off_term + 2 }
     END { printf "more sounds played with sound on than off:  %d of %d runs\n", heard, NR
           printf "longest answer <= 250 ms:                  %d of %d runs\n", a, NR
           printf "longest answer <= sound off + 150 ms:      %d of %d runs\n", b, NR
           printf "pings answered >= 90 %% of sound off:       %d of %d runs\n", c, NR
           printf "SIGTERM <= sound off + 2 s:                %d of %d runs\n", d, NR }' \
  "$base/runs.txt"
echo "output: $base"
