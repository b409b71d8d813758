#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer and runs each for a while.
# Usage: fuzz/run.sh [SECONDS_PER_TARGET] [TARGET...]     (default 900 s; targets: conversion numeric rtf)
# Needs clang and libclang-rt-14-dev (Debian packages). Findings land in fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-900}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(conversion numeric rtf)
build=build-fuzz
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVIK_BUILD_GUI=OFF -DQUORVIK_BUILD_TESTS=OFF -DQUORVIK_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link"
fi
for t in "${targets[@]}"; do
  cmake --build "$build" --target "fuzz_$t" -j2
  work="fuzz/corpus-run/$t"
  mkdir -p "$work" "fuzz/findings/$t"
  cp -n fuzz/"$t"/corpus/* "$work"/ 2>/dev/null || true
  echo "== fuzz_$t for $seconds s"
  "$build/fuzz/$t/fuzz_$t" -max_total_time="$seconds" -timeout=20 -max_len=8192 \
    -artifact_prefix="fuzz/findings/$t/" "$work" 2>&1 | grep -E '^#[0-9]+.*(DONE|pulse)|Done|ERROR|SUMMARY' || true
done
