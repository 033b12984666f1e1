#!/usr/bin/env bash
# The Debian package as CPack builds it from this build folder: it holds the program, its data,
# the desktop files and the manual page under /usr and nothing else, depends on the libraries
# the program links and on the fonts it needs, and its program runs.
# Usage: deb-contents.sh <cpack> <build folder> <version>
set -euo pipefail
cpack=$1
build=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && "$cpack" -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
deb="$work/kelvane_${version}_$(dpkg --print-architecture).deb"
[[ -f "$deb" ]] || fail "no $(basename "$deb"); cpack made: $(ls "$work")"

# Every file, and only these (directories aside).
expected="./usr/bin/kelvane
./usr/share/applications/kelvane.desktop
./usr/share/doc/kelvane/copyright
./usr/share/icons/hicolor/64x64/apps/kelvane.png
./usr/share/icons/hicolor/scalable/apps/kelvane.svg
./usr/share/kelvane/note.ini
./usr/share/kelvane/program.ini
./usr/share/man/man1/kelvane.1.gz
./usr/share/metainfo/org.kelvane.kelvane.metainfo.xml"
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
[[ "$files" == "$expected" ]] || fail "the package holds
$files
instead of
$expected"
# Owned by root and readable by all, as installed files must be.
dpkg-deb -c "$deb" | awk '$2 != "root/root" { print; bad = 1 } $1 !~ /^[-d]r[-w][-x]r-[-x]r-[-x]$/ { print; bad = 1 } END { exit bad }' ||
  fail "files not owned by root or not readable by all"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libfluidsynth3 libjack libasound2 libxcb-xkb1 \
               timgm6mb-soundfont fonts-noto-cjk; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[[ $(dpkg-deb -f "$deb" Package) == kelvane && $(dpkg-deb -f "$deb" Version) == "$version" ]] ||
  fail "package name or version: $(dpkg-deb -f "$deb" Package Version)"

# What the package installs works as it lies there: the stripped program answers, and the
# manual page formats without a warning.
dpkg-deb -x "$deb" "$work/root"
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/root/usr/bin/kelvane" --version)
[[ "$answer" == "Kelvane $version" ]] || fail "the packaged program said: $answer"
! readelf -S "$work/root/usr/bin/kelvane" | grep -q '\.symtab' || fail "the program is not stripped"
if command -v man >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$work/root/usr/share/man/man1/kelvane.1.gz" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "the manual page: $warnings"
else
  echo "note: the manual page was not formatted (man is not installed)"
fi
echo "ok: $(basename "$deb"), $(dpkg-deb -f "$deb" Installed-Size) KiB installed"
