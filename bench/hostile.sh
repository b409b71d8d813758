#!/usr/bin/env bash
# Hostile inputs at full size through quorvik-convert (all three passes, the default stage):
# a 200 MB document, a single 50 MB line, a million tiny lines, NUL bytes, invalid UTF-8,
# UTF-16 with a byte-order mark, bytes that are not HTML at all, and a 20 MB document that
# opens with a <script> (or a comment) never closed. Each input is also run at half its size:
# linear time shows as a time ratio (full / half) near 2. Prints wall-clock and CPU seconds,
# MB/s (by the wall clock) and the peak memory. A third argument, --readable, runs the
# readable conversion instead of the faithful one.
# Usage: bench/hostile.sh [SCALE] [BUILD_DIR] [--readable]   (SCALE 1 = the sizes above; 0.1 for a quick look)
set -euo pipefail
cd "$(dirname "$0")/.."
scale="${1:-1}"
build="${2:-build}"
mode=("${@:3}")
cmake --build "$build" --target quorvik-convert quorvik_gen_html >/dev/null
conv="$build/cli/quorvik-convert"
gen="$build/bench/quorvik_gen_html"
data=bench/data/hostile
mkdir -p "$data"

mb() { echo "$1 * $scale" | bc -l; }
bytes_of() { echo "$1 * 1048576 / 1" | bc; }
# A quotient, or nan when the divisor is a time too short to be measured (0.00 s).
div() { if [ "$(echo "$2 == 0" | bc -l)" = 1 ]; then echo nan; else echo "$1 / $2" | bc -l; fi; }

# make_input KIND SIZE_MB FILE: writes one hostile input of about SIZE_MB.
make_input() {
  local kind=$1 size=$2 file=$3 n
  n=$(bytes_of "$size")
  case "$kind" in
    document)   "$gen" "$size" crlf "$file" ;;
    one-line)   "$gen" "$size" lf "$file" ;;
    tiny-lines) # "<p>", "a" and empty lines, CR LF: 3.4 MB hold a million lines
                { yes $'<p>\r\na\r\n\r' || true; } | head -c "$n" >"$file" ;;
    nul-bytes)  "$gen" "$size" crlf "$file.src" && tr 'q' '\000' <"$file.src" >"$file" && rm -f "$file.src" ;;
    bad-utf8)   "$gen" "$size" crlf "$file.src" && tr 'e' '\351' <"$file.src" | tr 'a' '\200' >"$file" && rm -f "$file.src" ;;
    utf16-bom)  "$gen" "$(echo "$size / 2" | bc -l)" crlf "$file.src" && iconv -f UTF-8 -t UTF-16 <"$file.src" >"$file" \
                  && rm -f "$file.src" ;;
    not-html)   head -c "$n" /dev/urandom >"$file" ;;
    open-script|open-comment)
                "$gen" "$size" crlf "$file.src"
                { if [ "$kind" = open-script ]; then printf '<script>'; else printf '<p>before<!-- '; fi
                  cat "$file.src"; } >"$file" && rm -f "$file.src" ;;
  esac
}

# run FILE -> "wall_seconds cpu_seconds peak_MB" (CPU time is user + system: on a shared machine
# it shows the work done even when the wall clock also counts waiting for a core)
run() {
  local out
  out=$( { /usr/bin/time -f '%e %U %S %M' "$conv" --defaults "${mode[@]}" "$1" >/dev/null; } 2>&1 | tail -1)
  read -r wall user sys peak <<<"$out"
  echo "$wall $(echo "$user + $sys" | bc -l) $(echo "$peak / 1024" | bc -l)"
}

printf '%-11s %8s %8s %8s %8s %8s %8s %8s %10s %10s %8s\n' input MB "wall s" "cpu s" "MB/s" \
  "half MB" "half s" "half cpu" "wall x" "cpu x" "peak MB"
for entry in document:200 one-line:50 tiny-lines:3.4 nul-bytes:50 bad-utf8:50 utf16-bom:50 not-html:50 \
  open-script:20 open-comment:20; do
  kind=${entry%%:*}
  full=$(mb "${entry#*:}")
  half=$(echo "$full / 2" | bc -l)
  for size in "$full" "$half"; do
    file="$data/$kind-$(printf '%.2f' "$size").in"
    [ -f "$file" ] || make_input "$kind" "$size" "$file"
    cat "$file" >/dev/null
  done
  ffile="$data/$kind-$(printf '%.2f' "$full").in"
  hfile="$data/$kind-$(printf '%.2f' "$half").in"
  read -r fw fc fpeak < <(run "$ffile")
  read -r hw hc _ < <(run "$hfile")
  fmb=$(echo "$(stat -c %s "$ffile") / 1048576" | bc -l)
  hmb=$(echo "$(stat -c %s "$hfile") / 1048576" | bc -l)
  printf '%-11s %8.1f %8.2f %8.2f %8.1f %8.1f %8.2f %8.2f %10.2f %10.2f %8.1f\n' "$kind" "$fmb" "$fw" "$fc" \
    "$(div "$fmb" "$fw")" "$hmb" "$hw" "$hc" "$(div "$fw" "$hw")" "$(div "$fc" "$hc")" "$fpeak"
done
echo "wall x, cpu x: time of the full input over time of the half one (2 = linear; nan: too short to time)"
