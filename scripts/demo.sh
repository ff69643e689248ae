#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the release build, starts a dozen
# emulated cards of varied kinds in a private network and opens Kestrum in it.
# With a display the window opens there: press the magnifying glass to search,
# select a card, change its address, press 修改, and search again to find it
# at its new address. Without a display the window runs under a private X
# server, searches once, and the script writes a screenshot and says where.
# Nothing is sent on the machine's real network: the cards and the window live
# in network namespaces made for this run and removed after it.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
cmake --preset release
# Only what the demo runs: the program, the emulator, the command line
# and the screenshot taker.
cmake --build --preset release --target Kestrum cardsim kestrum-cli window_screenshot

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo --preserve-env=DISPLAY,XAUTHORITY "$@"; fi
}

bin=build/release/bin
cards="--cards $(realpath tools/cardsim/examples/demo-cards.json) --max-delay-ms 100"

echo "=== the emulated cards, found by kestrum-cli search"
as_root ./scripts/private-lan.sh --lans 1 --cardsim "$bin/cardsim" --cards 1 "$cards" -- "$(realpath "$bin/kestrum-cli")" search

if [ -n "${DISPLAY:-}" ]; then
  echo "=== opening Kestrum on $DISPLAY; close its window to end the demo"
  # X's socket file under /tmp reaches the display from inside the namespace.
  as_root env XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}" \
    ./scripts/private-lan.sh --lans 1 --cardsim "$bin/cardsim" --cards 1 "$cards" -- "$(realpath "$bin/Kestrum")"
else
  shot=build/release/demo-window.png
  echo "=== no display: searching in Kestrum's window under a private X server"
  KESTRUM_CARDSIM_ARGS="$cards" KESTRUM_SCREENSHOT="$shot" ./scripts/screenshot-window.sh build/release
  echo "=== the window after its search: $(realpath "$shot")"
fi
