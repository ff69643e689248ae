#!/usr/bin/env bash
# Cross-builds Orvell.dll, pindle.dll and their tests for Windows with
# mingw-w64, then runs the tests under wine inside a private network namespace
# that this script makes: two LANs of its own, never the machine's network.
# Ends with the line "windows tests: N passed, M failed"; exits non-zero when a
# test failed or could not run.
set -euo pipefail
self="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"
readonly self
cd "$(dirname "$self")/.."

readonly build_dir=build/windows
# The harness's interfaces: the names begin with "kv" (the tests refuse to
# send when any other interface but lo is visible); each LAN's far end has no
# address, so nothing answers there but what the tests emulate.
readonly lan_a=kvw0 lan_a_address=192.168.77.2/24
readonly lan_b=kvw1 lan_b_address=10.77.0.2/24

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
  local packages=(mingw-w64 wine wine64 cmake ninja-build libgtest-dev iproute2 util-linux)
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "windows tests: installing ${missing[*]}"
    as_root apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# Runs inside the new namespace: the LANs, a private wine prefix, ctest.
run_inside_private_network() {
  # A namespace of our own starts with nothing but lo; the machine's has more.
  local interfaces
  interfaces=$(ip -o link show | awk -F': ' '{ sub(/@.*/, "", $2); print $2 }' | tr '\n' ' ')
  if [ "$interfaces" != "lo " ]; then
    echo "windows tests: refusing to run outside a new network namespace (interfaces: $interfaces)" >&2
    exit 3
  fi
  ip link set lo up
  ip link add "$lan_a" type veth peer name "${lan_a}p"
  ip link add "$lan_b" type veth peer name "${lan_b}p"
  ip addr add "$lan_a_address" dev "$lan_a"
  ip addr add "$lan_b_address" dev "$lan_b"
  for link in "$lan_a" "${lan_a}p" "$lan_b" "${lan_b}p"; do ip link set "$link" up; done
  # Without a route a broadcast cannot leave at all.
  ip route add default dev "$lan_a"

  WINEPREFIX=$(mktemp -d /tmp/kestrum-wine.XXXXXX)
  export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" KESTRUM_PRIVATE_LAN=1
  trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
  echo "=== windows: new wine prefix"
  # One wine server for the prefix and every test program, kept until the end.
  wineserver -p
  wineboot -i >/dev/null 2>&1
  echo "=== windows: tests under wine"
  local status=0
  ctest --test-dir "$build_dir" --output-on-failure --timeout 300 2>&1 | tee "$build_dir/windows-tests.log" || status=$?
  exit "$status"
}

if [ "${1:-}" = "--inside-private-network" ]; then
  run_inside_private_network
fi

install_packages
echo "=== windows: configure and cross-build"
cmake --preset windows
cmake --build --preset windows --parallel "$(nproc)"

status=0
rm -f "$build_dir/windows-tests.log"
as_root unshare --net -- "$self" --inside-private-network || status=$?

summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$build_dir/windows-tests.log" | tail -n 1 || true)
if [ -n "$summary" ]; then
  failed=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$summary")
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  passed=$((total - failed))
else
  # ctest never got to its summary: count the whole run as one failure.
  passed=0 failed=1
fi
echo "windows tests: $passed passed, $failed failed"
if [ "$status" -ne 0 ] || [ "$failed" -ne 0 ]; then exit 1; fi
