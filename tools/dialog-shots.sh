#!/usr/bin/env bash
# Saves PNGs of every page of the Maintenance and More Advanced Settings dialogs under Xvfb.
# Usage: tools/dialog-shots.sh [folder] (default docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshots}")
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target dialog-shots
xvfb-run -a -s "-screen 0 1280x900x24" "$build/tools/dialog-shots/dialog-shots" "$out"
