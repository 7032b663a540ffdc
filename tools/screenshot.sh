#!/usr/bin/env bash
# Starts the program against the simulated router under Xvfb and saves a PNG of the main window,
# so anyone can see what a user sees. Usage: tools/screenshot.sh [out.png] [seconds] [tab index]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshot.png}")
seconds=${2:-25}
tab=${3:-0}
bash scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target lintrove5a router-sim
port=${ROUTER_PORT:-8091}
home=$(mktemp -d)
trap 'kill $sim 2>/dev/null || true; rm -rf "$home"' EXIT
printf '[LT-BT]\r\nAddress=127.0.0.1:%s\r\nPassword=' "$port" > "$home/lintrove5a.ini"
# "demo" scrambled (each byte b stored as 255 - b).
printf '\233\232\222\220\r\nSample=10\r\nPointsperPage=60\r\n[Advanced]\r\nPauseDelay=120\r\n' >> "$home/lintrove5a.ini"
"$build/tools/router-sim/router-sim" --port "$port" --password demo > /dev/null 2>&1 &
sim=$!
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
LINTROVE_HOME="$home" xvfb-run -a -s "-screen 0 1280x900x24" \
    "$build/src/app/lintrove5a" --screenshot "$out" --screenshot-delay "$seconds" --tab "$tab"
echo "Screenshot: $out"
