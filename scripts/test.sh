#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds with warnings as errors, and runs
# every test: the plain build, then the sanitizer build. Tests that send
# datagrams run inside private network namespaces that they make themselves.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh

. scripts/common.sh

for preset in dev asan; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  echo "=== $preset: tests"
  # Network tests create namespaces, which needs root.
  as_root ctest --preset "$preset" --timeout 600
done
echo "=== all tests passed"
