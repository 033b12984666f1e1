#!/usr/bin/env bash
# The last lines of `make test`: one line per test group saying how many programs and tests
# ran and how they ended, or why the group did not run and what would run it. Reads what each
# test program recorded in BUILD/test-results/ (one file per program, named like its ctest
# test; the group is the name up to the first "_"). With KELVANE_REQUIRE_ALL_TESTS set, a group
# that did not run, or a skipped test, makes this fail.
# Usage: scripts/test-summary.sh [BUILD-FOLDER]
set -euo pipefail
results=${1:-build}/test-results
required=${KELVANE_REQUIRE_ALL_TESTS:-}

groups=(unit gui integration x11 alsa metainfo package fuzz)
declare -A noun=([metainfo]=check [package]=check [fuzz]="seed input")
declare -A note=([integration]="a JACK server of their own" [x11]="on Xvfb" [alsa]="a real ALSA sequencer"
  [metainfo]="appstreamcli and desktop-file-validate" [package]="the Debian package's contents" [fuzz]="each target's properties on its corpus")
plural() { if (($1 == 1)); then echo "$1 $2"; else echo "$1 $2s"; fi; }
joined() { local text; text=$(printf '%s; ' "$@"); echo "${text%; }"; }
fell_short() { [[ " ${short[*]} " == *" $1 "* ]] || short+=("$1"); }

echo "== Test groups"
short=()
for group in "${groups[@]}"; do
  programs=0 passed=0 failed=0 skipped=0 whys=() missing=()
  declare -A seen=()
  for file in "$results/$group"_*; do
    [[ -f $file ]] || continue
    ran=0
    while read -r key value; do
      case $key in
        passed) passed=$((passed + value)); if ((value > 0)); then ran=1; fi ;;
        failed) failed=$((failed + value)); if ((value > 0)); then ran=1; fi ;;
        skipped) skipped=$((skipped + value)) ;;
        why) [[ -n ${seen[$value]:-} ]] || { seen[$value]=1; whys+=("$value"); } ;;
        missing) missing+=("$value") ;;
      esac
    done <"$file"
    programs=$((programs + ran))
  done
  if ((passed + failed == 0)); then
    line="not run: $(joined "${missing[@]}" "${whys[@]}")"
    [[ $line != "not run: " ]] || line+="no test of this group was registered or ran"
    fell_short "$group"
  else
    line="$(plural $programs program), $(plural $((passed + failed)) "${noun[$group]:-test}")"
    if ((failed == 0)); then line+=" passed"; else line+=": $passed passed, $failed FAILED"; fi
    if ((skipped > 0)); then
      line+=", $skipped skipped ($(joined "${whys[@]}"))"
      fell_short "$group"
    fi
    if ((${#missing[@]} > 0)); then
      line+="; not run: $(joined "${missing[@]}")"
      fell_short "$group"
    fi
    [[ -z ${note[$group]:-} ]] || line+="  [${note[$group]}]"
  fi
  printf '%-12s %s\n' "$group" "$line"
done

if [[ -n $required && ${#short[@]} -gt 0 ]]; then
  echo "KELVANE_REQUIRE_ALL_TESTS is set, and not every test of these groups ran: ${short[*]}" >&2
  exit 1
fi
