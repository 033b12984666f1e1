#!/usr/bin/env bash
# Pictures of the windows on a real X server (xcb under Xvfb), in Japanese and in English, and a
# pixel-by-pixel comparison of two sets of them: how a change of code that must not change the
# interface is checked. The pictures: the three pages of the main window at its default size, its
# two menus open, and the two dialogs; beside them structure.txt, each widget's place, font, texts
# and state and the order Tab visits the controls in.
#
#   scripts/screenshots.sh take FOLDER [BUILD-FOLDER]   FOLDER/ja and FOLDER/en (build/ by default)
#   scripts/screenshots.sh compare BEFORE AFTER         every picture by `compare -metric AE`, and
#                                                       the structure files; non-zero on a difference
#
# To compare two commits: build the first, take FOLDER-1; build the second, take FOLDER-2; compare.
# Installs ImageMagick, xvfb and xauth when missing (needs root).
set -euo pipefail
cd "$(dirname "$0")/.."

need() {
  local missing=() package
  for package in "$@"; do
    [[ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)" == "install ok installed" ]] || missing+=("$package")
  done
  if [[ ${#missing[@]} -gt 0 ]]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

take() {
  local folder=$1 build=${2:-build}
  need xvfb xauth fonts-noto-cjk
  cmake --build "$build" --target kelvane_screenshots -j"${JOBS:-2}" >/dev/null
  mkdir -p "$folder"
  folder=$(cd "$folder" && pwd)
  local home language
  home=$(mktemp -d)
  for language in ja en; do
    # The same screen, platform and settings home every time; no MIDI system, the tests' service.
    env -u LANG -u LC_ALL -u LC_MESSAGES KELVANE_LANG=$language QT_QPA_PLATFORM=xcb KELVANE_MIDI_API=none \
      XDG_CONFIG_HOME="$home" QT_SCALE_FACTOR=1 QT_FONT_DPI=96 \
      xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$build/bin/kelvane_screenshots" "$folder/$language"
  done
  rm -rf "$home"
  echo "screenshots: $(find "$folder" -name '*.png' | wc -l) pictures in $folder"
}

compare_sets() {
  local before=$1 after=$2 differ=0 picture name pixels
  need imagemagick
  while IFS= read -r picture; do
    name=${picture#"$before"/}
    if [[ ! -f "$after/$name" ]]; then
      echo "$name: missing in $after"
      differ=1
      continue
    fi
    # AE: the number of pixels that differ; compare writes it on standard error.
    pixels=$(compare -metric AE "$picture" "$after/$name" null: 2>&1 || true)
    echo "$name: $pixels pixels differ"
    [[ "$pixels" == 0 ]] || differ=1
  done < <(cd "$before" && find . -name '*.png' | sort | sed "s|^\.|$before|")
  for name in ja/structure.txt en/structure.txt; do
    if diff -u "$before/$name" "$after/$name" >/dev/null; then
      echo "$name: the same"
    else
      echo "$name: differs (diff -u $before/$name $after/$name)"
      differ=1
    fi
  done
  return $differ
}

case "${1:-}" in
  take) shift; take "$@" ;;
  compare) shift; compare_sets "${1%/}" "${2%/}" ;;
  *) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
esac
