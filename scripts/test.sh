#!/usr/bin/env bash
# `make test`: every test through ctest, then the ALSA sequencer tests (scripts/test-alsa.sh:
# in a virtual machine where this machine has no sequencer), then one line per test group
# saying what ran, or why not and what would run it (scripts/test-summary.sh). Every step runs
# even when one before failed. With KELVANE_REQUIRE_ALL_TESTS set (.ci/run), a group that
# cannot run and a skipped test fail the run.
# Usage: scripts/test.sh [BUILD-FOLDER [JOBS]]
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
jobs=${2:-$(nproc)}
rm -rf "$build/test-results"
status=0
(cd "$build" && ctest --output-on-failure -j"$jobs" -LE alsa) || status=1
scripts/test-alsa.sh --if-possible "$build" || status=1
scripts/test-summary.sh "$build" || status=1
exit $status
