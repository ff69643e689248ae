#!/usr/bin/env bash
# Measures the search inside its own private network (needs root).
#   bench/run-search-bench.sh [BUILD_DIR]   (default: build/release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
for program in cardsim search_bench; do
  [ -x "$build/bin/$program" ] || { echo "run-search-bench: $build/bin/$program is missing; build first" >&2; exit 2; }
done
. "$root/scripts/common.sh"
status=0
as_root "$root/scripts/private-lan.sh" --lans 1 --cardsim "$build/bin/cardsim" -- "$build/bin/search_bench" || status=$?
as_root "$root/scripts/private-lan.sh" --lans 1 --links 2 --cardsim "$build/bin/cardsim" \
  -- "$build/bin/search_bench" --two-adapters || status=$?
exit "$status"
