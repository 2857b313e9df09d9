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
