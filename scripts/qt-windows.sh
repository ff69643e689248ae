#!/usr/bin/env bash
# Makes Qt for Windows from Debian's own source package of the Linux Qt
# (qt6-base, the version qt6-base-dev has here), cross-built with mingw-w64 as
# shared DLLs: Core, Gui, Widgets and Test, with the windows, offscreen and
# minimal platform plugins and the Vista style.
#
#   scripts/qt-windows.sh            prints the folder of the finished Qt
#
# The result is kept in a cache folder named after Qt's version and a hash of
# the configure options and the compilers' toolchain file; when that folder
# is complete the script does nothing but print it. The cache lives outside
# the work tree, so a later clone on the same machine finds it:
#   KESTRUM_QT_WINDOWS_CACHE   (default ${XDG_CACHE_HOME:-~/.cache}/kestrum/qt-windows)
#
# The source comes through a private apt folder of the script's own (its own
# sources list, package lists and cache); the system's apt configuration is
# never read for sources nor changed. apt checks every downloaded file
# against the hashes of the signed package lists.
set -euo pipefail
cd "$(dirname "$0")/.."
readonly source_dir=$PWD

. scripts/common.sh

fail() {
  echo "qt-windows: $*" >&2
  exit 1
}

readonly toolchain=$source_dir/cmake/mingw-compilers.cmake
readonly cache_root=${KESTRUM_QT_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrum/qt-windows}

# What the window needs and nothing more: every module and feature left out
# shortens the build, which a machine with nothing cached makes from scratch.
# The bundled third-party libraries are used, never the build machine's.
readonly configure_options=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_TESTS=OFF
  -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF
  -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF
  # Debian's source has no wintab.h, the Windows tablet header.
  -DFEATURE_tabletevent=OFF
  # The build machine's Qt provides moc, rcc and uic.
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
)

# The host tools must be of the very version that is built.
readonly packages=(qt6-base-dev qt6-base-dev-tools qt6-l10n-tools mingw-w64 cmake ninja-build dpkg-dev xz-utils perl)
install_packages "${packages[@]}" >&2

qt_source_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
readonly qt_source_version
options_hash=$({ printf '%s\n' "${configure_options[@]}"; cat "$toolchain"; x86_64-w64-mingw32-g++-posix --version | head -n 1; } |
  sha256sum | cut -c1-12)
readonly options_hash
readonly prefix=$cache_root/qt6-base-${qt_source_version}-${options_hash}
readonly complete_mark=$prefix/.complete

if [ -f "$complete_mark" ]; then
  echo "qt-windows: cached in $prefix" >&2
  echo "$prefix"
  exit 0
fi

readonly work=$cache_root/work-${qt_source_version}-${options_hash}
rm -rf "$work" "$prefix"
mkdir -p "$work/apt/sources" "$work/apt/lists/partial" "$work/apt/cache/archives/partial"

# The system's Debian sources, as source-package sources, for this run only.
[ -f /etc/apt/sources.list.d/debian.sources ] || fail "no /etc/apt/sources.list.d/debian.sources to take Debian's mirror from"
sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$work/apt/sources/debian-src.sources"
readonly private_apt=(
  -o Dir::Etc::SourceList=/dev/null
  -o Dir::Etc::SourceParts="$work/apt/sources"
  -o Dir::State::Lists="$work/apt/lists"
  -o Dir::Cache="$work/apt/cache"
)

echo "qt-windows: getting qt6-base $qt_source_version (Debian's source package)" >&2
apt-get "${private_apt[@]}" update >&2 || fail "apt-get update of the private source lists failed"
(cd "$work" && apt-get "${private_apt[@]}" source --download-only "qt6-base=$qt_source_version") >&2 ||
  fail "apt-get source qt6-base=$qt_source_version failed"
dsc=$(ls "$work"/qt6-base_*.dsc 2>/dev/null | head -n 1)
[ -n "$dsc" ] || fail "apt-get source left no .dsc in $work"
# dpkg-source checks the files against the .dsc's own hashes too.
(cd "$work" && dpkg-source -x "$dsc" src) >&2 || fail "unpacking $dsc failed"

echo "qt-windows: configuring into $prefix" >&2
cmake -S "$work/src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  "${configure_options[@]}" >"$work/configure.log" 2>&1 ||
  { tail -n 40 "$work/configure.log" >&2; fail "configuring Qt failed (log: $work/configure.log)"; }

echo "qt-windows: building (12 to 25 minutes on 2 cores, once; then cached)" >&2
cmake --build "$work/build" >"$work/build.log" 2>&1 ||
  { tail -n 40 "$work/build.log" >&2; fail "building Qt failed (log: $work/build.log)"; }
cmake --install "$work/build" >"$work/install.log" 2>&1 ||
  { tail -n 40 "$work/install.log" >&2; fail "installing Qt failed (log: $work/install.log)"; }

for needed in bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6Test.dll \
  plugins/platforms/qwindows.dll plugins/platforms/qoffscreen.dll plugins/styles/qwindowsvistastyle.dll \
  lib/cmake/Qt6/qt.toolchain.cmake; do
  [ -e "$prefix/$needed" ] || fail "the built Qt lacks $needed"
done
touch "$complete_mark"
rm -rf "$work"
echo "qt-windows: made in $prefix" >&2
echo "$prefix"
