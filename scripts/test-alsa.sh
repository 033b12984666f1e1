#!/usr/bin/env bash
# Runs the tests labelled "alsa" against a real ALSA sequencer: directly where this machine
# has /dev/snd/seq, else inside the throw-away virtual machine of alsa-vm (with an Xvfb there,
# so the window tests get real X11 key events). Reports like ctest.
# Usage: scripts/test-alsa.sh [BUILD-FOLDER]   (ALSA_VM=path overrides where alsa-vm is found)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)

find_vm() {
  local candidate
  for candidate in "${ALSA_VM:-}" ../shared/tools/alsa-vm /work/shared/tools/alsa-vm; do
    [[ -n "$candidate" && -x "$candidate" ]] && { readlink -f "$candidate"; return 0; }
  done
  return 1
}

# One at a time: the tests' peer clients share names, and under emulation a busy virtual CPU
# only slows every test down.
tests=(ctest --test-dir "$build" -L alsa --output-on-failure --timeout 1800)

if [[ -c /dev/snd/seq && -r /dev/snd/seq && -w /dev/snd/seq ]]; then
  exec "${tests[@]}"
fi
if ! vm=$(find_vm); then
  echo "test-alsa: no /dev/snd/seq here and no alsa-vm found (set ALSA_VM=path/to/alsa-vm)" >&2
  exit 1
fi
command -v Xvfb >/dev/null || { echo "test-alsa: Xvfb is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
echo "test-alsa: running the ALSA tests in a virtual machine ($vm)"
exec "$vm" --timeout 3000 --xvfb -- env QT_QPA_PLATFORM=xcb "${tests[@]}"
