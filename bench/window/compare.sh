#!/bin/bash
# Runs the window benchmark of two builds in turns (OLD, NEW, OLD, NEW, ...) on the same
# document size and prints each run's total of Open + Remove Both + the four tabs' first
# showing, and its longest freeze.
#   bench/window/compare.sh OLD_BUILD_DIR NEW_BUILD_DIR [MB] [RUNS]
set -euo pipefail
old=$1 new=$2 mb=${3:-5} runs=${4:-5}
for ((i = 1; i <= runs; i++)); do
  for build in "$old" "$new"; do
    out=$("$build/bench/window/bench_window" "$mb" 2>/dev/null)
    total=$(grep 'open + convert + four tabs' <<<"$out" | awk '{print $(NF-1)}')
    freeze=$(grep 'longest freeze' <<<"$out" | sed 's/.*timer) *//')
    printf '%-40s run %d: four tabs %s s, longest freeze %s\n' "$build" "$i" "$total" "$freeze"
  done
done
