#!/usr/bin/env bash
# Builds the release .deb, installs it on this machine, and runs what it
# installed: kestrum-cli --help, and a search by the installed kestrum-cli
# inside a private network with three emulated cards (nothing is sent on the
# machine's own network). The package is removed again at the end.
#
#   scripts/package-test.sh        (needs root, as sudo when not run as root)
set -euo pipefail
cd "$(dirname "$0")/.."

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

./scripts/setup.sh
cmake --preset release
cmake --build --preset release
(cd build/release && cpack -G DEB)
deb=$(ls build/release/kestrum_*.deb | tail -n 1)
echo "=== package: installing $deb"
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "./$deb"
trap 'as_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y kestrum >/dev/null' EXIT

echo "=== package: the installed files"
dpkg -L kestrum | grep -E 'bin/|lib/|applications/|icons/'
dpkg-deb -f "$deb" Depends

echo "=== package: kestrum-cli --help"
/usr/bin/kestrum-cli --help

echo "=== package: an installed search inside a private network"
output=$(as_root ./scripts/private-lan.sh --lans 1 --cardsim build/release/bin/cardsim --cards 1 "--count 3" \
  -- /usr/bin/kestrum-cli search)
echo "$output"
grep -q '^3 cards found' <<<"$output" || { echo "package: the installed kestrum-cli did not find the 3 cards" >&2; exit 1; }
echo "=== package: passed"
