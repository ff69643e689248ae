#!/usr/bin/env bash
# Builds the .deb from a plain Release build, configured the way a user or a
# packager configures it (no preset: warnings do not stop it), checks it with
# lintian, installs it on this machine, and runs what it installed:
# kestrum-cli --help, and a search by the installed kestrum-cli inside a
# private network with three emulated cards (nothing is sent on the machine's
# own network). The package is purged again at the end, leaving nothing behind.
#
#   scripts/package-test.sh        (needs root, as sudo when not run as root)
set -euo pipefail
cd "$(dirname "$0")/.."

. scripts/common.sh

./scripts/setup.sh
install_packages lintian
build=build/plain-release
# Debian's hardening flags, as a Debian package build would give them
# (fortified sources, a strong stack protector, read-only relocations bound
# at start-up); a user's own build keeps the compiler's defaults.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)"
cmake --build "$build"
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/kestrum_*.deb | tail -n 1)

echo "=== package: lintian (fails on errors and warnings)"
lintian --fail-on error,warning --display-info "$deb"
# The libraries are the programs' own: nothing to run at install or removal.
if scripts=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E '(pre|post)(inst|rm)$'); then
  echo "package: it brings maintainer scripts: $scripts" >&2
  exit 1
fi

echo "=== package: installing $deb"
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "./$deb"
trap 'as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y kestrum >/dev/null' EXIT

echo "=== package: the installed files"
dpkg -L kestrum | grep -E 'bin/|lib/|applications/|icons/|doc/|man1/'
dpkg-deb -f "$deb" Depends
# Orvell and pindle are the programs' own: not in the system's library cache.
if ldconfig -p | grep -E 'lib(Orvell|pindle)'; then
  echo "package: Orvell or pindle went into the system's library cache" >&2
  exit 1
fi

echo "=== package: kestrum-cli --help"
/usr/bin/kestrum-cli --help

echo "=== package: an installed search inside a private network"
output=$(as_root ./scripts/private-lan.sh --lans 1 --cardsim "$build/bin/cardsim" --cards 1 "--count 3" \
  -- /usr/bin/kestrum-cli search)
echo "$output"
grep -q '^3 cards found' <<<"$output" || { echo "package: the installed kestrum-cli did not find the 3 cards" >&2; exit 1; }
echo "=== package: passed"
