#!/usr/bin/env bash
# Saves the README's pictures under Xvfb: the main window on every tab after a few hours of
# (fast) history against the simulated router, which drops the line now and then, the web image
# it serves, and every dialog. Usage: tools/readme-shots.sh [folder]   (default docs/screenshots)
# Only 127.0.0.1 is used.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshots}")
mkdir -p "$out"
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target lintrove5a router-sim dialog-shots wizard-shots
port=${ROUTER_PORT:-8093}
webport=$((port + 1))
home=$(mktemp -d)
sim=
trap '[ -n "$sim" ] && kill $sim 2>/dev/null; rm -rf "$home"' EXIT
{
    printf '[LT-BT]\r\nAddress=127.0.0.1:%s\r\nPassword=' "$port"
    # "demo" scrambled (each byte b stored as 255 - b).
    printf '\233\232\222\220\r\nSample=10\r\nPointsperPage=360\r\nRestore=1\r\n'
    printf '[Log]\r\ncbLog=1\r\n[Capture]\r\ncbCapture=1\r\nLostSync=1\r\n'
    printf '[WebServer]\r\nWeb=1\r\nAddress=127.0.0.1\r\nPort=%s\r\n' "$webport"
} > "$home/lintrove5a.ini"
# The router's uptime runs as fast as the program's clock, or it would look restarted.
"$build/tools/router-sim/router-sim" --port "$port" --password demo --drop-every 150 \
    --time-scale 30 > /dev/null 2>&1 &
sim=$!
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
# Thirty times as fast: a sample every third of a second, an hour of line in two minutes.
export LINTROVE_TIME_SCALE="30@$(date +%s%3N)"
shot() { # file tab seconds
    LINTROVE_HOME="$home" xvfb-run -a -s "-screen 0 1280x900x24" \
        "$build/src/app/lintrove5a" --screenshot "$out/$1" --screenshot-delay "$3" --tab "$2"
}
# The first run builds the history; every later one restores it and adds a little.
shot main-noise-margin.png 1 150
cp "$home/WebServer/noise.jpg" "$out/web-image-noise.jpg"
shot main-sync-rate.png 2 12
shot main-user-graph-1.png 3 12
shot main-user-graph-2.png 4 12
shot main-configure.png 5 8
shot main-advanced.png 6 8
shot main-home-hub.png 0 8
xvfb-run -a -s "-screen 0 1280x900x24" "$build/tools/dialog-shots/dialog-shots" "$out" \
    "$home/Capture"
xvfb-run -a -s "-screen 0 1280x900x24" "$build/tools/wizard-shots/wizard-shots" "$out"
echo "Pictures in $out"
