#!/usr/bin/env bash
# The demo: installs what is missing, builds, starts the simulated router on 127.0.0.1 and runs
# lintrove5a against it with a program folder of its own, so a real setup is never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target lintrove5a router-sim

port=${ROUTER_PORT:-8089}
password=${ROUTER_PASSWORD:-demo1234}
home=${LINTROVE_HOME:-$PWD/$build/demo-home}
mkdir -p "$home"

# The settings file points at the simulator; the password is stored scrambled (each byte b as
# 255 - b), as the program writes it.
if [ ! -f "$home/lintrove5a.ini" ]; then
    scrambled=""
    for ((i = 0; i < ${#password}; i++)); do
        code=$(printf '%d' "'${password:i:1}")
        scrambled+=$(printf '\\%03o' $((255 - code)))
    done
    {
        printf '[LT-BT]\r\nAddress=127.0.0.1:%s\r\nPassword=' "$port"
        printf "$scrambled"
        printf '\r\nSample=10\r\nPointsperPage=120\r\n'
    } > "$home/lintrove5a.ini"
    chmod 600 "$home/lintrove5a.ini"
    echo "Demo settings written to $home/lintrove5a.ini"
fi

"$build/tools/router-sim/router-sim" --port "$port" --password "$password" > "$build/router-sim.log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 1 50); do
    grep -q listening "$build/router-sim.log" 2>/dev/null && break
    sleep 0.1
done
echo "Simulated router on http://127.0.0.1:$port (password $password)"

if [ "$(id -u)" -eq 0 ]; then
    echo "Running as root: the browser's sandbox is switched off (Chromium will not run sandboxed as root)."
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
run=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    if command -v xvfb-run > /dev/null; then
        echo "No display: running under Xvfb (xvfb-run)."
        run=(xvfb-run -a -s "-screen 0 1280x900x24")
    else
        echo "No display and no Xvfb: running on the offscreen platform."
        export QT_QPA_PLATFORM=offscreen
    fi
fi
LINTROVE_HOME="$home" "${run[@]}" "$build/src/app/lintrove5a"
