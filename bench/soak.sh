#!/bin/bash
# Soak run: the whole program with fast timers (LINTROVE_TIME_SCALE, default 10 times as fast,
# so Sample 10 is one sample a second) against the simulated router, which is flapped on a
# schedule through its states: answering, no sync, unreachable, garbage, slow, wrong password,
# each followed by answering again. The web server is on, with a light load of /noise.jpg
# requests. Resident memory (RSS and PSS) of the program and its browser processes is reported
# at the start, the middle and the end. At the end the checks (bench/soak_check.py) compare the
# log, the data file and the images with what the simulator recorded; the script exits non-zero
# when one fails.
# Usage: bench/soak.sh [build dir] [minutes=20]
# Environment: SOAK_SCALE (10), SOAK_PHASE seconds per state (20), COST_PLATFORM (offscreen or
# xvfb, as bench/program_cost.sh).
# Where the user may (root, or unprivileged namespaces allowed) it runs in a network namespace of
# its own holding only the loopback interface (unshare -n), so nothing can reach out; elsewhere it
# relies on every address it configures being 127.0.0.1.
set -euo pipefail

BUILD=$(cd "${1:-build}" && pwd)
MINUTES=${2:-20}
if [ -z "${SOAK_IN_NAMESPACE:-}" ] && command -v unshare >/dev/null &&
    unshare -n true 2>/dev/null; then
    exec env SOAK_IN_NAMESPACE=1 unshare -n -- bash -c 'ip link set lo up && exec "$0" "$@"' \
        "$0" "$BUILD" "$MINUTES"
fi

APP=$BUILD/src/app/lintrove5a
SIM=$BUILD/tools/router-sim/router-sim
SCALE=${SOAK_SCALE:-10}
PHASE=${SOAK_PHASE:-20}
PASSWORD=soak5678
WEB_PORT=18741
for f in "$APP" "$SIM"; do
    [ -x "$f" ] || { echo "build the lintrove5a and router-sim targets first ($f)" >&2; exit 2; }
done
for tool in python3 curl identify; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done

WORK=$(mktemp -d /tmp/soak.XXXXXX)
source "$(dirname "$0")/program_common.sh"
LOAD_PID=
cleanup() {
    stop_pid "$LOAD_PID"
    stop_all
    if [ "${SOAK_KEEP:-}" = 1 ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

choose_display
start_sim "$SIM" "$PASSWORD" --drift-seed 7 --record "$WORK/record.txt"
HOME_DIR=$WORK/home
write_settings "$HOME_DIR" "$PASSWORD" Sample=10 PointsperPage=60 Prompt=0 TrimDataFile=0 \
    '[Log]' cbLog=1 "LogFile=$HOME_DIR/log.txt" TrimLog=0 \
    '[Capture]' "Capture=$HOME_DIR/Capture" cbCapture=1 LostSync=0 OnClose=1 DeleteImages=0 \
    '[WebServer]' Web=1 Address=127.0.0.1 Port=$WEB_PORT webWidth=500 webHeight=250

ORIGIN=$(now_ms)
echo "$ORIGIN" >"$WORK/origin.txt"
echo "soak: $MINUTES min, time $SCALE times as fast (Sample 10 = one sample every" \
    "$(awk -v s="$SCALE" 'BEGIN { print 10 / s }') s), $PHASE s per router state"
echo "display: $PLATFORM_NAME; router simulator on 127.0.0.1:$SIM_PORT; web server on 127.0.0.1:$WEB_PORT"
start_app "$APP" "$HOME_DIR" "LINTROVE_TIME_SCALE=$SCALE@$ORIGIN"

# Light load on the web server: four requests a second, every answer checked as a whole JPEG.
# Until the first sample has written noise.jpg the server has nothing to send (404) or is not
# listening yet; from the first picture on, every answer must be a whole JPEG.
load() {
    local ok=0 bad=0 early=0 body=$WORK/noise.jpg code
    while :; do
        code=$(curl -s --max-time 5 -o "$body" -w '%{http_code}' "http://127.0.0.1:$WEB_PORT/noise.jpg") || code=000
        if [ "$code" = 200 ] && [ "$(head -c2 "$body" | od -An -tx1 | tr -d ' ')" = ffd8 ] &&
            [ "$(tail -c2 "$body" | od -An -tx1 | tr -d ' ')" = ffd9 ]; then
            ok=$((ok + 1))
        elif [ "$ok" = 0 ]; then
            early=$((early + 1))
        else
            bad=$((bad + 1))
            echo "$(now_ms) status $code, $(stat -c %s "$body" 2>/dev/null || echo 0) bytes" >>"$WORK/load-bad.txt"
        fi
        echo "$ok $bad $early" >"$WORK/load.txt"
        sleep 0.25
    done
}
load &
LOAD_PID=$!

# PSS shrinks while other programs share the same libraries, so private memory is shown too.
memory() { # label
    local cpu pss rss procs main mainpss uss
    read -r cpu pss rss procs main mainpss uss <<<"$(tree_cost)" || return 0
    printf '%-7s RSS %6.1f MiB  PSS %6.1f MiB (program %5.1f)  private %6.1f MiB  %d processes  CPU %6.1f s  rows %d\n' \
        "$1" "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" \
        "$(awk -v k="$pss" 'BEGIN { print k / 1024 }')" \
        "$(awk -v k="$mainpss" 'BEGIN { print k / 1024 }')" \
        "$(awk -v k="$uss" 'BEGIN { print k / 1024 }')" "$procs" \
        "$(awk -v m="$cpu" 'BEGIN { print m / 1000 }')" "$(log_rows "$HOME_DIR/log.txt")"
}

# The schedule: every state but the answering one is followed by answering again.
STATES=(nosync down garbage slow wrongpassword empty)
set_state() { # state
    case $1 in
    answers) sim_set "nosync=0&down=0&garbage=0&empty=0&slow=0&password=$PASSWORD" ;;
    nosync) sim_set "nosync=1" ;;
    down) sim_set "down=1" ;;
    garbage) sim_set "garbage=1" ;;
    slow) sim_set "slow=400" ;; # slower than a page should be, within one sample
    wrongpassword) sim_set "password=not-$PASSWORD&logout=1" ;;
    empty) sim_set "empty=1" ;;
    esac
    echo "$(now_ms) $1" >>"$WORK/phases.txt"
}

