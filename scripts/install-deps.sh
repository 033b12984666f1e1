#!/usr/bin/env bash
# Installs the Debian packages Kelvane builds, runs and tests with; does nothing when they
# are all present. Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools          # widgets, dialogs, timers; uic and moc
  qt6-tools-dev qt6-l10n-tools             # the English translation: lrelease and its CMake support
  libasound2-dev libjack-jackd2-dev        # MIDI ports: the ALSA sequencer and JACK, both ways
  libfluidsynth-dev timgm6mb-soundfont     # the built-in synthesizer and its GM sound font
  fonts-noto-cjk                           # a Japanese font for the interface
  libgtest-dev jackd2                      # tests: GoogleTest and a real JACK server
  libxcb-xkb-dev                           # X11: a held key sends no release until it goes up
  xvfb xauth xdotool x11-xserver-utils     # tests: held keys on a real X server; the ALSA VM's X server
  appstream desktop-file-utils             # tests: the metainfo file and the desktop entry are valid
  dpkg-dev                                 # make deb and its test: dpkg-shlibdeps finds the package's dependencies
  python3-mido                             # tests: an independent reader of the Standard MIDI Files the monitor writes
)
# `scripts/install-deps.sh fuzz` (make fuzz) adds what only the fuzz targets need.
if [[ "${1:-}" == fuzz ]]; then
  packages+=(clang libclang-rt-14-dev)     # libFuzzer and the sanitizers' run-time for clang
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
run_as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; elif command -v sudo >/dev/null; then sudo "$@"; else
    echo "Please install as root: ${missing[*]}" >&2; exit 1; fi
}
run_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
run_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
