#!/usr/bin/env bash
# Benchmark of quorvik-convert, end to end (the whole process, output written to a file) on three
# documents: varied generated HTML with CR LF line ends, the same kind with LF line ends (which
# reads as one single line), and whole real pages from Debian's documentation packages (heads,
# scripts, styles, comments, entities, <pre>; python3.11-doc and apache2-doc, installed when
# missing). Each document is also converted at twice the size, to show that the time grows
# linearly. Faithful and, where the binary offers it, readable conversion.
#
#   bench/run.sh [SIZE_MB] [BUILD_DIR] [RUNS]
#       MB/s, CPU seconds per thread and in all, and peak memory, beside `wc -l` on the same file.
#       The faithful and readable runs take turns, so that both meet the same load of the
#       machine; r/f is the readable time over the faithful one.
#   bench/run.sh --compare OLD_CONVERT NEW_CONVERT [SIZE_MB] [RUNS] [BUILD_DIR]
#       Two binaries run in turn (old, new, old, new, ...): the machine's speed drifts within the
#       hour and other work shares it, so only runs side by side compare. Prints both and old/new.
#
# DOCUMENTS="crlf lf pages" and SIZES="1 2" (multiples of SIZE_MB) choose what runs.
#
# Each time is the smallest of RUNS runs (5 by default), each peak the largest: on a shared
# machine a single run also measures whatever else ran at the time. A thread's CPU time includes
# its short waits awake for the other thread.
set -euo pipefail
cd "$(dirname "$0")/.."

compare=0
if [ "${1:-}" = "--compare" ]; then
  compare=1
  old=$(realpath "$2")
  new=$(realpath "$3")
  shift 3
  size="${1:-20}"
  runs="${2:-5}"
  build="${3:-build}"
else
  size="${1:-20}"
  build="${2:-build}"
  runs="${3:-5}"
fi
cmake --build "$build" --target quorvik-convert quorvik_gen_html quorvik_threadtimes >/dev/null
[ "$compare" = 1 ] || new="$build/cli/quorvik-convert"
times_lib=$(realpath "$build/bench/libquorvik_threadtimes.so")
data=bench/data
mkdir -p "$data"
documents="${DOCUMENTS:-crlf lf pages}"
sizes="${SIZES:-1 2}"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The real pages, concatenated whole in a fixed order (two pages of the Python manual, then one of
# the web server's) until the document has the size asked for.
make_pages() {  # SIZE_MB FILE
  local want=$(( $(printf '%.0f' "$(echo "$1 * 1048576" | bc -l)") )) list=$out/pages.list
  if [ ! -d /usr/share/doc/python3.11/html ] || [ ! -d /usr/share/doc/apache2-doc/manual/en ]; then
    echo "installing python3.11-doc and apache2-doc for the real pages" >&2
    local sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
      python3.11-doc apache2-doc >/dev/null
  fi
  find /usr/share/doc/python3.11/html -name '*.html' | LC_ALL=C sort >"$list.py"
  find /usr/share/doc/apache2-doc/manual/en -name '*.html' | LC_ALL=C sort >"$list.web"
  awk -v n="$(wc -l <"$list.web")" 'NR == FNR { web[FNR] = $0; next }
       { print; if (FNR % 2 == 0) print web[(k++ % n) + 1] }' "$list.web" "$list.py" >"$list"
  : >"$2.part"
  while [ "$(stat -c %s "$2.part")" -lt "$want" ]; do
    while read -r page && [ "$(stat -c %s "$2.part")" -lt "$want" ]; do
      cat "$page" >>"$2.part"
    done <"$list"
  done
  mv "$2.part" "$2"
}

document() {  # KIND SIZE_MB -> file name, made when missing
  local file="$data/bench-$1-$2.html"
  if [ ! -f "$file" ]; then
    case "$1" in
      crlf|lf) "$build/bench/quorvik_gen_html" "$2" "$1" "$file" ;;
      pages) make_pages "$2" "$file" ;;
    esac
  fi
  echo "$file"
}

offers_readable() {  # CONVERT
  printf '<p>x\r\n' >"$out/probe.html"
  "$1" --defaults --readable "$out/probe.html" >/dev/null 2>&1
}

# One run: "wall_seconds main_cpu other_cpu process_cpu peak_MB" (the shell's own clock, so that
# process start counts and nothing else is started around the run). Each run writes a new file:
# the last run's output is removed before the clock starts, since emptying it (as "> FILE" does)
# makes the file system free the pages it holds, some milliseconds that belong to no conversion.
once() {  # CONVERT FILE MODE
  local t0 t1 flags=(--defaults)
  [ "$3" = readable ] && flags+=(--readable)
  rm -f "$out/times" "$out/result.txt"
  t0=$EPOCHREALTIME
  QUORVIK_THREAD_TIMES="$out/times" LD_PRELOAD="$times_lib" "$1" "${flags[@]}" "$2" >"$out/result.txt"
  t1=$EPOCHREALTIME
  awk -v wall="$(echo "$t1 - $t0" | bc -l)" '
    $1 == "main" { main = $2 } $1 == "thread" { other += $2 } $1 == "process" { cpu = $2 }
    $1 == "peak" { peak = $2 / 1024 }
    END { printf "%.4f %.3f %.3f %.3f %.1f\n", wall, main, other, cpu, peak }' "$out/times"
}

