# Sourced by the project's scripts: a private virtual X display (Xvfb) for
# running hueline.exe where there is no screen, as in CI.
#
#   xvfb_for_script LOGDIR   start one for the rest of the calling script: it
#                            is stopped when the script exits, after every
#                            process of the Wine prefix has been ended
#   xvfb_start LOGDIR        start one on a free display number and export DISPLAY
#   xvfb_stop                stop it again (safe to call twice, or when none runs)
#
# The server listens on an abstract local socket only and keeps no lock file,
# so it leaves nothing behind in /tmp. Its screen is 1024 x 768 at 24 bits per
# pixel, or at the depth XVFB_DEPTH gives (8: 256 colours through a palette).

xvfb_pid=""

# True when display number $1 is taken by some other X server.
xvfb_taken() {
  [ -e "/tmp/.X11-unix/X$1" ] || [ -e "/tmp/.X$1-lock" ] ||
    grep -q "@/tmp/.X11-unix/X$1\$" /proc/net/unix 2>/dev/null
}

xvfb_start() {
  local logdir=$1 n ready tries
  mkdir -p "$logdir"
  for n in $(seq 90 189); do
    xvfb_taken "$n" && continue
    rm -f "$logdir/xvfb.display"
    Xvfb ":$n" -nolock -nolisten tcp -nolisten unix -screen 0 "1024x768x${XVFB_DEPTH:-24}" \
      -displayfd 3 3>"$logdir/xvfb.display" </dev/null >"$logdir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    # Xvfb writes the display number to fd 3 once clients can connect.
    for tries in $(seq 1 100); do
      ready=$(cat "$logdir/xvfb.display" 2>/dev/null || true)
      [ -n "$ready" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ -n "$ready" ]; then
      export DISPLAY=":$n"
      return 0
    fi
    xvfb_stop
  done
  echo "xvfb: no display could be started (see $logdir/xvfb.log)" >&2
  return 1
}

xvfb_stop() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    local tries
    for tries in $(seq 1 50); do
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  fi
}

xvfb_for_script() {
  trap xvfb_end EXIT
  xvfb_start "$1"
}

xvfb_end() {
  timeout -k 5 60 "${HUELINE_WINESERVER:-wineserver}" -k >/dev/null 2>&1 || true
  xvfb_stop
}
