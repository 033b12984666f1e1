#!/usr/bin/env bash
# Runs the tests labelled "alsa" against a real ALSA sequencer and on a real X server (so that
# the whole-program test gets X11 key events): directly where this machine has /dev/snd/seq,
# under xvfb-run, else inside the throw-away virtual machine of alsa-vm, on an Xvfb there.
# Either way KELVANE_REQUIRE_ALL_TESTS is set for them: a test that finds no sequencer or no
# display fails instead of skipping. Reports like ctest.
# Usage: scripts/test-alsa.sh [--if-possible] [BUILD-FOLDER]
#   --if-possible  (make test) where they cannot run, record why for the summary of make test
#                  and succeed; ignored when KELVANE_REQUIRE_ALL_TESTS is set (.ci/run)
# ALSA_VM=path names alsa-vm; otherwise it is ../shared/tools/alsa-vm beside this checkout.
set -euo pipefail
cd "$(dirname "$0")/.."
optional=0
if [[ "${1:-}" == --if-possible ]]; then optional=1; shift; fi
[[ -z ${KELVANE_REQUIRE_ALL_TESTS:-} ]] || optional=0
build=$(cd "${1:-build}" && pwd)
results=$build/test-results
mkdir -p "$results"
rm -f "$results"/alsa_*

runs_them="a machine with /dev/snd/seq runs them, or alsa-vm run as root (ALSA_VM=path, or ../shared/tools/alsa-vm)"
cannot() {
  echo "missing $*" >"$results/alsa_not_run"
  [[ $optional == 1 ]] && exit 0
  echo "test-alsa: the ALSA sequencer tests did not run: $*" >&2
  exit 1
}

find_vm() {
  local candidate
  for candidate in "${ALSA_VM:-}" ../shared/tools/alsa-vm; do
    [[ -n "$candidate" && -f "$candidate" && -r "$candidate" ]] && { readlink -f "$candidate"; return 0; }
  done
  return 1
}

# One at a time: the tests' peer clients share names, and under emulation a busy virtual CPU
# only slows every test down.
# alsa_rawmidi unplugs the virtual rawmidi device and plugs it in again by unbinding its driver
# and binding it again, as the kernel sees an interface pulled out and put back (as root).
virmidi=/sys/bus/platform/drivers/snd_virmidi
tests=(env KELVANE_REQUIRE_ALL_TESTS=1 QT_QPA_PLATFORM=xcb
  "KELVANE_UNPLUG_RAWMIDI=echo snd_virmidi.0 > $virmidi/unbind"
  "KELVANE_PLUG_IN_RAWMIDI=echo snd_virmidi.0 > $virmidi/bind"
  ctest --test-dir "$build" -L alsa --output-on-failure --timeout 1800)

if [[ -c /dev/snd/seq && -r /dev/snd/seq && -w /dev/snd/seq ]]; then
  command -v xvfb-run >/dev/null && command -v xdotool >/dev/null ||
    cannot "xvfb-run or xdotool is missing for the whole-program test (packages xvfb and xdotool; scripts/install-deps.sh installs them)"
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "${tests[@]}"
fi
vm=$(find_vm) || cannot "no /dev/snd/seq here and no alsa-vm to start a machine that has one; $runs_them"
[[ $(id -u) == 0 ]] || cannot "no /dev/snd/seq here, and alsa-vm needs root; $runs_them"
command -v Xvfb >/dev/null || cannot "Xvfb is missing (package xvfb; scripts/install-deps.sh installs it)"
echo "test-alsa: running the ALSA tests in a virtual machine ($vm)"
# snd-virmidi: a kernel rawmidi device behind the sequencer, as a USB or DIN interface is, for
# alsa_rawmidi. (On a machine with its own sequencer that test needs `modprobe snd-virmidi
# midi_devs=1` and root.)
# 125: the machine did not start (no kernel to be had, no qemu, or an emulated boot that lost
# its timer on a loaded host), or started without a working sequencer (a module that did not
# load); the tests never ran. Three tries before giving up.
for attempt in 1 2 3; do
  status=0
  # The X server's socket may be there before it answers; the window tests need it answering.
  bash "$vm" --timeout 1800 --xvfb --module 'snd-virmidi midi_devs=1' -- bash -c \
    'for i in $(seq 300); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done; exec "$@"' \
    wait-for-x "${tests[@]}" || status=$?
  [[ $status == 125 ]] || exit $status
  echo "test-alsa: the virtual machine did not start (alsa-vm exit 125), try $attempt of 3" >&2
done
cannot "the virtual machine did not start in three tries (alsa-vm exit 125, see above); $runs_them"
