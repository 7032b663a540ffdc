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
LOADS=${FLOOR_LOADS:-10}
INTERVAL=${FLOOR_INTERVAL:-10000}
SHOWN=()
[ -n "${FLOOR_SHOWN:-}" ] && SHOWN=(--shown)
# A coprocess: its lines say when to measure, and it keeps its browser up until we let go.
coproc FLOOR_PROC { exec "$FLOOR" "http://127.0.0.1:$PORT/stats.htm" "$LOADS" "$INTERVAL" \
    "${SHOWN[@]}" 2>"$WORK/floor.err"; }
APP_PID=$FLOOR_PROC_PID # stop_all ends it on any way out
LIMIT=$((LOADS * INTERVAL / 1000 + 120))
read_line() { # expected first word; sets LINE
    IFS= read -r -t "$LIMIT" LINE <&"${FLOOR_PROC[0]}" && [ "${LINE%% *}" = "$1" ] ||
        { echo "engine_floor: no \"$1\" line; $(tail -3 "$WORK/floor.err")" >&2; exit 1; }
}
read_line measuring
read -r CPU0 _ <<<"$(python3 "$BENCH_DIR/proc_tree.py" "$APP_PID")"
read_line done
read -r _ N MISREAD <<<"$LINE"
read -r CPU1 PSS _ PROCS _ <<<"$(python3 "$BENCH_DIR/proc_tree.py" "$APP_PID")"
eval "exec ${FLOOR_PROC[1]}>&-" # lets it end
wait "$APP_PID" || true # it fails when MISREAD > 0, reported below
APP_PID=
awk -v a="$CPU0" -v b="$CPU1" -v n="$N" -v k="$PSS" -v p="$PROCS" -v i="$INTERVAL" \
    -v s="${FLOOR_SHOWN:+page shown}" 'BEGIN {
    printf "engine alone, %d loads %d ms apart (%s): %.1f ms CPU per load, PSS %.1f MiB in %d processes\n",
        n, i, s == "" ? "page hidden" : s, (b - a) / n, k / 1024, p }'
[ "$MISREAD" -eq 0 ] || { echo "$MISREAD pages read were not the statistics page" >&2; exit 1; }