best() {  # the smallest of each time read, the largest peak
  awk '{ for (k = 1; k <= 4; ++k) if (NR == 1 || $k < m[k]) m[k] = $k; if ($5 > p) p = $5 }
       END { printf "%s %s %s %s %s\n", m[1], m[2], m[3], m[4], p }'
}

mb_of() { echo "$(stat -c %s "$1") / 1048576" | bc -l; }

wc_time() {  # FILE -> "lines seconds" (fastest of three)
  local t0 t1 s best="" lines
  lines=$(wc -l <"$1")
  for _ in 1 2 3; do
    t0=$EPOCHREALTIME; wc -l "$1" >/dev/null; t1=$EPOCHREALTIME
    s=$(echo "$t1 - $t0" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$s < $best" | bc -l)" = 1 ]; then best=$s; fi
  done
  echo "$lines $best"
}

modes_of() {  # CONVERT... -> the modes every one of them offers
  local m="faithful" c all=1
  for c in "$@"; do offers_readable "$c" || all=0; done
  [ "$all" = 1 ] && m="$m readable"
  echo "$m"
}

if [ "$compare" = 0 ]; then
  printf '%-7s %5s %-9s %9s %8s %8s %6s %8s %8s %8s %8s %9s %9s\n' document MB mode lines "wall s" "MB/s" r/f \
    "main s" "other s" "cpu s" "peak MB" "wc -l s" "wc MB/s"
  for kind in $documents; do
    for mult in $sizes; do
      file=$(document "$kind" "$(echo "$size * $mult" | bc)")
      mb=$(mb_of "$file")
      cat "$file" >/dev/null  # warm the page cache for both
      read -r lines wcs < <(wc_time "$file")
      modes=$(modes_of "$new")
      for mode in $modes; do : >"$out/$mode"; done
      for ((i = 0; i < runs; i++)); do
        for mode in $modes; do once "$new" "$file" "$mode" >>"$out/$mode"; done
      done
      faithful_s=""
      for mode in $modes; do
        read -r wall main other cpu peak < <(best <"$out/$mode")
        [ -n "$faithful_s" ] || faithful_s=$wall
        printf '%-7s %5.1f %-9s %9d %8.3f %8.1f %6.2f %8.3f %8.3f %8.3f %8.1f %9.3f %9.1f\n' "$kind" "$mb" "$mode" \
          "$lines" "$wall" "$(echo "$mb / $wall" | bc -l)" "$(echo "$wall / $faithful_s" | bc -l)" "$main" "$other" \
          "$cpu" "$peak" "$wcs" "$(echo "$mb / $wcs" | bc -l)"
      done
    done
  done
  echo "(main = the thread that converts and writes, other = the one that reads and reflows; best of $runs runs)"
  exit 0
fi

printf '%-7s %5s %-9s %8s %8s %8s %8s %8s %8s %13s %13s %8s %8s\n' document MB mode "old s" "new s" "old/new" \
  "old MB/s" "new MB/s" "cpu o/n" "old thr s" "new thr s" "old peak" "new peak"
for kind in $documents; do
  for mult in $sizes; do
    file=$(document "$kind" "$(echo "$size * $mult" | bc)")
    mb=$(mb_of "$file")
    cat "$file" >/dev/null
    for mode in $(modes_of "$old" "$new"); do
      : >"$out/old" && : >"$out/new"
      for ((i = 0; i < runs; i++)); do
        once "$old" "$file" "$mode" >>"$out/old"
        once "$new" "$file" "$mode" >>"$out/new"
      done
      read -r ow om oo oc op < <(best <"$out/old")
      read -r nw nm no nc np < <(best <"$out/new")
      printf '%-7s %5.1f %-9s %8.3f %8.3f %8.2f %8.1f %8.1f %8.2f %13s %13s %8.1f %8.1f\n' "$kind" "$mb" "$mode" \
        "$ow" "$nw" "$(echo "$ow / $nw" | bc -l)" "$(echo "$mb / $ow" | bc -l)" "$(echo "$mb / $nw" | bc -l)" \
        "$(echo "$oc / $nc" | bc -l)" "$om/$oo" "$nm/$no" "$op" "$np"
    done
  done
done
echo "(old and new run in turn, $runs runs each, the best of each; old/new = old s / new s; cpu o/n = the"
echo " whole process's CPU seconds, old / new; thr s = CPU seconds of the converting / the reading thread)"
