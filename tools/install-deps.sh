#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcairo2-dev libfreetype-dev libfontconfig1-dev fontconfig fonts-ipafont-gothic
  fonts-ipafont-mincho
  libasound2-dev libspeechd-dev
  libx11-dev libxext-dev libxfixes-dev libxtst-dev xvfb xdotool xclip
  uim-xim uim-anthy xfonts-base locales openbox
  libcups2-dev cups cups-daemon printer-driver-cups-pdf poppler-utils
  libxml2-dev antiword
)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The desktop input method's tests talk to it in a Japanese UTF-8 locale.
if ! locale -a | grep -qix 'ja_JP\.utf-\?8'; then
  "${sudo_cmd[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
