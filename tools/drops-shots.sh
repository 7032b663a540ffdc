#!/usr/bin/env bash
# Saves PNGs of the live page (360 px and desktop), of the drop report and of the Line Drops
# window under Xvfb.
# Usage: tools/drops-shots.sh [folder] (default docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshots}")
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target drops-shots
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
xvfb-run -a -s "-screen 0 1400x1500x24" "$build/tools/drops-shots/drops-shots" "$out"
