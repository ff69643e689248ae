#!/usr/bin/env bash
# Measures a plan over 255 emulated cards on two LANs inside its own private
# network (needs root); about three minutes, most of it the changes made one
# by one for comparison (--plans-only leaves them out).
#   bench/run-batch-bench.sh [BUILD_DIR] [--plans-only]   (default: build/release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/release
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then build=$1; shift; fi
for program in cardsim batch_bench; do
  [ -x "$build/bin/$program" ] || { echo "run-batch-bench: $build/bin/$program is missing; build first" >&2; exit 2; }
done
. "$root/scripts/common.sh"
as_root "$root/scripts/private-lan.sh" --lans 2 --cardsim "$build/bin/cardsim" -- "$build/bin/batch_bench" "$@"
