#!/usr/bin/env bash
# Installs what building, testing and the demo need on Debian 12.
set -euo pipefail

packages=(
  build-essential cmake ninja-build git pkg-config
  libgtest-dev libgmock-dev nlohmann-json3-dev
  qt6-base-dev
  iproute2 util-linux
  xvfb x11-apps imagemagick
  # Liberation Sans has the widths of the Windows faces the window asks for
  # (see app/font_substitutes.h); WenQuanYi Micro Hei draws its Chinese texts.
  fonts-liberation2 fonts-wqy-microhei
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
else
  echo "setup: every package is already installed"
fi
