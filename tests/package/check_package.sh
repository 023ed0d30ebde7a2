#!/usr/bin/env bash
# Checks the Debian package that scripts/package made: the files a desktop
# and a terminal user expect are in it, its metainfo and desktop entry are
# valid, its dependencies came from dpkg-shlibdeps, and the programs
# unpacked into a scratch root run.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^project(quillmoor VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
deb="$root/build/package/quillmoor_${version}_amd64.deb"
[ -f "$deb" ] || { echo "no package $deb" >&2; exit 1; }

failures=0
fail() { echo "package: $*" >&2; failures=$((failures + 1)); }

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for file in \
  ./usr/bin/quillmoor \
  ./usr/bin/quillmoor-cli \
  ./usr/share/applications/org.example.quillmoor.Quillmoor.desktop \
  ./usr/share/icons/hicolor/scalable/apps/quillmoor.svg \
  ./usr/share/metainfo/org.example.quillmoor.Quillmoor.metainfo.xml \
  ./usr/share/man/man1/quillmoor.1 \
  ./usr/share/man/man1/quillmoor-cli.1 \
  ./usr/share/doc/quillmoor/help/index.html; do
  grep -qx -- "$file" <<<"$contents" || fail "missing $file"
done
# Nothing of the tests or the build comes along.
grep -q -- '/test_\|/bench_\|/fuzz_' <<<"$contents" && fail "test programs in the package"

depends=$(dpkg-deb --field "$deb" Depends)
for library in libqt6widgets6 libqt6core6 libcurl4 libc6 libqt6sql6-sqlite; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"
appstreamcli validate --no-net "$scratch/usr/share/metainfo/org.example.quillmoor.Quillmoor.metainfo.xml" >/dev/null \
  || fail "metainfo does not validate"
desktop-file-validate "$scratch/usr/share/applications/org.example.quillmoor.Quillmoor.desktop" \
  || fail "desktop entry does not validate"
[ "$("$scratch/usr/bin/quillmoor-cli" --version)" = "quillmoor-cli $version" ] || fail "quillmoor-cli --version"
# The unpacked window program finds every library it links.
ldd "$scratch/usr/bin/quillmoor" | grep -q "not found" && fail "quillmoor misses a library"
man -l "$scratch/usr/share/man/man1/quillmoor-cli.1" 2>/dev/null | grep -q -- "--no-cache" \
  || fail "the manual page of quillmoor-cli does not render"

[ "$failures" -eq 0 ] && echo "package: $deb is complete"
exit "$failures"
