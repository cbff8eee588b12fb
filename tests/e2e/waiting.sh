# Waiting on the X server and the program, shared by the end-to-end scripts.
# The script that sources this sets DEADLINE (its whole budget, in SECONDS)
# and defines fail.

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
