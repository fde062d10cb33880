#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need (only those
# missing), then configures and builds into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config git
  libgtest-dev libbenchmark-dev libsystemc-dev libcli11-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core
  xvfb xdotool imagemagick x11-utils gdb
  clang libclang-rt-14-dev valgrind clang-format
  desktop-file-utils appstream shared-mime-info libglib2.0-bin file man-db
  lintian dpkg-dev python3 libz3-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
