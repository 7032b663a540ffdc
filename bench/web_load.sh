#!/bin/bash
# Load test of the built-in web server against nginx, both on loopback, measured in one run:
#   1. /noise.jpg (500 x 250) from nginx and from the program's server in each threading mode;
#   2. the same while noise.jpg is replaced ten times a second, every body checked as a whole
#      JPEG of one of the two pictures written;
#   3. /metrics against nginx serving a static file of the same size.
# wrk -t2 -c50 -d10s each. Needs wrk and nginx (apt-get install -y wrk nginx) and a build of
# the serve_folder target. Usage: bench/web_load.sh [build dir]   (default: build)
# Only 127.0.0.1 is used; every run is bounded by timeout; nothing is left running.
set -euo pipefail

BUILD=${1:-build}
SERVE=$BUILD/bench/serve_folder
PORT=${WEB_LOAD_PORT:-18480}   # the program's server
NGINX_PORT=$((PORT + 1))
DURATION=${WEB_LOAD_DURATION:-10s}
for tool in wrk nginx; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install -y wrk nginx" >&2; exit 2; }
done
[ -x "$SERVE" ] || { echo "build the serve_folder target first ($SERVE)" >&2; exit 2; }

WORK=$(mktemp -d /tmp/web_load.XXXXXX)
chmod 755 "$WORK"
SERVER_PID= NGINX_PID=
cleanup() {
    [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null && wait "$SERVER_PID" 2>/dev/null
    [ -n "$NGINX_PID" ] && kill "$NGINX_PID" 2>/dev/null && wait "$NGINX_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

mkdir -p "$WORK/www" "$WORK/nginx"

wait_port() { # until something answers on 127.0.0.1:$1
    for _ in $(seq 100); do
        (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
        sleep 0.05
    done
    echo "nothing listens on port $1" >&2
    return 1
}

start_server() { # serve_folder options...
    "$SERVE" "$WORK/www" "$PORT" "$@" >"$WORK/sizes" 2>"$WORK/server.log" &
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
    timeout 60 wrk -t2 -c50 -d"$DURATION" ${script:+-s "$script"} "$url" >"$out" 2>&1
    local rps errors non2xx
    rps=$(awk '/^Requests\/sec:/ {print $2}' "$out")
    errors=$(awk '/Socket errors:/ {gsub(",", ""); print $4 + $6 + $8 + $10}' "$out")
    non2xx=$(awk '/Non-2xx or 3xx responses:/ {print $5}' "$out")
    echo "${rps:-0} ${errors:-0} ${non2xx:-0}"
}

report() { # label "rps errors non2xx"
    local label=$1; set -- $2
    printf '%-44s %10s req/s   socket errors %s   non-2xx %s\n' "$label" "$1" "$2" "$3"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# The picture: written once by the server program itself (so it is the program's JPEG).
start_server --rewrite
stop_server
read -r SIZE_A SIZE_B <"$WORK/sizes"

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

echo "wrk -t2 -c50 -d$DURATION on 127.0.0.1, noise.jpg of $(stat -c %s "$WORK/www/noise.jpg") bytes"
NGINX_JPG=$(run_wrk nginx-jpg "http://127.0.0.1:$NGINX_PORT/noise.jpg")
report "nginx /noise.jpg" "$NGINX_JPG"

for mode in "--pool 2" "--pool 8" "--threads-per-connection"; do
    start_server $mode
    R=$(run_wrk "jpg$mode" "http://127.0.0.1:$PORT/noise.jpg")
    stop_server
    report "lintrove /noise.jpg ($mode)" "$R"
    echo "    ratio to nginx: $(ratio "${R%% *}" "${NGINX_JPG%% *}")"
done

# Bodies checked while the picture is replaced: a whole JPEG of one of the two sizes, or a
# failure counted and printed by the script.
cat >"$WORK/check.lua" <<LUA
local bad = 0
local sizes = { [$SIZE_A] = true, [$SIZE_B] = true }
response = function(status, headers, body)
    if status ~= 200 or not sizes[#body] or body:sub(1, 2) ~= "\255\216"
        or body:sub(-2) ~= "\255\217" then
        bad = bad + 1
    end
end
done = function(summary, latency, requests)
    io.write(string.format("incomplete or wrong bodies: %d\n", bad))
end
LUA
start_server --rewrite
R=$(run_wrk jpg-rewrite "http://127.0.0.1:$PORT/noise.jpg" "$WORK/check.lua")
stop_server
report "lintrove /noise.jpg, rewritten 10/s (pool 2)" "$R"
grep -h "incomplete or wrong bodies" "$WORK/jpg-rewrite.txt" | sed 's/^/    /'
sed 's/^/    /' "$WORK/server.log"

# /metrics against a static file of the same size.
start_server --metrics
exec 3<>"/dev/tcp/127.0.0.1/$PORT"
printf 'GET /metrics HTTP/1.0\r\n\r\n' >&3
sed '1,/^\r$/d' <&3 >"$WORK/www/metrics.txt"
exec 3<&-
NGINX_TXT=$(run_wrk nginx-txt "http://127.0.0.1:$NGINX_PORT/metrics.txt")
R=$(run_wrk metrics "http://127.0.0.1:$PORT/metrics")
stop_server
report "nginx /metrics.txt ($(stat -c %s "$WORK/www/metrics.txt") bytes)" "$NGINX_TXT"
report "lintrove /metrics (pool 2)" "$R"
echo "    ratio to nginx: $(ratio "${R%% *}" "${NGINX_TXT%% *}")"
