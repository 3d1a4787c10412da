#!/usr/bin/env bash
# scripts/packages.sh, which scripts/demo and scripts/run-tests source:
# install_packages says what it installs first, then runs apt-get as root
# directly or through sudo, and does nothing without packages. apt-get, sudo
# and id are stand-ins here that log their calls.
#
#   packages_check.sh <source dir>
set -euo pipefail
source_dir=$1
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
cat > "$fake/apt-get" <<'END'
#!/bin/sh
echo "apt-get $* [$DEBIAN_FRONTEND]" >> "$LOG"
END
cat > "$fake/sudo" <<'END'
#!/bin/sh
echo "sudo" >> "$LOG"
exec "$@"
END
cat > "$fake/id" <<'END'
#!/bin/sh
echo "$FAKE_UID"
END
chmod +x "$fake"/*
export LOG=$fake/log

failures=0
# expect NAME UID PATH-DIRS EXPECTED-STATUS EXPECTED-OUTPUT EXPECTED-LOG PACKAGE...
expect() {
  local name=$1 uid=$2 dirs=$3 want_rc=$4 want_out=$5 want_log=$6
  shift 6
  : > "$LOG"
  local out rc=0
  out=$(FAKE_UID=$uid PATH="$dirs" bash -c 'dir=$1; shift; . "$dir"/scripts/packages.sh; install_packages "the reason" "$@"' \
        scripts/demo "$source_dir" "$@" 2>&1) || rc=$?
  if [ "$rc" != "$want_rc" ] || [ "$out" != "$want_out" ] || [ "$(cat "$LOG")" != "$want_log" ]; then
    echo "FAILED: $name: status $rc, output:"
    echo "$out"
    echo "calls:"
    cat "$LOG"
    failures=$((failures + 1))
  fi
}

with_sudo=$fake:/usr/bin:/bin
no_sudo=$fake/nosudo:/usr/bin:/bin
mkdir "$fake/nosudo"
ln -s "$fake/apt-get" "$fake/nosudo/apt-get"
ln -s "$fake/id" "$fake/nosudo/id"
if [ -x /usr/bin/sudo ] || [ -x /bin/sudo ]; then
  no_sudo=""  # a real sudo on the path: that case is not checked here
fi

expect "nothing missing" 0 "$with_sudo" 0 "" ""
expect "as root" 0 "$with_sudo" 0 "installing: g++ libboost-dev
(the reason)" "apt-get update -q [noninteractive]
apt-get install -y -q g++ libboost-dev [noninteractive]" g++ libboost-dev
expect "through sudo" 1000 "$with_sudo" 0 "installing: cmake
(the reason)" "sudo
apt-get update -q [noninteractive]
sudo
apt-get install -y -q cmake [noninteractive]" cmake
if [ -n "$no_sudo" ]; then
  expect "neither root nor sudo" 1000 "$no_sudo" 1 "installing: cmake
(the reason)
scripts/demo: not root and no sudo: as root, run apt-get install cmake" "" cmake
fi

if [ "$failures" -gt 0 ]; then
  echo "0 passed, $failures failed"
  exit 1
fi
echo "install_packages: every case as expected"
