#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need.
# Idempotent: packages already present are left alone and apt-get runs only
# when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  libgtk-3-dev libwebkit2gtk-4.1-dev libcurl4-openssl-dev
  nlohmann-json3-dev libsimdjson-dev libgtest-dev libgmock-dev libbenchmark-dev
  libwnck-3-dev libturbojpeg0-dev libpng-dev libatspi2.0-dev libxtst-dev libxi-dev libxcomposite-dev libcanberra-dev sound-theme-freedesktop
  xvfb openbox xdotool x11-utils imagemagick dbus-x11 at-spi2-core pulseaudio gstreamer1.0-pulseaudio
  # A real browser as the companion's worker window in the desktop tests.
  chromium
  libicu-dev tmux procps fonts-wqy-microhei libglib2.0-bin
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# The service runtime may come from another repository; any working node will do.
command -v node >/dev/null 2>&1 || missing+=(nodejs)

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
