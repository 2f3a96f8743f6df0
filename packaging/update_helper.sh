#!/usr/bin/env bash
# Installs a staged QUENTRA bundle over the one that ran, then starts it.
#
# Usage: update_helper.sh SHELL_PID CURRENT_APP STAGED_APP DATA_DIR
#
# The shell starts this and exits at once. The script waits for that process to end, puts a full
# copy of the staged bundle beside the current one, swaps the two by renaming (so at every moment
# one complete bundle stands at CURRENT_APP), removes the old one and starts the new shell on the
# same data directory. Each step is logged to DATA_DIR/logs/update.log.
set -u

shell_pid=$1
current=${2%/}
staged=${3%/}
data_dir=$4

mkdir -p "$data_dir/logs"
log="$data_dir/logs/update.log"
say() { printf '%s %s\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$*" >>"$log"; }

start_shell() {
  setsid "$1/Contents/MacOS/QUENTRA" --data-dir "$data_dir" </dev/null >/dev/null 2>&1 &
}

for _ in $(seq 600); do
  kill -0 "$shell_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$shell_pid" 2>/dev/null; then
  say "the shell (pid $shell_pid) is still running after 60 s; update not installed"
  exit 1
fi
if [[ ! -x "$staged/Contents/MacOS/QUENTRA" ]]; then
  say "no QUENTRA executable in $staged; starting the current bundle again"
  start_shell "$current"
  exit 1
fi

parent=$(dirname "$current")
name=$(basename "$current")
incoming="$parent/.$name.incoming-$$"
outgoing="$parent/.$name.outgoing-$$"

rm -rf "$incoming"
if ! cp -a "$staged" "$incoming"; then
  say "copying $staged failed; starting the current bundle again"
  rm -rf "$incoming"
  start_shell "$current"
  exit 1
fi
if [[ -e "$current" ]] && ! mv "$current" "$outgoing"; then
  say "moving $current aside failed; starting it again"
  rm -rf "$incoming"
  start_shell "$current"
  exit 1
fi
if ! mv "$incoming" "$current"; then
  say "putting the new bundle in place failed; restoring the old one"
  [[ -e "$outgoing" ]] && mv "$outgoing" "$current"
  rm -rf "$incoming"
  start_shell "$current"
  exit 1
fi
rm -rf "$outgoing"
rm -f "$data_dir/updates/pending.json"
say "installed $staged as $current"
start_shell "$current"
