#!/usr/bin/env bash
# Installs what building, testing and the demo need on Debian 12.
set -euo pipefail

packages=(
  build-essential cmake ninja-build git pkg-config
  libgtest-dev nlohmann-json3-dev
  qt6-base-dev qt6-l10n-tools  # lupdate and lrelease for the window's catalogues
  iproute2 util-linux
  xvfb x11-apps imagemagick
  # Liberation Sans has the widths of the Windows faces the window asks for
  # (see ArialMetricFaces in app/card_search_window.h); WenQuanYi Micro Hei draws its Chinese texts.
  fonts-liberation2 fonts-wqy-microhei
)

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_packages "${packages[@]}"
