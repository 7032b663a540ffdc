#!/bin/bash
# Load test of the built-in web server against nginx, both on loopback, measured in one run:
#   1. the program itself (lintrove5a against the simulated router, "Web server" ticked, the web
#      image at its default size) serving the noise.jpg it writes, against nginx serving a copy
#      of that noise.jpg, in fast time so that the program rewrites the image every
#      10 / WEB_LOAD_SCALE seconds during the runs; then every body checked as a whole JPEG
#      while the program goes on rewriting it;
#   2. serve_folder (the server alone) with the program's web image, in each threading mode;
#   3. the same while noise.jpg is rewritten ten times a second, every body checked;
#   4. /metrics against nginx serving a static file of the same size;
#   5. /status.json and /drops.csv against /metrics, over a drop record of 100 drops.
# wrk -t2 -c32 -d10s each (the server holds at most 32 connections per client address and wrk's
# all come from 127.0.0.1: more would be turned away); the program's case WEB_LOAD_ROUNDS times
# (2), nginx and the program alternately. Needs wrk and nginx (apt-get install -y wrk nginx)
# and a build of the lintrove5a, router-sim and serve_folder targets.
# Usage: bench/web_load.sh [build dir]   (default: build)
# Environment: WEB_LOAD_PORT (18480, and the next three), WEB_LOAD_DURATION (10s),
# WEB_LOAD_CONNECTIONS (32), WEB_LOAD_ROUNDS (2), WEB_LOAD_SCALE (5: Sample 10 every 2 s),
# COST_PLATFORM (offscreen or xvfb, as bench/program_cost.sh), WEB_LOAD_PAGES_ONLY (1: only
# step 5, without the program or nginx).
# Only 127.0.0.1 is used; every run is bounded by timeout; nothing is left running.
set -euo pipefail

BUILD=${1:-build}
SERVE=$BUILD/bench/serve_folder
APP=$BUILD/src/app/lintrove5a
SIM=$BUILD/tools/router-sim/router-sim
PORT=${WEB_LOAD_PORT:-18480}   # serve_folder
NGINX_PORT=$((PORT + 1))
APP_PORT=$((PORT + 2))
DURATION=${WEB_LOAD_DURATION:-10s}
CONNECTIONS=${WEB_LOAD_CONNECTIONS:-32}
ROUNDS=${WEB_LOAD_ROUNDS:-2}
SCALE=${WEB_LOAD_SCALE:-5}
PASSWORD=load1234
for tool in wrk nginx curl; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install -y wrk nginx" >&2; exit 2; }
done
NEEDED=("$SERVE" "$APP" "$SIM")
[ "${WEB_LOAD_PAGES_ONLY:-0}" = 1 ] && NEEDED=("$SERVE")
for f in "${NEEDED[@]}"; do
    [ -x "$f" ] || { echo "build the serve_folder, lintrove5a and router-sim targets first ($f)" >&2; exit 2; }
done

WORK=$(mktemp -d /tmp/web_load.XXXXXX)
chmod 755 "$WORK"
source "$(dirname "$0")/program_common.sh"
SERVER_PID= NGINX_PID= WATCH_PID=
cleanup() {
    stop_pid "$SERVER_PID"
    stop_pid "$NGINX_PID"
    stop_pid "$WATCH_PID"
    stop_all
    rm -rf "$WORK"
}
trap cleanup EXIT

mkdir -p "$WORK/www/program" "$WORK/nginx"

