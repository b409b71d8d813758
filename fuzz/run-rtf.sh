#!/usr/bin/env bash
# Builds the RTF reader's libFuzzer target with clang and runs it.
#   fuzz/run-rtf.sh [seconds]        (default 660)
# Build folder: build-fuzz/ (git-ignored). Working corpus, log and any crash files:
# fuzz/corpus-run/rtf/ (git-ignored); the committed seeds in fuzz/rtf/corpus/ are only read.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-660}"

if [ ! -f build-fuzz/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVIK_BUILD_GUI=OFF -DQUORVIK_BUILD_TESTS=OFF -DQUORVIK_BUILD_BENCH=OFF
fi
cmake --build build-fuzz -j2 --target quorvik_fuzz_rtf

run="fuzz/corpus-run/rtf"
mkdir -p "$run/corpus" "$run/crashes"
cd "$run"
# One job on one core: the machine is shared. The log goes to fuzz-0.log.
ASAN_OPTIONS=detect_leaks=0 ../../../build-fuzz/fuzz/rtf/quorvik_fuzz_rtf \
  -jobs=1 -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -dict=../../rtf/rtf.dict -artifact_prefix=crashes/ \
  corpus ../../rtf/corpus
status=$?
tail -n 5 fuzz-0.log
ls crashes
exit $status
