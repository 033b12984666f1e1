#!/usr/bin/env bash
# Installs the Debian package as a user would, checks what the user meets, and removes it again:
# the machine's packages are as before afterwards (whatever the install brought is removed
# too). Needs root, xvfb-run and xdotool. Usage: scripts/check-deb.sh kelvane_<version>_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
[[ $(id -u) -eq 0 ]] || { echo "run as root" >&2; exit 1; }
dpkg-query -W kelvane >/dev/null 2>&1 && { echo "kelvane is installed already; remove it first" >&2; exit 1; }
work=$(mktemp -d)
installed() { dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture}\n' | awk '$1 == "ii" { print $2 }' | sort; }
installed >"$work/before"
failures=0
check() {  # check <what> <command...>
  local what=$1; shift
  if "$@" >"$work/out" 2>&1; then echo "ok: $what"; else echo "FAIL: $what"; sed 's/^/    /' "$work/out"; failures=$((failures + 1)); fi
}
cleanup() {
  if dpkg-query -W kelvane >/dev/null 2>&1; then
    echo "== apt-get remove kelvane"
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq kelvane >/dev/null
  fi
  # What the install brought along goes too.
  installed >"$work/after"
  mapfile -t added < <(comm -13 "$work/before" "$work/after")
  if [[ ${#added[@]} -gt 0 ]]; then
    echo "== removing what came with it: ${added[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "${added[@]}" >/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "== apt-get install $(basename "$deb")"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
comm -13 "$work/before" <(installed) | sed 's/^/    installed: /'

home="$work/home"
mkdir -p "$home"
# A user's plain environment: a home of its own, no display, the C locale unless one is given.
as_user() { env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$home" LANG=C.UTF-8 "$@"; }
on_path() { [[ $(as_user sh -c 'command -v kelvane') == /usr/bin/kelvane ]]; }
lists_synthesizer() { as_user KELVANE_MIDI_API=none kelvane --list-ports | grep -qx 'Kelvane Synthesizer'; }
says_version() { as_user kelvane --version | grep -q '^Kelvane [0-9]'; }
helps_in_japanese() { as_user kelvane --help | grep -q '^使い方: kelvane'; }
helps_in_english() { as_user LANG=en_US.UTF-8 kelvane --help | grep -q '^Usage: kelvane'; }
manual_found() { [[ $(man -w kelvane) == /usr/share/man/man1/kelvane.1.gz ]]; }
# The window on an X server: the first start's box answered, then Exit from the function menu.
window_writes_settings() {
  cat >"$work/window.sh" <<'SCRIPT'
kelvane & pid=$!
xdotool search --sync --onlyvisible --pid "$pid" --name Kelvane >/dev/null
sleep 2
xdotool key Return; sleep 1
window=$(xdotool search --onlyvisible --pid "$pid" --name Kelvane | head -1)
xdotool windowfocus --sync "$window"; sleep 0.5
xdotool key alt+n; sleep 0.5; xdotool key x
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill "$pid" 2>/dev/null; then echo "the window did not close"; exit 1; fi
wait "$pid"
SCRIPT
  as_user KELVANE_MIDI_API=none xvfb-run -a sh "$work/window.sh" &&
    [[ -s "$home/.config/kelvane/kelvane.ini" ]] && [[ ! -e /usr/bin/kelvane.ini ]]
}

check "kelvane is on the path" on_path
check "kelvane --list-ports lists the built-in synthesizer" lists_synthesizer
check "kelvane --version" says_version
check "kelvane --help in Japanese" helps_in_japanese
check "kelvane --help in English" helps_in_english
check "the desktop entry is valid" desktop-file-validate /usr/share/applications/kelvane.desktop
check "the metainfo is valid" appstreamcli validate --pedantic --no-net /usr/share/metainfo/org.kelvane.kelvane.metainfo.xml
check "the manual page is found" manual_found
check "the window writes its settings under ~/.config/kelvane/" window_writes_settings

files=$(dpkg-query -L kelvane | sort)
echo "== apt-get remove kelvane"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq kelvane >/dev/null
# Its files, and its own folders (the shared ones, /usr/bin and the like, stay).
left=$(for file in $files; do if [[ -f "$file" || ( -e "$file" && "$file" == *kelvane* ) ]]; then echo "$file"; fi; done)
check "nothing of the package is left" test -z "$left"
not_known() { ! dpkg-query -W -f='${db:Status-Abbrev}' kelvane 2>/dev/null | grep -q '^[ic]'; }
check "dpkg knows no kelvane" not_known
echo "(a user's settings stay in the home, as with every package)"
[[ $failures -eq 0 ]] && echo "all checks passed" || { echo "$failures check(s) failed"; exit 1; }
