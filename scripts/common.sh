# Sourced by the project's scripts: running a command as root, installing
# Debian packages and configuring a build folder. Not a program of its own.

# as_root COMMAND...: runs it as root; through sudo when not root already,
# keeping the environment (a display to open a window on, the sanitizers'
# options).
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -E "$@"; fi
}

# install_packages PACKAGE...: installs those not installed yet, after an
# apt-get update, without recommended extras; says what it installs.
install_packages() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "installing ${missing[*]}"
  as_root apt-get update
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

# configure_build_dir DIR: configures DIR when it holds no build yet: with the
# dev preset for build/dev, as a plain Debug build anywhere else.
configure_build_dir() {
  [ ! -f "$1/build.ninja" ] || return 0
  if [ "$1" = build/dev ]; then
    cmake --preset dev
  else
    cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug
  fi
}
