#!/usr/bin/env bash
# Start-up time: from starting the process to the main window shown and its first event-loop
# turn (the program then quits by itself). Median of N runs, offscreen platform. The built-in
# synthesizer is listed but no port is saved, so its sound font is never loaded: it is loaded
# when its port opens, not at start-up.
set -euo pipefail
binary=${1:-build/bin/kelvane}
runs=${2:-11}
folder=$(mktemp -d)
cp "$binary" "$folder/"
cp "$(dirname "$binary")"/note.ini "$(dirname "$binary")"/program.ini "$folder/"
times=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  QT_QPA_PLATFORM=offscreen KELVANE_MIDI_API=none KELVANE_QUIT_WHEN_SHOWN=1 \
    "$folder/kelvane" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  times+=($(( (end - start) / 1000000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start-up to window shown: median ${sorted[$((runs / 2))]} ms over $runs runs (all: ${times[*]})"
rm -rf "$folder"
