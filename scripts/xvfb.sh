# Sourced: makes sure a display exists.  Without one, starts Xvfb on a free
# display number and stops it when the calling script exits.
pukko_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    PUKKO_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do
      xdpyinfo >/dev/null 2>&1 && break
      sleep 0.1
    done
    # Cleaning up never changes the script's own exit status (set -e holds
    # inside the trap too, so every command in it must succeed).
    trap 'kill $PUKKO_XVFB_PID 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
    return 0
  done
  echo "No free display for Xvfb" >&2
  return 1
}
