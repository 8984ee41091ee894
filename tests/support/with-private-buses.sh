#!/bin/sh
# Runs a command on D-Bus buses of its own: a private session bus (DBUS_SESSION_BUS_ADDRESS) and a
# second private bus standing in for the system bus (DBUS_SYSTEM_BUS_ADDRESS), in a throwaway home.
# Neither bus starts services on demand: only what the test itself puts on a bus answers there, so
# nothing of the machine's desktop or of systemd is reached, and parallel runs never meet. For a
# keyring as well, run `with-private-buses.sh with-secret-service.sh COMMAND`: the keyring script
# brings its own session bus and home, the system bus stays. Everything is removed at the end.
set -eu

root=$(mktemp -d "${TMPDIR:-/tmp}/burrowlight-buses-XXXXXX")
pids=""
cleanup() {
  for pid in $pids; do
    kill "$pid" 2>/dev/null || true
  done
  rm -rf "$root"
}
trap cleanup EXIT
trap 'exit 143' INT TERM

# Starts a bus on a socket in $root; once it accepts connections, its address is in $bus_address.
start_bus() {
  name=$1
  cat >"$root/$name.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>$name</type>
  <listen>unix:path=$root/$name.socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_type="method_return"/>
    <allow send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="signal"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
  </policy>
</busconfig>
CONF
  mkfifo "$root/$name.address"
  dbus-daemon --nofork --nopidfile --config-file="$root/$name.conf" --print-address=3 \
    3>"$root/$name.address" </dev/null >/dev/null 2>"$root/$name.log" &
  pids="$pids $!"
  bus_address=""
  read -r bus_address <"$root/$name.address" || true
  if [ -z "$bus_address" ]; then
    echo "with-private-buses: the $name bus did not start" >&2
    cat "$root/$name.log" >&2
    exit 1
  fi
}

start_bus session
session_address=$bus_address
start_bus system
system_address=$bus_address

export HOME="$root/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_CACHE_HOME="$HOME/.cache"
export XDG_STATE_HOME="$HOME/.local/state"
export XDG_RUNTIME_DIR="$root/runtime"
mkdir -p "$HOME"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
# No window or browser of the machine's desktop is reached either.
unset DISPLAY WAYLAND_DISPLAY
export DBUS_SESSION_BUS_ADDRESS="$session_address"
export DBUS_SYSTEM_BUS_ADDRESS="$system_address"
export BURROWLIGHT_PRIVATE_BUSES="$root"

status=0
"$@" || status=$?
exit "$status"
