#!/usr/bin/env bash
# Shared set-up of the two README commands: installs the Debian packages that are
# missing, then configures and builds the project. Safe to run again: it installs
# nothing that is there and rebuilds only what changed.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n
  libgl-dev libglu1-mesa-dev freeglut3-dev libgl1-mesa-dri
  libqhull-dev libfreetype-dev libfontconfig-dev libzip-dev
  xvfb xauth fonts-dejavu-core
  clang libclang-rt-14-dev
)

missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

install_missing() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  echo "Installing missing packages:" $missing
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}

configure_and_build() {
  local dir="$1"; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@"
  fi
  cmake --build "$dir" --parallel "$(nproc)"
}

install_missing
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
configure_and_build "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo
