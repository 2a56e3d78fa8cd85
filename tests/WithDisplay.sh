#!/usr/bin/env bash
# Runs a command under a private Xvfb with Mesa's software OpenGL, so display tests can run in
# parallel: WithDisplay.sh program [args...]. The X server picks a free display number itself.
set -uo pipefail

dir=$(mktemp -d)
server=""
cleanup() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
  fi
  rm -rf "$dir"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp -noreset +extension GLX 3>"$dir/display" \
  2>"$dir/xvfb.log" &
server=$!
for _ in $(seq 1 200); do
  [ -s "$dir/display" ] && break
  if ! kill -0 "$server" 2>/dev/null; then
    echo "Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    exit 1
  fi
  sleep 0.05
done
if [ ! -s "$dir/display" ]; then
  echo "Xvfb gave no display number" >&2
  exit 1
fi

# No accessibility bus runs beside the private display: GTK is told not to look for one. Mesa
# rasterises on the drawing thread: display tests run side by side anyway, and no rasteriser
# threads are still winding down when the leak checker stops the process at its exit.
run() {
  DISPLAY=":$(head -n 1 "$dir/display")" LIBGL_ALWAYS_SOFTWARE=1 LP_NUM_THREADS=0 NO_AT_BRIDGE=1 "$@" \
    2>"$dir/stderr"
  local status=$?
  cat "$dir/stderr" >&2
  return $status
}
run "$@"
status=$?
# LeakSanitizer's own tracer now and then crashes at a process's exit, after the test has passed:
# a known fault of the sanitizer, not a leak report. Only such a run is repeated, once.
if [ $status -ne 0 ] && grep -q "^Tracer caught signal" "$dir/stderr"; then
  echo "the leak checker's tracer crashed: running once more" >&2
  run "$@"
  status=$?
fi
exit $status
