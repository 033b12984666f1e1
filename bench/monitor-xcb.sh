#!/bin/sh
# The input monitor benchmark on a real X server: xcb under Xvfb, the window shown on it.
# Usage: bench/monitor-xcb.sh [parts of bench_monitor]   (default: goal holds)
# BUILD names the build folder (default build).
set -e
cd "$(dirname "$0")/.."
BIN=${BUILD:-build}/bin/bench_monitor
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing: apt-get install xvfb"; exit 1; }
[ -x "$BIN" ] || { echo "$BIN is missing: build with -DKELVANE_BENCH=ON"; exit 1; }
[ $# -gt 0 ] || set -- goal holds
exec xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$BIN" "$@"
