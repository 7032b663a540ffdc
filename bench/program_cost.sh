#!/bin/bash
# What the whole program costs while it watches a line: the program and all its browser
# processes together, with a month of history restored (30 days at Sample 10, 259,200 lines),
# Sample 10 in real time, against the simulated router on 127.0.0.1. Per run it measures
#   - launch to the first plotted sample: until the first row of the CSV log is on disk (the
#     pipeline writes it with the first sample it plots; the log starts absent);
#   - CPU per sample: utime + stime of the program and every descendant (reaped children
#     included) over COST_SAMPLES samples counted from the log, divided by their number, after
#     COST_SETTLE samples of settling;
#   - PSS (and RSS) of the program and its descendants summed, at the end of that window, and
#     their private memory (PSS is lower while other programs share the same libraries).
# Targets: under 40 ms CPU per sample, under 200 MiB PSS, under 2 s to the first sample.
# Usage: bench/program_cost.sh [build dir]   (default: build; needs lintrove5a and router-sim)
# Environment: COST_DAYS of history (30), COST_RUNS (3), COST_SAMPLES (12), COST_SETTLE (3),
# COST_PAGE (the tab in front: 0 the Home Hub page, as at a first start; 1 the noise-margin
# graph), COST_PLATFORM (offscreen or
# xvfb; default: the desktop's display, else Xvfb as the demo does, else offscreen). Set
# QTWEBENGINE_CHROMIUM_FLAGS to try browser switches; it is passed on as it is.
set -euo pipefail

BUILD=${1:-build}
APP=$BUILD/src/app/lintrove5a
SIM=$BUILD/tools/router-sim/router-sim
RUNS=${COST_RUNS:-3}
SAMPLES=${COST_SAMPLES:-12}
SETTLE=${COST_SETTLE:-3}
PASSWORD=cost1234
for f in "$APP" "$SIM"; do
    [ -x "$f" ] || { echo "build the lintrove5a and router-sim targets first ($f)" >&2; exit 2; }
done
command -v python3 >/dev/null || { echo "python3 is missing" >&2; exit 2; }

WORK=$(mktemp -d /tmp/program_cost.XXXXXX)
source "$(dirname "$0")/program_common.sh"
cleanup() {
    stop_all
    rm -rf "$WORK"
}
trap cleanup EXIT

choose_display
start_sim "$SIM" "$PASSWORD"

# A month of samples ending now, one every 10 seconds, as the program writes them.
python3 - "$WORK/month.txt" "${COST_DAYS:-30}" <<'PY'
import datetime, sys
end = datetime.datetime.now().replace(microsecond=0)
count = int(sys.argv[2]) * 8640
def value(v):
    return repr(float(v))
with open(sys.argv[1], "w", newline="") as f:
    for i in range(count):
        t = end - datetime.timedelta(seconds=10 * (count - i))
        label = t.strftime("%a %d ! %H:%M:%S")
        values = (6.0 + (i % 17) / 10, 5.5 + (i % 23) / 10, 1024 + i % 7, 16000 + i % 113,
                  1100.5, 17000 + i % 5, 12.5, 23 + (i % 9) / 100)
        f.write(label + "," + ",".join(value(round(v, 2)) for v in values) + "\r\n")
PY
echo "lintrove5a cost: Sample 10 (real time), $(wc -l <"$WORK/month.txt") restored lines" \
    "($(($(stat -c %s "$WORK/month.txt") / 1024)) KiB), router simulator on 127.0.0.1:$SIM_PORT"
echo "display: $PLATFORM_NAME"
echo "QTWEBENGINE_CHROMIUM_FLAGS: ${QTWEBENGINE_CHROMIUM_FLAGS:-(not set by the caller)}"
echo "window: $SAMPLES samples after $SETTLE of settling; $RUNS runs"
echo
printf '%-4s %13s %17s %21s %11s %11s %6s %13s\n' run "first sample" "CPU/sample (main)" \
    "PSS (main)" "private" "RSS" procs "start-up CPU"

wait_rows() { # log rows timeout-seconds: until the log has that many data rows
    local want=$1 deadline=$(($(date +%s) + $2))
    while [ "$(log_rows "$LOG")" -lt "$want" ]; do
        kill -0 "$APP_PID" 2>/dev/null || { echo "the program ended: $(tail -3 "$HOME_DIR/app.err")" >&2; return 1; }
        [ "$(date +%s)" -lt "$deadline" ] || { echo "no sample $want within $2 s" >&2; return 1; }
        sleep 0.02
    done
}

FAILED=0
for run in $(seq "$RUNS"); do
    HOME_DIR=$WORK/home$run
    LOG=$HOME_DIR/log.txt
    write_settings "$HOME_DIR" "$PASSWORD" Sample=10 PointsperPage=480 Prompt=0 \
        "Page=${COST_PAGE:-0}" '[Log]' cbLog=1 "LogFile=$LOG"
    cp "$WORK/month.txt" "$HOME_DIR/Lintrove5A.txt"
    sync

    START=$(now_ms)
    start_app "$APP" "$HOME_DIR"
    # The first row: poll often, the figure is in milliseconds.
    while [ "$(log_rows "$LOG")" -lt 1 ]; do
        kill -0 "$APP_PID" 2>/dev/null || { echo "run $run: the program ended" >&2; FAILED=1; break; }
        [ $(($(now_ms) - START)) -lt 60000 ] || { echo "run $run: no sample within 60 s" >&2; FAILED=1; break; }
        sleep 0.005
    done
    FIRST=$(($(now_ms) - START))
    read -r STARTUP_CPU _ <<<"$(tree_cost)"

    if wait_rows $((1 + SETTLE)) 120; then
        read -r CPU0 _ _ _ MAIN0 _ <<<"$(tree_cost)"
        R0=$(log_rows "$LOG")
        if wait_rows $((R0 + SAMPLES)) $((SAMPLES * 10 + 60)); then
            read -r CPU1 PSS RSS PROCS MAIN1 MAINPSS USS <<<"$(tree_cost)"
            R1=$(log_rows "$LOG")
            per() { awk -v a="$1" -v b="$2" -v n=$((R1 - R0)) 'BEGIN { printf "%.1f", (b - a) / n }'; }
            mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
            printf '%-4s %10d ms %17s %21s %11s %11s %6d %10d ms\n' "$run" "$FIRST" \
                "$(per "$CPU0" "$CPU1") ($(per "$MAIN0" "$MAIN1")) ms" \
                "$(mib "$PSS") ($(mib "$MAINPSS")) MiB" "$(mib "$USS") MiB" "$(mib "$RSS") MiB" \
                "$PROCS" "$STARTUP_CPU"
        else
            FAILED=1
        fi
    else
        FAILED=1
    fi
    stop_pid "$APP_PID" 20
    APP_PID=
done
if [ -n "$XVFB_PID" ]; then
    echo "(Xvfb itself, not counted above: $(ps -o times= -p "$XVFB_PID" | tr -d ' ') s CPU in all runs)"
fi
echo "targets: first sample < 2000 ms, CPU/sample < 40 ms, PSS < 200 MiB"
exit $FAILED
