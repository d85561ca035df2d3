# Sourced by the scripts that run the simulator in the background beside something else.

# start_simulator DIR PROGRAM [ARGS...]: starts it with its output in DIR/simulator.out, sets
# $simulator to its process id, and stops it and removes DIR when the script exits.
start_simulator() {
  local dir=$1
  shift
  "$@" >"$dir/simulator.out" 2>&1 &
  simulator=$!
  trap "kill $simulator 2>/dev/null || true; wait $simulator 2>/dev/null || true; rm -rf '$dir'" EXIT
}

# simulator_link DIR PREFIX: waits for the first line, where the simulator names its link
# ("PTY <path>", "UDP <address>:<port>"), and prints what follows the prefix; fails, showing
# its output, if the simulator ends first.
simulator_link() {
  until grep -q "^$2 " "$1/simulator.out"; do
    kill -0 "$simulator" 2>/dev/null || { cat "$1/simulator.out" >&2; return 1; }
    sleep 0.1
  done
  sed -n "s/^$2 //p" "$1/simulator.out"
}
