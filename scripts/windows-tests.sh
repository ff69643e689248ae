#!/usr/bin/env bash
# Cross-builds Kestrum.exe, Orvell.dll, pindle.dll, kestrum-cli.exe and their
# tests for Windows with mingw-w64, against the Qt for Windows that
# scripts/qt-windows.sh makes (or finds cached), packs the .zip and the
# installer, then runs the tests under wine inside a private network
# namespace that this script makes, never on the machine's own network:
#   1. ctest: the protocol unit tests, the window's and the widgets' Qt tests,
#      the crash reports, and Orvell.dll over Winsock against cards emulated
#      inside the test program on two LANs of the namespace;
#   2. against the Linux card emulator cardsim, started in card namespaces of
#      their own behind virtual cables, as real cards answer: the real
#      Kestrum.exe on a private X server, driven as an operator would, then
#      Orvell.dll and kestrum-cli.exe.
# Ends with the line "windows tests: N passed, M failed" and exits non-zero
# when a test failed or could not run. Arguments are handed to ctest
# (for example -R Search).
set -euo pipefail
self="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"
readonly self
cd "$(dirname "$self")/.."

readonly build_dir=build/windows
readonly cardsim_build_dir=build/windows-cardsim
readonly ctest_log=$build_dir/windows-ctest.log
readonly cardsim_log=$build_dir/windows-cardsim-lan.log
# Every interface the script makes is named kv...: the test programs and
# cardsim refuse to send when any other interface but lo is visible.
# Phase 1: two LANs whose far ends are left empty.
readonly lan_a=kvw0 lan_a_address=192.168.77.2/24
readonly lan_b=kvw1 lan_b_address=10.77.0.2/24
# Phase 2: card LAN C answers the request's sender; on LAN D the cards lie in
# another subnet than the PC and broadcast their answers.
readonly lan_c_pc=192.168.88.2/24 lan_c_cards=192.168.88.200/24 lan_c_first_card=192.168.88.100 lan_c_count=3
readonly lan_d_pc=192.168.99.2/24 lan_d_cards=192.168.99.200/24 lan_d_count=2
readonly lan_d_card_file=$build_dir/lan-d-cards.json
# LAN E is reached through two adapters, as a docked laptop on cable and
# Wi-Fi in one office network: every card hears each request twice.
readonly lan_e_pc=192.168.66.2/24 lan_e_second_pc=192.168.66.3/24 lan_e_cards=192.168.66.200/24
readonly lan_e_first_card=192.168.66.100 lan_e_count=3

. scripts/common.sh
. scripts/private-lan.sh

readonly windows_packages=(mingw-w64 wine wine64 cmake ninja-build g++ libgtest-dev nlohmann-json3-dev iproute2
  util-linux nsis python3 xvfb xdotool imagemagick fonts-liberation2 fonts-wqy-microhei)
readonly window_screenshot=$build_dir/kestrum-under-wine.png

veth_up() {  # name, peer, address
  ip link add "$1" type veth peer name "$2"
  ip addr add "$3" dev "$1"
  ip link set "$1" up
  ip link set "$2" up
}

make_phase1_lans() {
  ip link set lo up
  veth_up "$lan_a" "${lan_a}p" "$lan_a_address"
  veth_up "$lan_b" "${lan_b}p" "$lan_b_address"
  # Without a route a broadcast cannot leave at all.
  ip route add default dev "$lan_a"
}

# A card LAN: the PC's end in this namespace, the cards' end in a namespace of
# its own where cardsim runs; returns once cardsim said it is ready. With a
# second PC address the PC has two adapters on the LAN, whose far ends a
# bridge joins.
start_card_lan() {  # letter, pc address[,second pc address], cards' end address, cardsim arguments...
  local ns
  ns=$(lan_ns "lan$1")
  lan_add_card_lan "$(lan_ns pc)" "$ns" "$1" "$2" "$3"
  shift 3
  lan_start_cards "$ns" "$@"
}

# The private-LAN harness' steps, with this namespace as the PC: it is named
# so that the harness can reach it, and the name goes with the LANs.
prepare_card_lans() {
  LAN_CARDSIM=$(realpath "$cardsim_build_dir/bin/cardsim")
  ip netns attach "$(lan_ns pc)" $$
  LAN_NAMESPACES+=("$(lan_ns pc)")
  lan_make_tmp
}

# LAN D's cards, in another subnet than the PC, with MACs no other LAN's
# generated cards have, so that kestrum-cli can name one by its MAC.
write_lan_d_cards() {
  cat >"$lan_d_card_file" <<'JSON'
[{"typeVersion": "T16-V2.31", "ip": "10.99.0.100", "mask": "255.255.255.0", "gateway": "10.99.0.1",
  "mac": "00:1A:4B:00:0D:01", "serverIp": "10.99.0.10", "serverPort": 9000, "heartbeat": 30},
 {"typeVersionHex": "c6c1bac52d5631", "ip": "10.99.0.101", "mask": "255.255.255.0", "gateway": "10.99.0.1",
  "mac": "00:1A:4B:00:0D:02", "serverIp": "10.99.0.10", "serverPort": 9001, "heartbeat": 31}]
JSON
}

