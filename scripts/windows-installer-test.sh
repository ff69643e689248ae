#!/usr/bin/env bash
# Installs the Windows installer that scripts/windows-tests.sh made under
# wine, silently, as an administrator's script would (/S); starts the
# installed Kestrum.exe until its window shows on a private X server; runs the
# uninstaller; and checks that nothing of the installation is left: its
# folder, its Start-menu entry, its registry keys. All of it inside a network
# namespace of its own with nothing but lo, in a wine prefix of its own.
# Ends with the line "installer checks: N passed, M failed".
#
#   scripts/windows-installer-test.sh      (after scripts/windows-tests.sh)
set -euo pipefail
self="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"
readonly self
cd "$(dirname "$self")/.."

. scripts/common.sh

readonly window_title="Card Seeking"
readonly install_dir='C:\Program Files\Kestrum'

passed=0 failed=0
check() {  # name, command...
  local name=$1
  shift
  if "$@"; then
    echo "installer check $name: ok"
    passed=$((passed + 1))
  else
    echo "installer check $name: FAILED"
    failed=$((failed + 1))
  fi
}

unix_path() { winepath -u "$1" 2>/dev/null; }

# Waits until no program of the prefix runs any more (the uninstaller copies
# itself away and returns at once), at most a minute.
wait_for_wine() { timeout 60 wineserver -w; }

window_shows() {  # display
  DISPLAY=$1 timeout 60 xdotool search --sync --name "$window_title" >/dev/null
}

# Starts a private X server on the first free display; sets display and
# x_server once it takes clients.
start_x_server() {
  local number
  for number in $(seq 90 109); do
    [ ! -e "/tmp/.X11-unix/X$number" ] || continue
    Xvfb ":$number" -screen 0 1024x640x24 -noreset >/dev/null 2>&1 &
    x_server=$! display=":$number"
    for _ in $(seq 50); do
      [ ! -e "/tmp/.X11-unix/X$number" ] || return 0
      sleep 0.1
    done
    kill "$x_server" 2>/dev/null || true
  done
  echo "installer test: no private X server could be started" >&2
  return 1
}

start_installed_program() {
  local display x_server status
  start_x_server || return 1
  DISPLAY=$display wine "$install_dir\\bin\\Kestrum.exe" >/dev/null 2>&1 &
  window_shows "$display" && status=0 || status=1
  wineserver -k || true
  kill "$x_server" 2>/dev/null || true
  return "$status"
}

readonly uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrum'

registry_key_present() {  # key
  wine reg query "$1" >/dev/null 2>&1
}

registry_key_absent() {  # key
  ! registry_key_present "$1"
}

nothing_left() {
  [ ! -e "$(unix_path "$install_dir")" ] &&
    ! find "$WINEPREFIX/drive_c" -iname 'Kestrum*.lnk' | grep -q . &&
    registry_key_absent "$uninstall_key" &&
    registry_key_absent 'HKLM\Software\Kestrum'
}

run_inside_private_network() {
  local installer=$1 interfaces
  interfaces=$(ip -o link show | awk -F': ' '{ sub(/@.*/, "", $2); print $2 }' | tr '\n' ' ')
  if [ "$interfaces" != "lo " ]; then
    echo "installer test: refusing to run outside a new network namespace (interfaces: $interfaces)" >&2
    exit 3
  fi
  ip link set lo up
  WINEPREFIX=$(mktemp -d /tmp/kestrum-installer-wine.XXXXXX)
  # No desktop entries outside the prefix for the Start-menu entry.
  export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
  wineboot -i >/dev/null 2>&1

  { wine "$installer" /S; wait_for_wine; } >/dev/null 2>&1 || true
  check "installed into Program Files" test -f "$(unix_path "$install_dir\\bin\\Kestrum.exe")"
  check "Start-menu entry" bash -c "find '$WINEPREFIX/drive_c' -ipath '*Start Menu*' -iname 'Kestrum.lnk' | grep -q ."
  check "uninstaller" test -f "$(unix_path "$install_dir\\Uninstall.exe")"
  check "Windows' list of programs names it" registry_key_present "$uninstall_key"
  check "the installed Kestrum.exe shows its window" start_installed_program
  { wine "$install_dir\\Uninstall.exe" /S; wait_for_wine; } >/dev/null 2>&1 || true
  check "nothing left after the uninstaller" nothing_left
  echo "installer checks: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

if [ "${1:-}" = "--inside-private-network" ]; then
  run_inside_private_network "$2"
  exit
fi

install_packages wine wine64 xvfb xdotool iproute2 util-linux
installer=$(ls build/windows/kestrum-*-windows-x86_64.exe 2>/dev/null | tail -n 1)
[ -n "$installer" ] || { echo "installer test: no installer in build/windows; run scripts/windows-tests.sh first" >&2; exit 1; }
as_root unshare --net -- "$self" --inside-private-network "$(realpath "$installer")"
