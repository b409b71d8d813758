#!/usr/bin/env bash
# Builds the RTF reader's libFuzzer target with clang and runs it.
#   fuzz/run-rtf.sh [seconds]        (default 660)
# Build folder: build-fuzz/ (git-ignored, configured as fuzz/run.sh does). Working corpus:
# fuzz/corpus-run/rtf/, seeded from the committed fuzz/rtf/corpus/ and tests/rtf/fixtures/.
# Log (fuzz-0.log) and any crashing input: fuzz/findings/rtf/. Both folders are git-ignored.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
seconds="${1:-660}"

if [ ! -f build-fuzz/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVIK_BUILD_GUI=OFF -DQUORVIK_BUILD_TESTS=OFF -DQUORVIK_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link"
fi
cmake --build build-fuzz -j2 --target fuzz_rtf

work="$root/fuzz/corpus-run/rtf"
findings="$root/fuzz/findings/rtf"
mkdir -p "$work" "$findings"
# Seeds: the committed corpus and the test fixtures (files other programs wrote, and the
# minimal files of constructs word processors write).
cp -n fuzz/rtf/corpus/* tests/rtf/fixtures/*.rtf tests/rtf/fixtures/minimal/*.rtf "$work"/ 2>/dev/null || true
cd "$findings"  # -jobs writes its log, fuzz-0.log, into the current folder
# One job on one core: the machine is shared. Qt's caches look like leaks at exit.
status=0
ASAN_OPTIONS=detect_leaks=0 "$root/build-fuzz/fuzz/rtf/fuzz_rtf" \
  -jobs=1 -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -dict="$root/fuzz/rtf/rtf.dict" -artifact_prefix="$findings/" "$work" || status=$?
grep -E '^#[0-9]+.*DONE|^Done|ERROR|SUMMARY' fuzz-0.log || true
ls "$findings" | grep -v '^fuzz-0.log$' || true
exit "$status"
