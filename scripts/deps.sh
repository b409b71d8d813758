#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Quorvik.
# Sourced by scripts/run and scripts/test; safe to run again (installs only what is missing).
set -euo pipefail

QUORVIK_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6
  libgtest-dev googletest
  xvfb xauth
  unrtf pandoc
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

# Runs the test suite of the build in $1; further arguments go to ctest.
quorvik_ctest() {
  local dir="$1"
  shift
  ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 900 "$@"
}

# The same build with AddressSanitizer and UndefinedBehaviorSanitizer (gcc): any finding stops
# the program, and so fails its test. -O1 keeps the instrumented tests quick without hiding much.
QUORVIK_SANITIZE_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"

quorvik_build_sanitized() {
  local dir="${1:-build-asan}"
  quorvik_build "$dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DCMAKE_CXX_FLAGS="$QUORVIK_SANITIZE_FLAGS" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DQUORVIK_BUILD_BENCH=OFF
}

# Runs the sanitized build's tests; leaks are reported too (none come from Qt in these tests,
# so no suppressions are needed).
quorvik_ctest_sanitized() {
  local dir="${1:-build-asan}"
  shift || true
  ASAN_OPTIONS="halt_on_error=1:detect_leaks=1" UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    quorvik_ctest "$dir" "$@"
}
