# Debian packages that the scripts need, sourced by scripts/demo and
# scripts/run-tests: what the demo's build needs, and installing what is
# missing through apt-get (as root directly, else through sudo).

# The Debian package of each piece that the demo's build lacks, one per line.
demo_missing_packages() {
  command -v g++ >/dev/null || echo g++
  command -v make >/dev/null || echo make
  command -v cmake >/dev/null || echo cmake
  [ -f /usr/include/nlohmann/json.hpp ] || echo nlohmann-json3-dev
  [ -f /usr/include/boost/crc.hpp ] || echo libboost-dev
}

# install_packages WHY PACKAGE...: says what it installs and why, then
# installs it. Nothing to do without packages.
install_packages() {
  local why=$1
  shift
  [ $# -gt 0 ] || return 0
  echo "installing: $*"
  echo "($why)"
  local as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "$0: not root and no sudo: as root, run apt-get install $*" >&2
      return 1
    fi
    as_root=(sudo)
  fi
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$@"
}
