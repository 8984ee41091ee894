#!/bin/sh
# Runs a command against a secret service of its own: a private session bus and an unlocked
# gnome-keyring in a throwaway home, so that the user's keyring is never touched and parallel runs
# never meet. Everything is removed when the command ends.
set -eu

home=$(mktemp -d "${TMPDIR:-/tmp}/burrowlight-keyring-XXXXXX")
cleanup() {
  # The daemon leaves on its own once its bus is gone, removing its control folder as it goes;
  # give it a moment so that it writes nothing into a folder already removed.
  tries=0
  while [ -e "$home/runtime/keyring" ] && [ "$tries" -lt 50 ]; do
    sleep 0.1
    tries=$((tries + 1))
  done
  rm -rf "$home"
}
trap cleanup EXIT
trap 'exit 143' INT TERM

export HOME="$home"
export XDG_DATA_HOME="$home/.local/share"
export XDG_CONFIG_HOME="$home/.config"
export XDG_CACHE_HOME="$home/.cache"
# The daemon keeps its control socket here; a shared folder would let parallel runs collide.
export XDG_RUNTIME_DIR="$home/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
# With a display the daemon would open a password window instead of failing.
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
export BURROWLIGHT_THROWAWAY_KEYRING="$home"

status=0
dbus-run-session -- sh -c '
  printf pass | gnome-keyring-daemon --unlock --components=secrets >/dev/null
  exec "$@"
' sh "$@" || status=$?
exit "$status"