cli_check() {  # name, command...
  local name=$1
  shift
  if "$@"; then echo "cli check $name: ok"; else echo "cli check $name: FAILED"; return 1; fi
}

# kestrum-cli.exe under wine against the same cards: each format read back by
# Python's json and csv modules, a confirmed change of a card named by its
# MAC, and diagnose. Prints "cli checks: N passed, M failed".
run_cli_checks() {  # the number of cards
  local cli="$build_dir/bin/kestrum-cli.exe" total=$1 passed=0 failed=0 check
  local json_check="import json,sys; cards=json.load(sys.stdin)['cards']; sys.exit(len(cards) != $total)"
  local csv_check="import csv,sys; rows=list(csv.DictReader(sys.stdin)); sys.exit(len(rows) != $total or 'mac' not in rows[0])"
  local checks=(
    "search --format json|wine $cli search --format json | python3 -c \"$json_check\""
    "search --format csv|wine $cli search --format csv | python3 -c \"$csv_check\""
    "search (table)|wine $cli search | grep -q '^$total cards found'"
    "set by MAC|wine $cli set 00:1A:4B:00:0D:02 --ip 10.99.0.160 --heartbeat 60 --yes --format json | grep -q '10.99.0.160'"
    "diagnose|wine $cli diagnose | tee /dev/stderr | grep -q 'cards found: $total'"
  )
  for check in "${checks[@]}"; do
    if cli_check "${check%%|*}" bash -c "${check#*|}"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  done
  echo "cli checks: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

run_cardsim_lans() {
  local cards=$((lan_c_count + lan_d_count + lan_e_count)) status=0
  write_lan_d_cards
  prepare_card_lans
  start_card_lan c "$lan_c_pc" "$lan_c_cards" --count "$lan_c_count" --base-ip "$lan_c_first_card" &&
    start_card_lan d "$lan_d_pc" "$lan_d_cards" --cards "$lan_d_card_file" --broadcast-replies &&
    start_card_lan e "$lan_e_pc,$lan_e_second_pc" "$lan_e_cards" --count "$lan_e_count" \
      --base-ip "$lan_e_first_card" || return 1
  echo "=== windows: Kestrum.exe under wine against cardsim on card LANs"
  end_wine_desktop
  python3 tests/windows/kestrum_exe_under_wine.py "$build_dir/bin" "$window_screenshot" \
    192.168.88.{100..102} 10.99.0.{100,101} 192.168.66.{100..102} || status=1
  end_wine_desktop
  keep_wine_desktop
  echo "=== windows: Orvell.dll under wine against cardsim on card LANs"
  KESTRUM_CARDSIM_CARDS=$cards wine "$build_dir/bin/orvell_cardsim_lan_tests.exe" || status=1
  echo "=== windows: kestrum-cli.exe under wine against cardsim on card LANs"
  run_cli_checks "$cards" || status=1
  return "$status"
}

# wine's desktop process leaves soon after the last program of the prefix,
# and the next program starts it again with that program's output: ctest then
# waits for the desktop to leave, about 14 s for each test. A console program
# that waits on an input that never comes (a pipe it holds open itself) keeps
# the desktop until wineserver -k ends it with the prefix.
keep_wine_desktop() {
  rm -f "$WINEPREFIX/desktop-keeper"
  mkfifo "$WINEPREFIX/desktop-keeper"
  wine cmd.exe <>"$WINEPREFIX/desktop-keeper" >/dev/null 2>&1 &
  # Wait for the server and the desktop with output going nowhere: whichever
  # program starts them lends them its output, and a test's pipe held by
  # them would never close.
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# The kept desktop has no X display; a window program that must take mouse
# and keys on its own X server needs a desktop started with it.
end_wine_desktop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# Runs inside the new namespace: the LANs, a private wine prefix, the tests.
run_inside_private_network() {
  # A namespace of our own starts with nothing but lo; the machine's has more.
  local interfaces
  interfaces=$(ip -o link show | awk -F': ' '{ sub(/@.*/, "", $2); print $2 }' | tr '\n' ' ')
  if [ "$interfaces" != "lo " ]; then
    echo "windows tests: refusing to run outside a new network namespace (interfaces: $interfaces)" >&2
    exit 3
  fi
  # Cards answer from their own addresses, which may lie outside the PC's
  # subnets: take them whatever the machine's own setting is.
  sysctl -qw net.ipv4.conf.all.rp_filter=0 net.ipv4.conf.default.rp_filter=0
  make_phase1_lans

  WINEPREFIX=$(mktemp -d /tmp/kestrum-wine.XXXXXX)
  export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" KESTRUM_PRIVATE_LAN=1
  trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
  echo "=== windows: new wine prefix"
  # One wine server for the prefix and every test program, kept until the end.
  wineserver -p
  wineboot -i >/dev/null 2>&1
  keep_wine_desktop
  # A folder of another user: wine shows one that another Unix user owns with
  # another owner than the user's. The owner checks must refuse it.
  mkdir "$WINEPREFIX/drive_c/others"
  chown 65534:65534 "$WINEPREFIX/drive_c/others"
  export KESTRUM_TEST_OTHERS_FOLDER='C:\others'

  local status=0
  echo "=== windows: ctest under wine"
  ctest --test-dir "$build_dir" --output-on-failure --timeout 300 "$@" 2>&1 | tee "$ctest_log" || status=1
  echo "=== windows: against cardsim on card LANs"
  # In a subshell of its own, which stops its cardsims and removes their
  # namespaces however it ends.
  (trap lan_cleanup EXIT && run_cardsim_lans) 2>&1 | tee "$cardsim_log" || status=1
  exit "$status"
}

if [ "${1:-}" = "--inside-private-network" ]; then
  shift
  run_inside_private_network "$@"
fi

install_packages "${windows_packages[@]}"
echo "=== windows: Qt for Windows"
KESTRUM_WINDOWS_QT=$(./scripts/qt-windows.sh)
export KESTRUM_WINDOWS_QT
echo "=== windows: configure and cross-build"
cmake --preset windows
cmake --build --preset windows --parallel "$(nproc)"
echo "=== windows: the .zip and the installer"
rm -f "$build_dir"/kestrum-*-windows-x86_64.{zip,exe}
(cd "$build_dir" && cpack >/dev/null)
# Everything Kestrum.exe needs to start on a Windows machine with nothing
# installed, beside kestrum-cli.exe and the two libraries.
python3 - "$build_dir"/kestrum-*-windows-x86_64.zip <<'PY'
import sys, zipfile
names = {name.split("/", 1)[1] for name in zipfile.ZipFile(sys.argv[1]).namelist() if "/" in name}
needed = {"bin/" + name for name in ("Kestrum.exe", "kestrum-cli.exe", "Orvell.dll", "pindle.dll", "Qt6Core.dll",
          "Qt6Gui.dll", "Qt6Widgets.dll", "platforms/qwindows.dll", "styles/qwindowsvistastyle.dll",
          "libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll")}
missing = needed - names
sys.exit("windows tests: the .zip lacks " + ", ".join(sorted(missing)) if missing else 0)
PY
ls "$build_dir"/kestrum-*-windows-x86_64.exe
echo "=== windows: cardsim, the Linux card emulator"
cmake -S . -B "$cardsim_build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRUM_BUILD_GUI=OFF -DKESTRUM_BUILD_TESTS=OFF >/dev/null
cmake --build "$cardsim_build_dir" --target cardsim --parallel "$(nproc)"

status=0
rm -f "$ctest_log" "$cardsim_log"
as_root unshare --net -- "$self" --inside-private-network "$@" || status=$?

# ctest: "97% tests passed, 1 tests failed out of 58"; GoogleTest:
# "[  PASSED  ] 2 tests." and "[  FAILED  ] 1 test, listed below:".
passed=0 failed=0
summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$ctest_log" 2>/dev/null | tail -n 1 || true)
if [ -n "$summary" ]; then
  ctest_failed=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$summary")
  ctest_total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  passed=$((ctest_total - ctest_failed)) failed=$ctest_failed
else
  echo "windows tests: ctest did not finish" >&2
  failed=1
fi
gtest_passed=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$cardsim_log" 2>/dev/null | tail -n 1)
gtest_failed=$(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below.*/\1/p' "$cardsim_log" 2>/dev/null | tail -n 1)
if [ -n "$gtest_passed" ]; then
  passed=$((passed + gtest_passed)) failed=$((failed + ${gtest_failed:-0}))
else
  echo "windows tests: the cardsim LAN tests did not finish" >&2
  failed=$((failed + 1))
fi
for checks in cli kestrum.exe; do
  summary=$(grep -E "^$checks checks: [0-9]+ passed, [0-9]+ failed" "$cardsim_log" 2>/dev/null | tail -n 1 || true)
  if [ -n "$summary" ]; then
    passed=$((passed + $(sed -E 's/.* ([0-9]+) passed.*/\1/' <<<"$summary")))
    failed=$((failed + $(sed -E 's/.* ([0-9]+) failed/\1/' <<<"$summary")))
  else
    echo "windows tests: the $checks checks did not finish" >&2
    failed=$((failed + 1))
  fi
done
echo "windows tests: $passed passed, $failed failed"
if [ "$status" -ne 0 ] || [ "$failed" -ne 0 ]; then exit 1; fi
