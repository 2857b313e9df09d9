# Shell functions shared by the benchmarks that run the built program on an X display;
# sourced, not run.

# Ends the program of process $1 once its main window was asked to close: answers each
# box closing may show (the settings written anew, say) until it has gone.
answer_until_ended() {
  for _ in $(seq 60); do
    kill -0 "$1" 2>/dev/null || break
    xdotool key Return
    sleep 0.5
  done
  kill "$1" 2>/dev/null
  wait "$1"
}

# Lowest, median and highest of the numbers on standard input.
spread() {
  sort -g | awk '{v[NR] = $1} END {
    if (NR == 0) { print "none"; exit }
    printf "%s / %s / %s\n", v[1], (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[NR] }'
}

# For each column of the file $1 (numbers apart by blanks, a run a line), the next of the
# labels that follow and the spread of that column.
spread_columns() {
  local file=$1 column=1
  shift
  for label; do
    echo "$label $(cut -d' ' -f"$column" "$file" | spread)"
    column=$((column + 1))
  done
}

# A program folder of its own in $1/prg for the program built into the folder $2: the
# binary copied (it finds its folder from its own path), the shipped files linked.
program_folder() {
  local name
  mkdir -p "$1/prg"
  for f in "$2"/*; do
    name=$(basename "$f")
    case $name in velmora|Stn.dat) ;; *) ln -sf "$f" "$1/prg/$name" ;; esac
  done
  cp "$2/velmora" "$1/prg/velmora"
}

# The settings of the call $2 in $1/config, the program's XDG_CONFIG_HOME (so that the
# first start asks for none); the registry lines that follow go under "Programm".
write_settings() {
  local out=$1 call=$2
  shift 2
  mkdir -p "$out/config/Velmora"
  {
    echo 'Velmora registry 1'
    echo 'key "Software" "Velmora" "Programm" "Station"'
    echo "string \"CallP1\" \"$call\""
    if [ $# -gt 0 ]; then
      echo 'key "Software" "Velmora" "Programm" "Programm"'
      printf '%s\n' "$@"
    fi
    echo end
  } > "$out/config/Velmora/registry"
}

# The program folder $1/prg offers only the loopback server on port $2 (aprs_is_feed.py),
# and the settings log the call $3 in to it; the registry lines that follow are added.
loopback_settings() {
  local out=$1 port=$2 call=$3
  shift 3
  # A link to the shipped list: replaced, never written through.
  rm -f "$out/prg/Server.dat"
  printf '127.0.0.1:%s ;loopback\r\n' "$port" > "$out/prg/Server.dat"
  write_settings "$out" "$call" \
    "integer \"TcpValidNr\" $(python3 "$(dirname "${BASH_SOURCE[0]}")/aprs_is_feed.py" \
      --passcode --call "$call")" \
    'integer "TcpServer" 0' "$@"
}

# Starts the program of $OUT/prg with the settings of $OUT/config (its output into
# $OUT/program.log) and gives its windows time to settle; sets pid.
start_program() {
  cd "$OUT/prg" || return
  XDG_CONFIG_HOME="$OUT/config" nice -n "${NICE:-0}" ./velmora > "$OUT/program.log" 2>&1 &
  pid=$!
  for _ in $(seq 100); do wmctrl -l | grep -q . && break; sleep 0.2; done
  sleep 6
}

# Ends the process $1 as a logout ends it: the seconds from SIGTERM until it has gone
# into the file $2 ("ended in S s").
end_by_term() {
  local start
  start=$(date +%s.%N)
  kill -TERM "$1"
  while kill -0 "$1" 2>/dev/null; do sleep 0.05; done
  echo "ended in $(echo "$(date +%s.%N) - $start" | bc) s" > "$2"
}
