# Sourced by the scripts: gives this shell an X display, starting Xvfb when there is none.
# The server is stopped when the sourcing script exits.
tarvo_ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  # Its output goes to a file: an inherited pipe would keep a caller waiting for it.
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"${TMPDIR:-/tmp}/tarvo-xvfb-$n.log" 2>&1 </dev/null &
  TARVO_XVFB_PID=$!
  trap 'kill $TARVO_XVFB_PID 2>/dev/null || true' EXIT
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  return 1
}
