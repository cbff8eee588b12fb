# What the end-to-end scripts share: failing with the logs, waiting on the
# X server and the program, and finding windows. The script that sources
# this defines log and sets FAILED=0 and DEADLINE (its whole budget, in
# SECONDS).

# require PROGRAM TOOL...: the program to test must be given, and the tools
# the test drives it with installed; a missing tool skips the test (77).
require() {
    local program=$1 tool
    shift
    if [ -z "$program" ] || [ ! -x "$program" ]; then
        log "FAIL: usage: $0 PATH/TO/zelmohtml (got '${program}')"
        exit 1
    fi
    local missing=()
    for tool; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        log "SKIP: not installed: ${missing[*]} (scripts/setup.sh installs them)"
        exit 77
    fi
}

# start_display: Xvfb on a display it picks itself (it writes the number
# once it accepts connections) and the window manager on it; sets
# XVFB_PID, WM_PID and DISPLAY. Needs WORK.
start_display() {
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 \
        3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    poll 15 "Xvfb to accept connections" xvfb_ready
    DISPLAY=":$(head -n 1 "$WORK/display")"
    export DISPLAY
    log "Xvfb on display $DISPLAY"
    openbox --sm-disable >"$WORK/wm.log" 2>&1 &
    WM_PID=$!
    poll 15 "the window manager to run" wm_running
}

xvfb_ready() {
    kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb ended at start (see xvfb.log)"
    grep -qE '^[0-9]+$' "$WORK/display" 2>/dev/null
}

fail() {
    FAILED=1
    log "FAIL: $*"
    exit 1
}

# show_logs FILE...: the last lines of each log that is not empty.
show_logs() {
    local file
    for file; do
        [ -s "$file" ] || continue
        log "--- ${file##*/} ---"
        tail -n 20 "$file"
    done
}

# wait_for SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds;
# false once SECONDS (or the whole test's budget) have passed.
wait_for() {
    local until=$((SECONDS + $1))
    shift
    [ "$until" -le "$DEADLINE" ] || until=$DEADLINE
    while ! "$@"; do
        [ "$SECONDS" -lt "$until" ] || return 1
        sleep 0.1
    done
}

# poll SECONDS WHAT COMMAND...: wait_for, failing the test on a timeout.
poll() {
    local limit="$1" what="$2"
    shift 2
    wait_for "$limit" "$@" || fail "timed out after ${limit} s waiting for: $what"
}

# The X clients, each bounded so that a stuck server cannot hang the test.
xdo() { timeout 5 xdotool "$@"; }

# find_window TITLE: true when exactly one visible window has that title,
# which is then in FOUND.
find_window() {
    local ids
    ids="$(xdo search --onlyvisible --name "^$1\$" 2>/dev/null)" || return 1
    [ -n "$ids" ] && [ "$(wc -l <<<"$ids")" -eq 1 ] || return 1
    FOUND="$ids"
}
has_focus() { [ "$(xdo getwindowfocus 2>/dev/null)" = "$1" ]; }
app_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }
wm_running() { timeout 5 wmctrl -m >/dev/null 2>&1; }
