#!/usr/bin/env bash
# Takes a screenshot of a window holding the address edit with
# 192.168.1.100, under a private X server, and writes
# docs/screenshots/ipedit.png. Usage: scripts/screenshot-ipedit.sh [build dir]
# (default build/dev, configured with the dev preset when it does not exist).
set -euo pipefail
cd "$(dirname "$0")/.."

. scripts/common.sh

build_dir=${1:-build/dev}
configure_build_dir "$build_dir"
cmake --build "$build_dir" --target ipedit-demo

output=docs/screenshots/ipedit.png
mkdir -p "$(dirname "$output")"
# A screen the size of the window, which sits at its top-left corner without
# decorations.
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 236x56x24" \
  "$build_dir/bin/ipedit-demo" --screenshot "$output"
echo "wrote $output"
