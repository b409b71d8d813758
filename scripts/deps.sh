#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Quorvik.
# Sourced by scripts/run and scripts/test; safe to run again (installs only what is missing).
set -euo pipefail

QUORVIK_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6
  libgtest-dev googletest
  xvfb xauth
  unrtf
  dpkg-dev file desktop-file-utils appstream
)

quorvik_install_deps() {
  local missing=()
  local p
  for p in "${QUORVIK_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# Configures and builds into $1 (default: build).
quorvik_build() {
  local dir="${1:-build}"
  shift || true
  local gen=()
  if command -v ninja >/dev/null 2>&1; then gen=(-G Ninja); fi
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$dir" --parallel "$(nproc)"
}
