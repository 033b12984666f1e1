#!/usr/bin/env bash
# Runs the tests labelled "alsa" against a real ALSA sequencer: directly where this machine
# has /dev/snd/seq, else inside the throw-away virtual machine of alsa-vm (with an Xvfb there,
# so the window tests get real X11 key events). Reports like ctest.
# Usage: scripts/test-alsa.sh [--if-possible] [BUILD-FOLDER]
#   --if-possible  (make test) where they cannot run, print one line saying why and succeed
# ALSA_VM=path overrides where alsa-vm is found.
set -euo pipefail
cd "$(dirname "$0")/.."
optional=0
if [[ "${1:-}" == --if-possible ]]; then optional=1; shift; fi
build=$(cd "${1:-build}" && pwd)

cannot() {
  if [[ $optional == 1 ]]; then
    echo "ALSA sequencer tests skipped: $*; make test-alsa runs them"
    exit 0
  fi
  echo "test-alsa: $*" >&2
  exit 1
}

find_vm() {
  local candidate
  for candidate in "${ALSA_VM:-}" ../shared/tools/alsa-vm /work/shared/tools/alsa-vm; do
    [[ -n "$candidate" && -f "$candidate" && -r "$candidate" ]] && { readlink -f "$candidate"; return 0; }
  done
  return 1
}

# One at a time: the tests' peer clients share names, and under emulation a busy virtual CPU
# only slows every test down.
tests=(ctest --test-dir "$build" -L alsa --output-on-failure --timeout 1800)

if [[ -c /dev/snd/seq && -r /dev/snd/seq && -w /dev/snd/seq ]]; then
  exec "${tests[@]}"
fi
vm=$(find_vm) || cannot "no /dev/snd/seq here and no alsa-vm to start a machine that has one (set ALSA_VM)"
[[ $(id -u) == 0 ]] || cannot "no /dev/snd/seq here, and alsa-vm needs root"
command -v Xvfb >/dev/null || cannot "Xvfb is missing (scripts/install-deps.sh installs it)"
echo "test-alsa: running the ALSA tests in a virtual machine ($vm)"
# 125: the machine itself did not start (no kernel to be had, no qemu, or an emulated boot
# that lost its timer on a loaded host); the tests never ran. One more try for the last.
for attempt in 1 2; do
  status=0
  # The X server's socket may be there before it answers; the window tests need it answering.
  bash "$vm" --timeout 1800 --xvfb -- env QT_QPA_PLATFORM=xcb bash -c \
    'for i in $(seq 300); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done; exec "$@"' \
    wait-for-x "${tests[@]}" || status=$?
  [[ $status == 125 ]] || exit $status
done
cannot "the virtual machine did not start (alsa-vm exit 125, see above)"