END=$(($(now_ms) + MINUTES * 60000))
MIDDLE=$(($(now_ms) + MINUTES * 30000))
set_state answers
# Start-up memory once the program plots.
for _ in $(seq 600); do
    [ "$(log_rows "$HOME_DIR/log.txt")" -ge 3 ] && break
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
done
memory start
i=0 MIDDLE_DONE=
while [ "$(now_ms)" -lt "$END" ]; do
    kill -0 "$APP_PID" 2>/dev/null || { echo "the program ended during the soak" >&2; break; }
    sleep "$PHASE"
    if [ -z "$MIDDLE_DONE" ] && [ "$(now_ms)" -ge "$MIDDLE" ]; then memory middle; MIDDLE_DONE=1; fi
    [ "$(now_ms)" -lt "$END" ] || break
    set_state "${STATES[i % ${#STATES[@]}]}"
    i=$((i + 1))
    sleep "$PHASE"
    set_state answers
done
# A last stretch of answers, so the end is a sampling program.
sleep "$PHASE"
memory end

STILL_UP=0
kill -0 "$APP_PID" 2>/dev/null && STILL_UP=1
stop_pid "$LOAD_PID"
LOAD_PID=
# A clean close: the program ends by itself on SIGTERM, capturing its graphs on the way.
EXIT_STATUS=none
if [ "$STILL_UP" = 1 ]; then
    kill "$APP_PID"
    for _ in $(seq 300); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$APP_PID" 2>/dev/null; then
        EXIT_STATUS=hung
    else
        wait "$APP_PID" && EXIT_STATUS=0 || EXIT_STATUS=$?
    fi
    APP_PID=
fi
echo "program up at the end: $([ "$STILL_UP" = 1 ] && echo yes || echo NO); exit on SIGTERM: $EXIT_STATUS"
read -r LOAD_OK LOAD_BAD LOAD_EARLY <"$WORK/load.txt" || true
echo "web load: ${LOAD_OK:-0} whole JPEGs, ${LOAD_BAD:-0} bad or missing answers after the first" \
    "(${LOAD_EARLY:-0} before the first sample)"
[ -f "$WORK/load-bad.txt" ] && sed 's/^/    /' "$WORK/load-bad.txt" | head -20

FAILED=0
[ "$STILL_UP" = 1 ] && [ "$EXIT_STATUS" = 0 ] || FAILED=1
[ "${LOAD_BAD:-1}" = 0 ] && [ "${LOAD_OK:-0}" -gt 0 ] || { echo "FAIL: web load" >&2; FAILED=1; }

# Every JPEG the program wrote must decode.
JPEGS=0 BROKEN=0
while IFS= read -r -d '' f; do
    JPEGS=$((JPEGS + 1))
    identify -regard-warnings "$f" >/dev/null 2>&1 || { BROKEN=$((BROKEN + 1)); echo "FAIL: $f does not decode" >&2; }
done < <(find "$HOME_DIR" -name '*.jpg' -print0)
echo "JPEG files: $JPEGS, of which $BROKEN do not decode"
[ "$BROKEN" = 0 ] || FAILED=1

python3 "$(dirname "$0")/soak_check.py" --log "$HOME_DIR/log.txt" \
    --data "$HOME_DIR/Lintrove5A.txt" --record "$WORK/record.txt" --phases "$WORK/phases.txt" \
    --capture "$HOME_DIR/Capture" --scale "$SCALE" --origin "$ORIGIN" --sample-ms $((10000 / SCALE)) ||
    FAILED=1
[ "$FAILED" = 0 ] && echo "soak: all checks passed" || echo "soak: FAILED" >&2
exit "$FAILED"
