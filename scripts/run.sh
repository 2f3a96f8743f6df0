#!/usr/bin/env bash
# Starts the built QUENTRA bundle. Without a display it starts a virtual one, waits until the
# service page has been requested, saves a screenshot to <build>/run.png and stops again.
#
# Usage: run.sh BUILD_DIR [QUENTRA OPTIONS...]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
shift || true
app="$build/QUENTRA.app/Contents/MacOS/QUENTRA"
root=$(cd "$(dirname "$0")/.." && pwd)
# The development bundle is not a copy a user downloaded: it is never offered a move.
export QUENTRA_NO_MOVE_PROMPT=1

if [[ -n "${DISPLAY:-}" && "${QN_RUN_HEADLESS:-}" != "inner" ]]; then
  exec "$app" "$@"
fi
if [[ "${QN_RUN_HEADLESS:-}" != "inner" ]]; then
  echo "No DISPLAY: starting QUENTRA on a virtual display."
  QN_RUN_HEADLESS=inner exec "$root/tests/e2e/with-desktop.sh" "$0" "$build" "$@"
fi

# On the virtual display: find the data directory the shell will use, to watch its service log.
data_dir="${QUENTRA_DATA_DIR:-$HOME/Library/Application Support/QUENTRA}"
args=("$@")
for ((i = 0; i < ${#args[@]} - 1; i++)); do
  case "${args[i]}" in --data-dir | -d) data_dir="${args[i + 1]}" ;; esac
done
log="$data_dir/logs/server.log"
start_size=$(stat -c %s "$log" 2>/dev/null || echo 0)

"$app" "$@" &
app_pid=$!
loaded=""
for _ in $(seq 300); do
  if tail -c +"$((start_size + 1))" "$log" 2>/dev/null | grep -q ' GET / 200'; then
    loaded=yes
    break
  fi
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
sleep 1.5  # let the page paint
import -window root "$build/run.png"
kill -TERM "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
if [[ -n "$loaded" ]]; then
  echo "QUENTRA showed the service page; screenshot saved to $build/run.png"
else
  echo "QUENTRA did not load the service page; screenshot of what it showed saved to $build/run.png"
  exit 1
fi
