#!/bin/sh
# Runs a command on an X server of its own (Xvfb, on the first free display), with Qt drawing there
# (QT_QPA_PLATFORM=xcb). When no X server can start, the command still runs, offscreen, with
# BURROWLIGHT_NO_X_SERVER saying why, so that a test that needs one skips with that reason. Chain it
# after with-private-buses.sh, which takes the machine's own display away.
set -eu

root=$(mktemp -d "${TMPDIR:-/tmp}/burrowlight-xvfb-XXXXXX")
server=""
cleanup() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  rm -rf "$root"
}
trap cleanup EXIT
trap 'exit 143' INT TERM

display=""
if command -v Xvfb >/dev/null 2>&1; then
  mkfifo "$root/display"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$root/display" </dev/null >"$root/log" 2>&1 &
  server=$!
  read -r display <"$root/display" || true
fi

if [ -n "$display" ]; then
  export DISPLAY=":$display"
  export QT_QPA_PLATFORM=xcb
elif [ -z "$server" ]; then
  export BURROWLIGHT_NO_X_SERVER="Xvfb is not installed"
else
  export BURROWLIGHT_NO_X_SERVER="Xvfb did not start: $(tr '\n' ' ' <"$root/log")"
fi

status=0
"$@" || status=$?
exit "$status"
