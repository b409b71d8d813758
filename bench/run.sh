#!/usr/bin/env bash
# Benchmark of quorvik-convert: generates documents of varied HTML (CR LF line ends, and LF line
# ends, which read as one single line), converts them to each stage and prints MB/s beside the
# time `wc -l` takes on the same file. Also converts a document twice the size, to show that the
# time grows linearly, and reports the peak memory of each run.
# Each figure is the fastest of RUNS runs: on a shared machine a single run also measures
# whatever else the machine was doing at the time.
# Usage: bench/run.sh [SIZE_MB] [BUILD_DIR] [RUNS]      (default 20 MB, build, 5 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
size="${1:-20}"
build="${2:-build}"
runs="${3:-5}"
cmake --build "$build" --target quorvik-convert quorvik_gen_html >/dev/null
data=bench/data
mkdir -p "$data"
conv="$build/cli/quorvik-convert"

# The shell's own clock: starting `date` twice per run would be counted in every figure.
now() { echo "$EPOCHREALTIME"; }
secs() { echo "$2 - $1" | bc -l; }

run() {  # file stage -> "seconds peak_kb" (fastest run, largest peak)
  local file=$1 stage=$2 t0 t1 peak s best="" top=0 i
  for ((i = 0; i < runs; i++)); do
    t0=$(now)
    peak=$( { /usr/bin/time -f '%M' "$conv" --defaults --stage "$stage" "$file" >/dev/null; } 2>&1 | tail -1)
    t1=$(now)
    s=$(secs "$t0" "$t1")
    if [ -z "$best" ] || [ "$(echo "$s < $best" | bc -l)" = 1 ]; then best=$s; fi
    if [ "$peak" -gt "$top" ]; then top=$peak; fi
  done
  echo "$best $top"
}

printf '%-10s %-9s %9s %9s %9s %11s %12s\n' form stage MB seconds MB/s "wc -l (s)" "peak RSS MB"
for form in crlf lf; do
  for mult in 1 2; do
    mb=$(echo "$size * $mult" | bc)
    file="$data/bench-$form-$mb.html"
    [ -f "$file" ] || "$build/bench/quorvik_gen_html" "$mb" "$form" "$file"
    bytes=$(stat -c %s "$file")
    real_mb=$(echo "$bytes / 1048576" | bc -l)
    cat "$file" >/dev/null  # warm the page cache for both
    t0=$(now); wc -l "$file" >/dev/null; t1=$(now); wc=$(secs "$t0" "$t1")
    for stage in reflow text formatted; do
      read -r s peak < <(run "$file" "$stage")
      printf '%-10s %-9s %9.1f %9.3f %9.1f %11.3f %12.1f\n' "$form" "$stage" "$real_mb" "$s" \
        "$(echo "$real_mb / $s" | bc -l)" "$wc" "$(echo "$peak / 1024" | bc -l)"
    done
  done
done
echo "(formatted = pre-pass, conversion and blank-line pass together, end to end; fastest of $runs runs)"
