#!/usr/bin/env bash
# The built program started on a damaged "Stn.dat": a few thousand stations with a line
# of a GiB of NULs among them (a broken disk). Per run: the seconds from start to the
# main window on screen, and the program's peak resident memory (/usr/bin/time -v) over
# start, the stations' loading and closing; then the lowest, median and highest of each.
# Needs: xvfb openbox wmctrl xdotool.
#
#   bench/damaged_start.sh build/release/bin STATION_FILE [DISPLAY_NUMBER] [RUNS]
#
# STATION_FILE is a healthy "Stn.dat" (one saved by a walk of program_walk.sh); its first
# half, the NULs and its second half make the damaged one.
set -eu
bin=$(cd "$1" && pwd)
stations=$2
display=${3:-79}
runs=${4:-5}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/walk_common.sh"
base=${OUT:-$(mktemp -d /tmp/velmora-damaged.XXXXXX)}

program_folder "$base" "$bin"
write_settings "$base" N0CALL
half=$(( $(stat -c %s "$stations") / 2 ))
{
  head -c "$half" "$stations"
  printf '\r\n'
  head -c $((1 << 30)) /dev/zero
  printf '\r\n'
  tail -c +"$((half + 1))" "$stations"
} > "$base/damaged.dat"

cat > "$base/session.sh" <<'SESSION'
#!/usr/bin/env bash
# Runs inside the X session: start, wait for the main window, close.
set -u
. "$HERE/walk_common.sh"
cd "$OUT/prg"
cp "$OUT/damaged.dat" Stn.dat
start=$(date +%s.%N)
XDG_CONFIG_HOME="$OUT/config" /usr/bin/time -v -o "$OUT/time.txt" ./velmora > "$OUT/program.log" 2>&1 &
pid=$!
xdotool search --sync --onlyvisible --name "APRS station" > /dev/null
echo "$(date +%s.%N) - $start" | bc > "$OUT/window.txt"
sleep 5
wmctrl -c "APRS station"
answer_until_ended "$pid"
SESSION
chmod +x "$base/session.sh"

: > "$base/runs.txt"
for run in $(seq "$runs"); do
  HERE=$here OUT=$base "${XSESSION:-$here/../../shared/tools/xsession.sh}" "$display" "$base/session.sh" || true
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$base/time.txt")
  echo "run $run: window after $(cat "$base/window.txt") s, peak $((peak / 1024)) MB"
  echo "$(cat "$base/window.txt") $((peak / 1024))" >> "$base/runs.txt"
done
rm -f "$base/damaged.dat" "$base/prg/Stn.dat"
echo "== $runs starts on a damaged Stn.dat (min / median / max)"
spread_columns "$base/runs.txt" \
  "seconds to the main window:" "peak MB:"
