#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the release build, and searches a
# private network of a dozen emulated cards, printing them as the window's
# list shows them. Nothing is sent on the machine's real network: the cards
# and the search live in network namespaces made for this run and removed
# after it.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
cmake --preset release
cmake --build --preset release

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

bin=build/release/bin
echo "=== searching a private network of 12 emulated cards"
# --pc-cards or --cards 2 ... would put cards elsewhere; see private-lan.sh.
as_root ./scripts/private-lan.sh --lans 1 --cardsim "$bin/cardsim" \
  --cards 1 "--count 12 --base-ip 192.168.1.100 --max-delay-ms 100" \
  -- "$bin/cardsearch"