wait_port() { # until something answers on 127.0.0.1:$1
    for _ in $(seq 100); do
        (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
        sleep 0.05
    done
    echo "nothing listens on port $1" >&2
    return 1
}

start_server() { # serve_folder options...
    QT_QPA_PLATFORM=offscreen "$SERVE" "$WORK/www" "$PORT" "$@" >"$WORK/size" 2>"$WORK/server.log" &
    SERVER_PID=$!
    wait_port "$PORT"
}
stop_server() {
    kill "$SERVER_PID"; wait "$SERVER_PID" || true; SERVER_PID=
}

# One wrk run: prints "<requests/s> <socket errors> <non-2xx>" and keeps the full output.
run_wrk() { # name url [lua script]
    local name=$1 url=$2 script=${3:-}
    local out="$WORK/$name.txt"
    timeout 60 wrk -t2 -c"$CONNECTIONS" -d"$DURATION" ${script:+-s "$script"} "$url" >"$out" 2>&1
    local rps errors non2xx
    rps=$(awk '/^Requests\/sec:/ {print $2}' "$out")
    errors=$(awk '/Socket errors:/ {gsub(",", ""); print $4 + $6 + $8 + $10}' "$out")
    non2xx=$(awk '/Non-2xx or 3xx responses:/ {print $5}' "$out")
    echo "${rps:-0} ${errors:-0} ${non2xx:-0}"
}

report() { # label "rps errors non2xx"
    local label=$1; set -- $2
    printf '%-50s %10s req/s   socket errors %s   non-2xx %s\n' "$label" "$1" "$2" "$3"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# Every body checked: status 200, a JPEG whose markers chain from the start of the image to the
# start of the scan, and that ends with the end-of-image marker. A torn or cut file fails. wrk
# runs the script once per thread, so the counts are gathered from the threads at the end.
cat >"$WORK/check.lua" <<'LUA'
local threads = {}
function setup(thread) table.insert(threads, thread) end
bad, good, sizes, distinct = 0, 0, {}, 0
local function whole(body)
    local n = #body
    if n < 4 or body:sub(1, 2) ~= "\255\216" or body:sub(-2) ~= "\255\217" then return false end
    local i = 3
    while i + 3 <= n do
        if body:byte(i) ~= 0xFF then return false end
        local marker = body:byte(i + 1)
        if marker == 0xDA then return true end
        i = i + 2 + body:byte(i + 2) * 256 + body:byte(i + 3)
    end
    return false
end
function response(status, headers, body)
    if status == 200 and whole(body) then
        good = good + 1
        if not sizes[#body] then sizes[#body] = true; distinct = distinct + 1 end
    else
        bad = bad + 1
    end
end
function done(summary, latency, requests)
    local b, g, d = 0, 0, 0
    for _, t in ipairs(threads) do
        b = b + t:get("bad"); g = g + t:get("good"); d = math.max(d, t:get("distinct"))
    end
    io.write(string.format("whole bodies: %d, incomplete or wrong bodies: %d, " ..
        "different pictures seen by one thread: %d\n", g, b, d))
end
LUA

# 5. The pages made from the drop record against /metrics, in turns, WEB_LOAD_ROUNDS times.
pages_step() {
    start_server --metrics --drops
    echo "5. serve_folder with a drop record of 100 drops (pool 2):" \
        "/status.json $(curl -s "http://127.0.0.1:$PORT/status.json" | wc -c) bytes," \
        "/drops.csv $(curl -s "http://127.0.0.1:$PORT/drops.csv" | wc -c) bytes," \
        "/metrics $(curl -s "http://127.0.0.1:$PORT/metrics" | wc -c) bytes"
    local round M S C
    for round in $(seq "$ROUNDS"); do
        M=$(run_wrk "pages-metrics-$round" "http://127.0.0.1:$PORT/metrics")
        S=$(run_wrk "pages-status-$round" "http://127.0.0.1:$PORT/status.json")
        C=$(run_wrk "pages-csv-$round" "http://127.0.0.1:$PORT/drops.csv")
        report "serve_folder /metrics (round $round)" "$M"
        report "serve_folder /status.json (round $round)" "$S"
        echo "    ratio to /metrics: $(ratio "${S%% *}" "${M%% *}")"
        report "serve_folder /drops.csv (round $round)" "$C"
        echo "    ratio to /metrics: $(ratio "${C%% *}" "${M%% *}")"
    done
    stop_server
}
if [ "${WEB_LOAD_PAGES_ONLY:-0}" = 1 ]; then
    pages_step
    exit 0
fi

# nginx from a throwaway configuration, on its own loopback port.
USER_LINE=""
[ "$(id -u)" = 0 ] && USER_LINE="user root;"
cat >"$WORK/nginx/nginx.conf" <<CONF
$USER_LINE
worker_processes 2;
daemon off;
pid $WORK/nginx/nginx.pid;
error_log $WORK/nginx/error.log;
events { worker_connections 1024; }
http {
    access_log off;
    sendfile on;
    tcp_nopush on;
    keepalive_requests 1000000;
    types { image/jpeg jpg; text/plain txt; }
    client_body_temp_path $WORK/nginx/body;
    proxy_temp_path $WORK/nginx/proxy;
    fastcgi_temp_path $WORK/nginx/fastcgi;
    uwsgi_temp_path $WORK/nginx/uwsgi;
    scgi_temp_path $WORK/nginx/scgi;
    server { listen 127.0.0.1:$NGINX_PORT; root $WORK/www; }
}
CONF
nginx -p "$WORK/nginx" -c "$WORK/nginx/nginx.conf" &
NGINX_PID=$!
wait_port "$NGINX_PORT"

# 1. The program itself, with its default web image, in fast time.
choose_display
start_sim "$SIM" "$PASSWORD"
HOME_DIR=$WORK/home
LOG=$HOME_DIR/log.txt # one row per plotted sample
write_settings "$HOME_DIR" "$PASSWORD" Sample=10 Prompt=0 '[Log]' cbLog=1 "LogFile=$LOG" \
    '[WebServer]' Web=1 Address=127.0.0.1 Port=$APP_PORT
start_app "$APP" "$HOME_DIR" "LINTROVE_TIME_SCALE=$SCALE"
IMAGE=$HOME_DIR/WebServer/noise.jpg
for _ in $(seq 600); do
    [ -s "$IMAGE" ] && break
    kill -0 "$APP_PID" 2>/dev/null || { echo "the program ended: $(tail -3 "$HOME_DIR/app.err")" >&2; exit 1; }
    sleep 0.1
done
[ -s "$IMAGE" ] || { echo "the program wrote no noise.jpg within 60 s" >&2; exit 1; }
wait_port "$APP_PORT"
cp "$IMAGE" "$WORK/www/program/noise.jpg"

# Counts the pictures the program writes: each rename gives noise.jpg a new inode.
watch_image() {
    local last= inode count=0
    while :; do
        inode=$(stat -c %i "$IMAGE" 2>/dev/null) || inode=
        if [ -n "$inode" ] && [ "$inode" != "$last" ]; then
            [ -n "$last" ] && count=$((count + 1))
            last=$inode
            echo "$count" >"$WORK/rewrites"
        fi
        sleep 0.05
    done
}
echo 0 >"$WORK/rewrites"
watch_image &
WATCH_PID=$!
rewrites() { cat "$WORK/rewrites"; }
# "<samples> <rewrites>" so far; the difference of two is what a run saw.
progress() { echo "$(log_rows "$LOG") $(rewrites)"; }
during() { # progress before the run
    local s0 r0 s1 r1
    read -r s0 r0 <<<"$1"
    read -r s1 r1 <<<"$(progress)"
    echo "$((s1 - s0)) samples plotted, noise.jpg rewritten $((r1 - r0)) times during the run"
}

echo "wrk -t2 -c$CONNECTIONS -d$DURATION on 127.0.0.1"
echo "1. lintrove5a (display: $PLATFORM_NAME), time $SCALE times as fast: Sample 10 rewrites" \
    "noise.jpg every $(awk -v s="$SCALE" 'BEGIN { print 10 / s }') s;" \
    "noise.jpg of $(stat -c %s "$WORK/www/program/noise.jpg") bytes (nginx: a copy)"
for round in $(seq "$ROUNDS"); do
    N=$(run_wrk "nginx-program-$round" "http://127.0.0.1:$NGINX_PORT/program/noise.jpg")
    report "nginx /noise.jpg (round $round)" "$N"
    BEFORE=$(progress)
    R=$(run_wrk "program-$round" "http://127.0.0.1:$APP_PORT/noise.jpg")
    report "lintrove5a /noise.jpg (round $round)" "$R"
    echo "    ratio to nginx: $(ratio "${R%% *}" "${N%% *}"); $(during "$BEFORE")"
done
BEFORE=$(progress)
R=$(run_wrk program-check "http://127.0.0.1:$APP_PORT/noise.jpg" "$WORK/check.lua")
report "lintrove5a /noise.jpg, every body checked" "$R"
echo "    $(grep -h "whole bodies" "$WORK/program-check.txt")"
echo "    $(during "$BEFORE")"
stop_pid "$WATCH_PID"
WATCH_PID=
stop_all

# 2. The server alone, with the program's web image written by the program's writer.
start_server
stop_server
echo "2. serve_folder: noise.jpg of $(cat "$WORK/size") bytes (nginx: the same file)"
NGINX_JPG=$(run_wrk nginx-jpg "http://127.0.0.1:$NGINX_PORT/noise.jpg")
report "nginx /noise.jpg" "$NGINX_JPG"
for mode in "--pool 1" "--pool 2" "--pool 8" "--threads-per-connection"; do
    start_server $mode
    R=$(run_wrk "jpg$mode" "http://127.0.0.1:$PORT/noise.jpg")
    stop_server
    report "serve_folder /noise.jpg ($mode)" "$R"
    echo "    ratio to nginx: $(ratio "${R%% *}" "${NGINX_JPG%% *}")"
done

# 3. Bodies checked while the picture is rewritten ten times a second.
start_server --rewrite
R=$(run_wrk jpg-rewrite "http://127.0.0.1:$PORT/noise.jpg" "$WORK/check.lua")
stop_server
report "serve_folder /noise.jpg, rewritten 10/s (pool 2)" "$R"
grep -h "whole bodies" "$WORK/jpg-rewrite.txt" | sed 's/^/    /'
grep -v XDG_RUNTIME_DIR "$WORK/server.log" | sed 's/^/    /'

# 4. /metrics against a static file of the same size.
start_server --metrics
exec 3<>"/dev/tcp/127.0.0.1/$PORT"
printf 'GET /metrics HTTP/1.0\r\n\r\n' >&3
sed '1,/^\r$/d' <&3 >"$WORK/www/metrics.txt"
exec 3<&-
NGINX_TXT=$(run_wrk nginx-txt "http://127.0.0.1:$NGINX_PORT/metrics.txt")
R=$(run_wrk metrics "http://127.0.0.1:$PORT/metrics")
stop_server
report "nginx /metrics.txt ($(stat -c %s "$WORK/www/metrics.txt") bytes)" "$NGINX_TXT"
report "serve_folder /metrics (pool 2)" "$R"
echo "    ratio to nginx: $(ratio "${R%% *}" "${NGINX_TXT%% *}")"

pages_step
