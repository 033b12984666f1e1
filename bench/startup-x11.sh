#!/usr/bin/env bash
# Start-up beside a peer: Kelvane and VMPK started in turn on a real X server (xcb under Xvfb)
# while a JACK server runs in dummy mode, each timed from process start to its first window
# mapped. Kelvane opens a saved JACK port (a jack_midi_dump client's input), as a user's would.
# Prints both medians and their ratio.
#   bench/startup-x11.sh [build/bin] [runs]      (after a build with -DKELVANE_BENCH=ON)
# Installs vmpk, xvfb and xauth when missing (needs root); VMPK is only timed, never used.
set -euo pipefail
bin=$(cd "${1:-build/bin}" && pwd)
runs=${2:-15}

missing=()
for package in vmpk xvfb xauth jackd2; do
  [[ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)" == "install ok installed" ]] || missing+=("$package")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$bin" "$runs"
fi

work=$(mktemp -d)
export JACK_DEFAULT_SERVER="kelvane-startup-$$"
jackd -r -S -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
jackd_pid=$!
dump_pid=
cleanup() {
  [[ -n "$dump_pid" ]] && kill "$dump_pid" 2>/dev/null || true
  kill "$jackd_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do jack_lsp >/dev/null 2>&1 && break; sleep 0.05; done
jack_midi_dump >/dev/null 2>&1 &
dump_pid=$!
port=
for _ in $(seq 100); do
  port=$(jack_lsp 2>/dev/null | grep -m1 midi-monitor || true)
  [[ -n "$port" ]] && break
  sleep 0.05
done
[[ -n "$port" ]] || { echo "no port of jack_midi_dump" >&2; exit 1; }

mkdir -p "$work/kelvane" "$work/home"
cp "$bin/kelvane" "$bin/note.ini" "$bin/program.ini" "$work/kelvane/"
printf '[Midi]\nOutDeviceName=%s\n' "$port" >"$work/kelvane/kelvane.ini"

kelvane() {
  QT_QPA_PLATFORM=xcb KELVANE_MIDI_API=jack KELVANE_QUIT_WHEN_SHOWN=1 \
    "$bin/first-window" "$work/kelvane/kelvane" 2>>"$work/kelvane.log"
}
vmpk_run() {
  HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=xcb \
    "$bin/first-window" vmpk 2>>"$work/vmpk.log"
}
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

kelvane >/dev/null; vmpk_run >/dev/null  # warm the caches for both
k=(); v=()
for _ in $(seq "$runs"); do
  k+=("$(kelvane)")
  v+=("$(vmpk_run)")
done
mk=$(median "${k[@]}"); mv=$(median "${v[@]}")
echo "Kelvane (JACK, saved port $port): median $mk ms over $runs runs (all: ${k[*]})"
echo "VMPK: median $mv ms over $runs runs (all: ${v[*]})"
awk -v k="$mk" -v v="$mv" 'BEGIN { printf "Kelvane / VMPK: %.2f\n", k / v }'
if [[ -s "$work/kelvane.log" ]]; then
  echo "Kelvane said (the saved port may not have opened):"; sort -u "$work/kelvane.log" | head -5
fi
