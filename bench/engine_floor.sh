#!/bin/bash
# The floor under the program's CPU per sample: the embedded browser alone, prepared as the
# program prepares it, loading the simulator's statistics page every 10 s and reading it once,
# with nothing of the program around it. The page is a copy saved from the simulator after a
# login, served by our own web server on 127.0.0.1, so every load is a real fetch.
# Usage: bench/engine_floor.sh [build dir]   (needs router-sim, serve_folder and engine_floor)
# Environment: FLOOR_LOADS (10), FLOOR_INTERVAL ms (10000), FLOOR_SHOWN=1 to show the page,
# COST_PLATFORM as for program_cost.sh.
set -euo pipefail

BUILD=${1:-build}
SIM=$BUILD/tools/router-sim/router-sim
SERVE=$BUILD/bench/serve_folder
FLOOR=$BUILD/bench/engine_floor
for f in "$SIM" "$SERVE" "$FLOOR"; do
    [ -x "$f" ] || { echo "build router-sim, serve_folder and engine_floor first ($f)" >&2; exit 2; }
done
WORK=$(mktemp -d /tmp/engine_floor.XXXXXX)
source "$(dirname "$0")/program_common.sh"
SERVE_PID=
cleanup() {
    stop_pid "$SERVE_PID"
    stop_all
    rm -rf "$WORK"
}
trap cleanup EXIT

choose_display
start_sim "$SIM" floor1234
BASE=http://127.0.0.1:$SIM_PORT
STATS="/index.cgi?active_page=9143"
# Log in as the router's form does: the field name comes with each login page.
FIELD=$(curl -sf "$BASE$STATS" | grep -o 'name=password_[0-9]*' | head -n1 | cut -d= -f2)
[ -n "$FIELD" ] || { echo "no login form from the simulator" >&2; exit 1; }
curl -sf -c "$WORK/cookies" -o /dev/null -d "$FIELD=floor1234&active_page=9143" "$BASE/login.cgi"
mkdir -p "$WORK/www"
curl -sf -b "$WORK/cookies" -o "$WORK/www/stats.htm" "$BASE$STATS"
grep -q "Information for Helpdesk agents" "$WORK/www/stats.htm" ||
    { echo "the simulator did not give its statistics page" >&2; exit 1; }

PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$SERVE" "$WORK/www" "$PORT" >/dev/null 2>"$WORK/serve.err" &
SERVE_PID=$!
for _ in $(seq 100); do
    curl -sf -o /dev/null "http://127.0.0.1:$PORT/stats.htm" && break
    sleep 0.05
done

echo "display: $PLATFORM_NAME; page: $(stat -c %s "$WORK/www/stats.htm") bytes"
SHOWN=()
[ -n "${FLOOR_SHOWN:-}" ] && SHOWN=(--shown)
"$FLOOR" "http://127.0.0.1:$PORT/stats.htm" "${FLOOR_LOADS:-10}" "${FLOOR_INTERVAL:-10000}" \
    "${SHOWN[@]}" 2>"$WORK/floor.err" || { tail -5 "$WORK/floor.err" >&2; exit 1; }
