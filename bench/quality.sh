#!/usr/bin/env bash
# How much of a page's text the conversion keeps, faithful and readable: the pages listed in
# bench/quality-pages.txt (real pages from Debian documentation packages) are converted with
# and without --readable and compared, word by word, with a text-mode browser's dump of the
# same page (w3m -dump). Words are runs of letters and digits, lower-cased, counted as a
# multiset. Recall is the share of the browser's words that the conversion has, precision the
# share of the conversion's words that the browser has; both are summed over all pages, and
# the worst page is named. Lines are not wrapped (--text-length 0), so that wrapping cannot cut
# a long word.
# Installs w3m and the documentation packages when they are missing (apt-get, as root).
# Usage: bench/quality.sh [BUILD_DIR] [--details]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
details="${2:-}"
list=bench/quality-pages.txt
packages=$(grep -v '^#' "$list" | cut -f1 | sort -u | tr '\n' ' ')
missing=""
for p in w3m $packages; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "installing:$missing" >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing >/dev/null
fi
cmake --build "$build" --target quorvik-convert >/dev/null
conv="$build/cli/quorvik-convert"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

i=0
grep -v '^#' "$list" | cut -f2 | while read -r page; do
  i=$((i + 1))
  w3m -dump -cols 200 -T text/html "$page" >"$work/$i.w3m"
  "$conv" --defaults --text-length 0 "$page" >"$work/$i.faithful"
  "$conv" --defaults --text-length 0 --readable "$page" >"$work/$i.readable"
  echo "$page" >"$work/$i.name"
done

python3 - "$work" "$details" <<'PY'
import collections, pathlib, re, sys
work, details = pathlib.Path(sys.argv[1]), sys.argv[2] == "--details"
word = re.compile(r"[^\W_]+")
def words(path):
    return collections.Counter(w.lower() for w in word.findall(path.read_text(encoding="utf-8", errors="replace")))
pages = sorted(int(p.stem) for p in work.glob("*.name"))
for mode in ("faithful", "readable"):
    total_common = total_ref = total_ours = 0
    rows = []
    for i in pages:
        ref, ours = words(work / f"{i}.w3m"), words(work / f"{i}.{mode}")
        common = sum((ref & ours).values())
        r, o = sum(ref.values()), sum(ours.values())
        total_common, total_ref, total_ours = total_common + common, total_ref + r, total_ours + o
        name = (work / f"{i}.name").read_text().strip()
        rows.append((common / r if r else 1.0, common / o if o else 1.0, name, ref - ours, ours - ref))
    print(f"{mode:9}  recall {total_common / total_ref:.4f}  precision {total_common / total_ours:.4f}"
          f"  ({len(pages)} pages, {total_ref} browser words)")
    worst_r = min(rows, key=lambda x: x[0])
    worst_p = min(rows, key=lambda x: x[1])
    print(f"{'':9}  worst recall    {worst_r[0]:.4f}  {worst_r[2]}")
    print(f"{'':9}  worst precision {worst_p[1]:.4f}  {worst_p[2]}")
    if details:
        for r, p, name, lost, extra in rows:
            print(f"    {r:.4f} {p:.4f} {name}")
            print("      missing:", " ".join(f"{w}x{n}" for w, n in lost.most_common(12)))
            print("      extra:  ", " ".join(f"{w}x{n}" for w, n in extra.most_common(12)))
PY
