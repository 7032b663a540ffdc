# Shared by bench/program_cost.sh and bench/soak.sh (sourced, not run): the simulated router, a
# program folder pointing at it, the display, and the cost of the program's process tree.
# Everything listens on 127.0.0.1 only. The caller sets WORK and traps EXIT to stop_all.

BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SIM_PID= APP_PID= XVFB_PID=

stop_pid() { # pid [seconds to wait after SIGTERM before SIGKILL]
    local pid=$1 wait=${2:-10}
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 0
    kill "$pid" 2>/dev/null || true
    for _ in $(seq $((wait * 10))); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
}

stop_all() {
    stop_pid "$APP_PID" 20
    APP_PID=
    stop_pid "$SIM_PID"
    SIM_PID=
    stop_pid "$XVFB_PID"
    XVFB_PID=
}

# Starts the simulated router on a port the kernel picks; sets SIM_PID and SIM_PORT.
start_sim() { # sim password [router-sim switches...]
    local sim=$1 password=$2
    shift 2
    "$sim" --port 0 --password "$password" "$@" >"$WORK/sim.out" 2>"$WORK/sim.err" &
    SIM_PID=$!
    for _ in $(seq 100); do
        SIM_PORT=$(sed -n 's/^router-sim listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$WORK/sim.out")
        [ -n "$SIM_PORT" ] && return 0
        sleep 0.05
    done
    echo "the simulated router did not start: $(cat "$WORK/sim.err")" >&2
    return 1
}

sim_set() { # query, e.g. "nosync=1&logout=1"
    curl -sf --max-time 5 "http://127.0.0.1:$SIM_PORT/sim/set?$1" >/dev/null
}

# The display the program gets: the user's, else an Xvfb of our own (as the demo does), else the
# offscreen platform. COST_PLATFORM=offscreen or xvfb chooses. Sets PLATFORM_NAME and exports
# DISPLAY or QT_QPA_PLATFORM.
choose_display() {
    local want=${COST_PLATFORM:-}
    if [ -z "$want" ]; then
        if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
            PLATFORM_NAME="the desktop's display ${DISPLAY:-$WAYLAND_DISPLAY}"
            return 0
        fi
        if command -v Xvfb >/dev/null; then want=xvfb; else want=offscreen; fi
    fi
    case $want in
    offscreen)
        export QT_QPA_PLATFORM=offscreen
        unset DISPLAY
        PLATFORM_NAME="QT_QPA_PLATFORM=offscreen"
        ;;
    xvfb)
        # -displayfd: Xvfb picks a free display number itself and tells us which.
        Xvfb -displayfd 1 -screen 0 1280x900x24 -nolisten tcp >"$WORK/xvfb.display" \
            2>"$WORK/xvfb.err" &
        XVFB_PID=$!
        local number=
        for _ in $(seq 100); do
            number=$(head -n1 "$WORK/xvfb.display" 2>/dev/null)
            [ -n "$number" ] && break
            sleep 0.05
        done
        [ -n "$number" ] || { echo "Xvfb did not start: $(cat "$WORK/xvfb.err")" >&2; return 1; }
        export DISPLAY=":$number"
        unset QT_QPA_PLATFORM
        PLATFORM_NAME="Xvfb (display :$number, 1280x900x24), as the demo without a display"
        ;;
    *)
        echo "COST_PLATFORM must be offscreen or xvfb" >&2
        return 2
        ;;
    esac
}

# A settings file pointing at the simulator, the password scrambled as the program stores it
# (each byte b as 255 - b). Extra "Key=value" lines go after the router's in section LT-BT;
# further sections may follow as "[Section]" lines.
write_settings() { # home password line...
    local home=$1 password=$2
    shift 2
    local scrambled=""
    for ((i = 0; i < ${#password}; i++)); do
        scrambled+=$(printf '\\%03o' $((255 - $(printf '%d' "'${password:i:1}"))))
    done
    mkdir -p "$home"
    {
        printf '[LT-BT]\r\nAddress=127.0.0.1:%s\r\nPassword=' "$SIM_PORT"
        printf "$scrambled"
        printf '\r\n'
        for line in "$@"; do printf '%s\r\n' "$line"; done
    } >"$home/lintrove5a.ini"
    chmod 600 "$home/lintrove5a.ini"
}

start_app() { # app home [extra environment assignments...]
    local app=$1 home=$2
    shift 2
    if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
    env LINTROVE_HOME="$home" "$@" "$app" >"$home/app.out" 2>"$home/app.err" &
    APP_PID=$!
}

# "<cpu ms> <pss KiB> <rss KiB> <processes>" of the program and all its descendants, then
# "<cpu ms> <pss KiB>" of the program's own process, then the descendants' and program's private
# memory in KiB (PSS shrinks when other programs share the same libraries; private memory does
# not).
tree_cost() {
    python3 "$BENCH_DIR/proc_tree.py" "$APP_PID"
}

# Data rows of the CSV log (the header pair not counted).
log_rows() { # log file
    local n
    n=$(wc -l 2>/dev/null <"$1") || n=0
    echo $((n > 2 ? n - 2 : 0))
}

now_ms() { date +%s%3N; }
