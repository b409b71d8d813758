#!/usr/bin/env bash
# Makes a corpus of real RTF files for quorvik_rtf_lo_compare: each HTML file given is
# written as RTF by LibreOffice (OUT/NAME.lo-writer.rtf) and by pandoc (OUT/NAME.pandoc.rtf),
# and beside each RTF file goes what LibreOffice reads from it: its text (.lo.txt) and its
# runs (.lo.json, by tests/rtf/fixtures/lo_runs.py).
#   bench/rtf/make-lo-corpus.sh OUT FILE.html...
#   build/bench/rtf/quorvik_rtf_lo_compare OUT/*.rtf
# Images are taken out of the HTML first: neither program is to fetch anything. LibreOffice
# runs with a profile of its own in OUT, so that it never hands its work to another
# LibreOffice running on the machine. A file a program fails to convert is left out.
set -euo pipefail
out="$1"
shift
runs="$(cd "$(dirname "$0")/../../tests/rtf/fixtures" && pwd)/lo_runs.py"
mkdir -p "$out/tmp"
out="$(cd "$out" && pwd)"
soffice=(soffice "-env:UserInstallation=file://$out/profile" --headless)
for html in "$@"; do
  name=$(basename "$html" .html | tr . -)
  sed 's/<img[^>]*>//g' "$html" >"$out/tmp/$name.html"
  "${soffice[@]}" --infilter="HTML (StarWriter)" --convert-to rtf --outdir "$out/tmp" \
    "$out/tmp/$name.html" >/dev/null 2>&1 || true
  mv "$out/tmp/$name.rtf" "$out/$name.lo-writer.rtf" || echo "LibreOffice failed on $html"
  pandoc -s -f html -t rtf "$out/tmp/$name.html" -o "$out/$name.pandoc.rtf" ||
    echo "pandoc failed on $html"
done
for rtf in "$out"/*.rtf; do
  name=$(basename "$rtf" .rtf)
  "${soffice[@]}" --convert-to 'txt:Text (encoded):UTF8' --outdir "$out/tmp" "$rtf" >/dev/null 2>&1
  "${soffice[@]}" --convert-to fodt --outdir "$out/tmp" "$rtf" >/dev/null 2>&1
  sed '1s/^\xEF\xBB\xBF//' "$out/tmp/$name.txt" >"$out/$name.lo.txt"
  python3 "$runs" "$out/tmp/$name.fodt" >"$out/$name.lo.json"
  echo "$rtf"
done
rm -rf "$out/tmp"
