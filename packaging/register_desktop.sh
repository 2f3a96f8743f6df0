#!/usr/bin/env bash
# Makes the desktop know a QUENTRA bundle where it now stands: installs the bundle's desktop
# entry among the user's applications, its Exec line pointing at the bundle's executable, and
# makes it the handler of quentra: links.
#
# Usage: register_desktop.sh -f BUNDLE
#
# Exits 0 when both are in place. Files are replaced by renaming, so a reader never sees half
# of one; other handlers in mimeapps.list are kept.
set -euo pipefail

if [[ $# -ne 2 || $1 != -f ]]; then
  echo "usage: $0 -f BUNDLE" >&2
  exit 2
fi
bundle=${2%/}
entry="$bundle/Contents/Resources/quentra.desktop"
executable="$bundle/Contents/MacOS/QUENTRA"
if [[ ! -f $entry || ! -x $executable ]]; then
  echo "$bundle is not a QUENTRA bundle" >&2
  exit 1
fi
if [[ $executable == *$'\n'* ]]; then
  echo "a desktop entry cannot name a path with a line break" >&2
  exit 1
fi

applications="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
config="${XDG_CONFIG_HOME:-$HOME/.config}"
mkdir -p "$applications" "$config"

# The Exec argument quoted as desktop entries want it: in double quotes with ", `, $ and \
# escaped, then every backslash doubled for the string value, and % written as %%.
quoted=${executable//\\/\\\\}
quoted=${quoted//\"/\\\"}
quoted=${quoted//\`/\\\`}
quoted=${quoted//\$/\\\$}
quoted="\"$quoted\""
quoted=${quoted//\\/\\\\}
quoted=${quoted//%/%%}

# Writes standard input to $1 through a temporary file beside it.
replace() {
  local temporary
  temporary=$(mktemp "$1.XXXXXX")
  if ! cat >"$temporary" || ! chmod 644 "$temporary" || ! mv -f "$temporary" "$1"; then
    rm -f "$temporary"
    return 1
  fi
}

EXEC_LINE="Exec=$quoted %u" awk '/^Exec=/ { print ENVIRON["EXEC_LINE"]; next } { print }' \
  "$entry" | replace "$applications/quentra.desktop"

# The default handler, in [Default Applications] of the user's mimeapps.list.
list="$config/mimeapps.list"
handler="x-scheme-handler/quentra=quentra.desktop"
{ [[ -f $list ]] && cat "$list"; true; } | HANDLER="$handler" awk '
  /^\[/ { inDefaults = ($0 == "[Default Applications]") }
  inDefaults && index($0, "x-scheme-handler/quentra=") == 1 { next }
  { print }
  inDefaults && /^\[/ && !done { print ENVIRON["HANDLER"]; done = 1 }
  END { if (!done) { if (NR) print ""; print "[Default Applications]"; print ENVIRON["HANDLER"] } }' \
  | replace "$list"

if command -v update-desktop-database >/dev/null 2>&1; then
  update-desktop-database "$applications" >/dev/null 2>&1 || true
fi
