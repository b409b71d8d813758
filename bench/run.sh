#!/usr/bin/env bash
# Benchmark of quorvik-convert: generates documents of varied HTML (CR LF line ends, and LF line
# ends, which read as one single line), converts them to each stage and prints MB/s beside the
# time `wc -l` takes on the same file. Also converts a document twice the size, to show that the
# time grows linearly, and reports the peak memory of each run. Every stage is converted both
# faithfully and with --readable, the runs of the two taking turns, so that both meet the same
# load of the machine; the last column is the readable time over the faithful one.
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

run() {  # file stage -> "faithful_s readable_s peak_kb" (fastest runs, largest peak)
  local file=$1 stage=$2 t0 t1 peak s m i best_no="" best_re="" top=0
  for ((i = 0; i < runs; i++)); do
    for m in no-readable readable; do
      t0=$(now)
      peak=$( { /usr/bin/time -f '%M' "$conv" --defaults --$m --stage "$stage" "$file" >/dev/null; } 2>&1 | tail -1)
      t1=$(now)
      s=$(secs "$t0" "$t1")
      if [ "$m" = readable ]; then
        if [ -z "$best_re" ] || [ "$(echo "$s < $best_re" | bc -l)" = 1 ]; then best_re=$s; fi
      else
        if [ -z "$best_no" ] || [ "$(echo "$s < $best_no" | bc -l)" = 1 ]; then best_no=$s; fi
      fi
      if [ "$peak" -gt "$top" ]; then top=$peak; fi
    done
  done
  echo "$best_no $best_re $top"
}

printf '%-10s %-9s %7s %9s %7s %9s %7s %6s %10s %8s\n' form stage MB faithful MB/s readable MB/s ratio "wc -l (s)" "peak MB"
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
      read -r s r peak < <(run "$file" "$stage")
      printf '%-10s %-9s %7.1f %9.3f %7.1f %9.3f %7.1f %6.2f %10.3f %8.1f\n' "$form" "$stage" "$real_mb" \
        "$s" "$(echo "$real_mb / $s" | bc -l)" "$r" "$(echo "$real_mb / $r" | bc -l)" "$(echo "$r / $s" | bc -l)" \
        "$wc" "$(echo "$peak / 1024" | bc -l)"
    done
  done
done
echo "(formatted = pre-pass, conversion and blank-line pass together, end to end; seconds are the fastest"
echo " of $runs runs, faithful and readable taking turns; ratio = readable / faithful)"
