#!/usr/bin/env bash
# Fails when a file outside the desktop backend (and its own tests) includes a toolkit header:
# program code reaches the desktop only through the ports.
set -euo pipefail
cd "$(dirname "$0")/../.."
pattern='#include *<(gtk/|gdk/|webkit2/|X11/|cairo|pango|libwnck|atspi|glib|gio/)'
leaks=$(git ls-files '*.cpp' '*.h' | grep -v -e '^platform/gtk/' -e '^tests/e2e/' | xargs grep -nE "$pattern" || true)
if [ -n "$leaks" ]; then
  echo "toolkit headers outside platform/gtk/:"
  echo "$leaks"
  exit 1
fi
echo "layers clean"
