#!/usr/bin/env bash
# Builds the Debian package from an existing build folder (argument, default build) and checks
# it: the files it installs, its control fields and Qt dependencies, and (where the tools are
# installed) that its desktop entry and AppStream metainfo validate. Exits non-zero on any fault.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$(cd "${1:-build}" && pwd)"
if [ ! -f "$dir/CMakeCache.txt" ]; then
  echo "check-package: $dir is not a configured build folder" >&2
  exit 2
fi

# Brings the build up to date (re-configures if the CMake files changed), then packages.
cmake --build "$dir" --target quorvik quorvik-convert quorvik_man
out="$dir/package"
rm -rf "$out"
mkdir -p "$out"
(cd "$dir" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || {
  cat "$out/cpack.log" >&2
  echo "check-package: cpack failed" >&2
  exit 1
}
debs=("$out"/quorvik_*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "check-package: cpack made no single quorvik_*.deb in $out" >&2
  exit 1
fi
deb="${debs[0]}"
echo "Package: $deb"

fail=0
problem() { echo "check-package: $*" >&2; fail=1; }

# ---- the files ----
dpkg-deb -c "$deb" >"$out/contents.txt"
cat "$out/contents.txt"
# Paths only, without the leading "." (directories end with /).
awk '{ print $6 }' "$out/contents.txt" | sed 's|^\./|/|' >"$out/paths.txt"

expected=(
  /usr/bin/quorvik
  /usr/bin/quorvik-convert
  /usr/share/applications/quorvik.desktop
  /usr/share/metainfo/org.quorvik.Quorvik.metainfo.xml
  /usr/share/man/man1/quorvik-convert.1.gz
  /usr/share/man/man1/quorvik.1.gz
  /usr/share/icons/hicolor/scalable/apps/quorvik.svg
  /usr/share/quorvik/help/index.html
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/quorvik.png")
done
# Every page of the help document is shipped.
for page in resources/help/*; do
  expected+=("/usr/share/quorvik/help/$(basename "$page")")
done
for f in "${expected[@]}"; do
  grep -qxF "$f" "$out/paths.txt" || problem "missing from the package: $f"
done

# Nothing but the programs and their data (no libraries, headers, tests or build files).
unexpected="$(grep -v '/$' "$out/paths.txt" \
  | grep -vE '^/usr/bin/quorvik(-convert)?$|^/usr/share/(applications|metainfo|icons/hicolor|man/man1|quorvik/help|doc/quorvik)/' \
  || true)"
[ -z "$unexpected" ] || problem "files that do not belong in the package:
$unexpected"

# The programs are executables for this machine, stripped.
for prog in quorvik quorvik-convert; do
  mode="$(awk -v p="./usr/bin/$prog" '$6 == p { print $1 }' "$out/contents.txt")"
  [[ "$mode" == -rwxr-xr-x ]] || problem "/usr/bin/$prog is not an executable file (mode ${mode:-none})"
done

# ---- the control fields ----
dpkg-deb -I "$deb" >"$out/info.txt"
cat "$out/info.txt"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quorvik ] || problem "Package is '$(field Package)', not quorvik"
[ "$(field Version)" = 1.0.0 ] || problem "Version is '$(field Version)', not 1.0.0"
[ -n "$(field Maintainer)" ] || problem "no Maintainer"
[ -n "$(field Section)" ] || problem "no Section"
[ -n "$(field Description)" ] || problem "no Description"
depends="$(field Depends)"
# The package names alone, one a line ("libqt6core6 (>= 6.4.0), a | b" -> libqt6core6, a, b).
names="$(tr ',|' '\n\n' <<<"$depends" | awk 'NF { print $1 }')"
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libc6 libstdc++6; do
  grep -qxF "$lib" <<<"$names" || problem "Depends does not name $lib: $depends"
done

# ---- the desktop files, as packaged ----
root="$out/root"
dpkg-deb -x "$deb" "$root"
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$root/usr/share/applications/quorvik.desktop" || problem "the desktop entry does not validate"
else
  echo "check-package: desktop-file-validate not installed; desktop entry not validated"
fi
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/org.quorvik.Quorvik.metainfo.xml" \
    || problem "the AppStream metainfo does not validate"
else
  echo "check-package: appstreamcli not installed; metainfo not validated"
fi
# The packaged converter runs.
"$root/usr/bin/quorvik-convert" --version | grep -qF "quorvik-convert 1.0.0" \
  || problem "the packaged quorvik-convert does not report version 1.0.0"

if [ "$fail" -ne 0 ]; then
  echo "check-package: FAILED" >&2
  exit 1
fi
echo "check-package: $(basename "$deb") is complete ($(grep -vc '/$' "$out/paths.txt") files)"
