#!/usr/bin/env bash
# Runs a command on a private virtual desktop and exits with the command's status.
#
# Starts Xvfb on a free display, openbox on it, a private session bus and private XDG folders,
# so a test never touches the user's own desktop, bus or settings, even when DISPLAY is set.
# Everything started here is stopped on exit. Parallel runs get separate displays.
#
# Usage: with-desktop.sh CMD [ARGS...]
# With QN_DESKTOP_ACCESSIBILITY=on (or off) the accessibility bus runs too, with accessibility
# enabled (or not), before the command starts: applications started later expose their
# accessibility trees (Chromium only when it is enabled at its start).
# shellcheck disable=SC2317 # the clean-up functions run from the EXIT trap
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: $0 CMD [ARGS...]" >&2
  exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/qn-desktop.XXXXXX")
chmod 700 "$work"
pids=()
session=""

# True while a process of the command's session, other than a zombie, is left.
session_alive() {
  ps -e -o sid=,stat= | awk -v s="$session" '$1 == s && $2 !~ /^Z/ { found = 1 } END { exit !found }'
}

cleanup() {
  local pid
  # Helpers the command leaves behind (web engine processes outlive their parent for a moment)
  # go first, so none of them is still using the desktop or the folders removed below.
  if [[ -n $session ]]; then
    kill -TERM -- "-$session" 2>/dev/null || true
    for _ in $(seq 50); do session_alive || break; sleep 0.1; done
    kill -KILL -- "-$session" 2>/dev/null || true
  fi
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

fail() {
  echo "with-desktop: $*" >&2
  for log in "$work"/*.log; do
    [[ -s $log ]] && { echo "--- $log" >&2; cat "$log" >&2; }
  done
  exit 125
}

# Xvfb picks a free display and writes its number, followed by a newline, once it accepts clients.
# Without -noreset the server resets whenever its last client leaves, and a client connecting
# during the reset is refused.
Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [[ $(wc -l <"$work/display") -ge 1 ]] && break
  kill -0 "${pids[0]}" 2>/dev/null || fail "Xvfb exited"
  sleep 0.05
done
[[ $(wc -l <"$work/display") -ge 1 ]] || fail "Xvfb did not report a display"
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY

# Programs must find only this desktop: X11, no Wayland, and their own runtime and settings folders.
unset WAYLAND_DISPLAY
export GDK_BACKEND=x11
export XDG_RUNTIME_DIR="$work/runtime"
export XDG_CONFIG_HOME="$work/config"
export XDG_DATA_HOME="$work/data"
export XDG_CACHE_HOME="$work/cache"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"

eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")

# A sound server with a silent microphone, so pages can ask for one; without any audio device the
# web engine refuses before asking the host.
if command -v pulseaudio >/dev/null 2>&1; then
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=out" --load="module-null-source source_name=mic" \
    >"$work/pulseaudio.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    [[ -S "$XDG_RUNTIME_DIR/pulse/native" ]] && break
    sleep 0.05
  done
fi

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# The window manager is ready once it has announced itself on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" || fail "openbox did not start"

case "${QN_DESKTOP_ACCESSIBILITY:-}" in
  on | off)
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
      dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>&1 && break
      sleep 0.05
    done
    enabled=false
    [[ $QN_DESKTOP_ACCESSIBILITY == on ]] && enabled=true
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
      org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
      "variant:boolean:$enabled" >/dev/null 2>&1 || fail "the accessibility bus did not start"
    ;;
  "") ;;
  *) fail "QN_DESKTOP_ACCESSIBILITY must be on or off" ;;
esac

# Its own session, so that everything it starts can be found and stopped afterwards; stdin is
# passed on explicitly because a background command would otherwise read /dev/null.
setsid "$@" <&0 &
session=$!
status=0
wait "$session" || status=$?
exit "$status"
