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

# A display of the caller's own, whatever DISPLAY says, for pictures that
# must not depend on the desktop a script runs under: Xvfb on the first
# free number from $1 (forty tried) with a screen of $2 (WxHxD).  Sets
# DISPLAY and PUKKO_PRIVATE_XVFB_PID; the caller stops the server.
pukko_private_display() {
  local n
  PUKKO_PRIVATE_XVFB_PID=
  for n in $(seq "$1" "$(($1 + 40))"); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "$2" -nolisten tcp >/dev/null 2>&1 &
    PUKKO_PRIVATE_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 100); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$PUKKO_PRIVATE_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$PUKKO_PRIVATE_XVFB_PID" 2>/dev/null || true
    PUKKO_PRIVATE_XVFB_PID=
  done
  echo "Xvfb did not start" >&2
  return 1
}
