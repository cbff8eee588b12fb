#!/usr/bin/env bash
# End-to-end test of the recovery journal through the real program in its own
# X server.
#
#   run_recovery.sh PATH/TO/zelmohtml
#
# Each case types into the real window, ends the program from outside
# (SIGKILL after the journal's delay, SIGTERM or SIGHUP at once), starts it
# again, recovers the page through the recovery list, saves it with Ctrl+S
# and compares the saved bytes. Also: a damaged journal is set aside without
# stopping the start-up, and a full disk does not stop typing (when a small
# tmpfs can be mounted).
#
# Exit 0 on success, 77 when the X tools are not installed, 1 on failure.
set -uo pipefail

PROGRAM="${1:-}"
DEADLINE=240
MAIN_CAPTION="ZelmoHTML编辑器"
RECOVER_CAPTION="恢复未保存的网页"
SAVE_CAPTION="保存网页文件"

log() { printf 'recovery-e2e: %s\n' "$*"; }
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

require "$PROGRAM" Xvfb xdotool openbox wmctrl timeout

WORK="$(mktemp -d "${TMPDIR:-/tmp}/zelmo-recovery.XXXXXX")" || exit 1
XVFB_PID="" WM_PID="" APP_PID="" FAILED=0 MOUNTED=""

stop_process() {
    local pid="$1"
    [ -n "$pid" ] || return 0
    kill -9 "$pid" 2>/dev/null
    { wait "$pid"; } 2>/dev/null
    return 0
}
cleanup() {
    stop_process "$APP_PID"
    stop_process "$WM_PID"
    stop_process "$XVFB_PID"
    [ -n "$MOUNTED" ] && umount "$MOUNTED" 2>/dev/null
    [ "$FAILED" -eq 0 ] || show_logs "$WORK"/app*.log "$WORK"/xvfb.log
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP

journals() { ls "$STATE"/zelmohtml/journal/*.journal 2>/dev/null; }
has_journal() { [ -n "$(journals)" ]; }
no_journal() { [ -z "$(journals)" ]; }

mkdir -p "$WORK/home" "$WORK/runtime" "$WORK/temp" "$WORK/out" "$WORK/state" || fail "cannot lay out $WORK"
chmod 700 "$WORK/runtime"
STATE="$WORK/state"
export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime" TEMP="$WORK/temp" LC_ALL=C.UTF-8
export XDG_STATE_HOME="$STATE" QT_QPA_PLATFORM=xcb
unset XDG_CONFIG_HOME XDG_CURRENT_DESKTOP XDG_SESSION_TYPE WAYLAND_DISPLAY \
    DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR SESSION_MANAGER

start_display

FOLDER="$WORK/program"
mkdir -p "$FOLDER" && cp "$PROGRAM" "$FOLDER/zelmohtml" || fail "cannot copy the program"
printf '<table></table>\r\n' >"$FOLDER/tags.dat"

RUN=0
# start_program [PAGE]: starts the program, waits for its window (named by
# CAPTION) and gives it the focus; sets MAIN.
start_program() {
    RUN=$((RUN + 1))
    "$FOLDER/zelmohtml" "$@" >"$WORK/app$RUN.log" 2>&1 &
    APP_PID=$!
}
focus_main() {
    local caption="$1"
    poll 20 "the main window \"$caption\"" find_window "$caption"
    MAIN="$FOUND"
    xdo windowactivate "$MAIN" >/dev/null 2>&1
    poll 10 "the main window to have the focus" has_focus "$MAIN"
}
type_text() { xdo type --delay 30 "$1" || fail "xdotool type failed"; }
end_with() {
    kill "-$1" "$APP_PID"
    poll 15 "the program to end after SIG$1" app_ended
    { wait "$APP_PID"; } 2>/dev/null
    APP_PID=""
}
# recover_and_save CAPTION: a fresh start offers the journal; 恢复 (the
# default button) opens it in a window called CAPTION; Ctrl+S saves it.
recover_and_save() {
    start_program
    poll 20 "the recovery list \"$RECOVER_CAPTION\"" find_window "$RECOVER_CAPTION"
    xdo windowactivate "$FOUND" >/dev/null 2>&1
    poll 10 "the recovery list to have the focus" has_focus "$FOUND"
    xdo key Return || fail "xdotool key failed"
    focus_main "$1"
    xdo key ctrl+s || fail "xdotool key failed"
}
expect_bytes() {
    local file="$1" expected="$2"
    printf '%b' "$expected" >"$WORK/expected"
    same() { cmp -s "$WORK/expected" "$file"; }
    if ! wait_for 15 same; then
        log "saved:    $(od -An -c "$file" 2>&1 | tr -s ' ' | tr -d '\n')"
        log "expected: $(od -An -c "$WORK/expected" | tr -s ' ' | tr -d '\n')"
        fail "$file does not hold what was typed"
    fi
}
close_program() {
    wmctrl -i -c "$MAIN"
    poll 15 "the program to end" app_ended
    wait "$APP_PID" 2>/dev/null
    APP_PID=""
}

# ---- SIGKILL after the journal's delay: a named page ---------------------
PAGE="$WORK/out/killed.htm"
printf '<p>old</p>\r\n' >"$PAGE"
start_program "$PAGE"
focus_main "$MAIN_CAPTION--$PAGE"
xdo key ctrl+End
type_text "typed before kill 9"
poll 10 "the journal to be written" has_journal
[ "$(stat -c %a "$(journals)")" = 600 ] || fail "the journal is not for the user alone"
[ "$(stat -c %a "$STATE/zelmohtml/journal")" = 700 ] || fail "the journal folder is not 0700"
end_with KILL
cmp -s "$PAGE" <(printf '<p>old</p>\r\n') || fail "the page itself was written before a save"
recover_and_save "$MAIN_CAPTION--$PAGE"
expect_bytes "$PAGE" '<p>old</p>typed before kill 9\r\n'
poll 10 "the save to remove the journal" no_journal
close_program
log "SIGKILL: recovered and saved"

# ---- SIGTERM at once, before the journal's delay --------------------------
PAGE="$WORK/out/term.htm"
printf 'x\r\n' >"$PAGE"
start_program "$PAGE"
focus_main "$MAIN_CAPTION--$PAGE"
xdo key ctrl+End
type_text "term"
sleep 0.5
end_with TERM
has_journal || fail "SIGTERM left no journal"
recover_and_save "$MAIN_CAPTION--$PAGE"
expect_bytes "$PAGE" 'xterm\r\n'
close_program
log "SIGTERM: recovered and saved"

# ---- SIGHUP at once: an unnamed page ---------------------------------------
start_program
focus_main "$MAIN_CAPTION"
xdo key ctrl+a Delete
type_text "hup page"
sleep 0.5
end_with HUP
has_journal || fail "SIGHUP left no journal"
recover_and_save "$MAIN_CAPTION"
poll 15 "the save dialog" find_window "$SAVE_CAPTION"
poll 10 "the save dialog to have the focus" has_focus "$FOUND"
TARGET="$WORK/out/unnamed.htm"
type_text "$TARGET"
xdo key Return
expect_bytes "$TARGET" 'hup page\r\n'
focus_main "$MAIN_CAPTION--$TARGET"
close_program
log "SIGHUP, unnamed page: recovered and saved"

# ---- a damaged journal is set aside; the start goes on ----------------------
DAMAGED="$STATE/zelmohtml/journal/1-damaged.journal"
printf 'ZelmoHTML journal 1\ngarbage\n\n' >"$DAMAGED"
start_program
focus_main "$MAIN_CAPTION"
[ -f "$DAMAGED.damaged" ] || fail "the damaged journal was not set aside"
[ ! -e "$DAMAGED" ] || fail "the damaged journal is still in the way"
close_program
log "damaged journal: set aside, start-up went on"

# ---- closing with 否 removes the journal -----------------------------------
PAGE="$WORK/out/dropped.htm"
printf 'keep\r\n' >"$PAGE"
start_program "$PAGE"
focus_main "$MAIN_CAPTION--$PAGE"
xdo key ctrl+End
type_text " dropped"
poll 10 "the journal to be written" has_journal
wmctrl -i -c "$MAIN"
poll 10 "the question before closing" find_window "$MAIN_CAPTION"
xdo windowactivate "$FOUND" >/dev/null 2>&1
xdo key alt+n
poll 15 "the program to end after 否" app_ended
{ wait "$APP_PID"; } 2>/dev/null
APP_PID=""
no_journal || fail "closing with 否 left the journal"
cmp -s "$PAGE" <(printf 'keep\r\n') || fail "closing with 否 wrote the page"
log "closing with 否: journal removed, page untouched"

# ---- another program changes the page; a second window on it --------------
PAGE="$WORK/out/changed.htm"
printf 'mine\r\n' >"$PAGE"
start_program "$PAGE"
focus_main "$MAIN_CAPTION--$PAGE"
FIRST_PID="$APP_PID" FIRST="$MAIN"
# Unedited, it is read again (here at once, through the file watch); what
# is typed next goes into their text.
printf 'theirs\r\n' >"$WORK/out/replacement" && mv "$WORK/out/replacement" "$PAGE"
sleep 1
xdo key ctrl+End
type_text " more"
xdo key ctrl+s
expect_bytes "$PAGE" 'theirs more\r\n'
# Edited, a save after their change asks first; 取消 (the default) keeps
# theirs.
type_text " mine"
printf 'again\r\n' >"$PAGE"
xdo key ctrl+s
poll 10 "the question about the changed page" find_window "$MAIN_CAPTION"
xdo windowactivate "$FOUND" >/dev/null 2>&1
xdo key Return
sleep 1
cmp -s "$PAGE" <(printf 'again\r\n') || fail "a save overwrote another program's change unasked"
log "changed by another program: read again unedited, asked before overwriting"
# A second window on the same page says so at once.
start_program "$PAGE"
poll 20 "the notice that the page is open in another window" find_window "$MAIN_CAPTION"
xdo key Return
two_windows() {
    [ "$(xdo search --onlyvisible --name "^$MAIN_CAPTION--$PAGE\$" 2>/dev/null | wc -l)" -eq 2 ]
}
poll 10 "the second window on the page" two_windows
kill -9 "$APP_PID"
{ wait "$APP_PID"; } 2>/dev/null
APP_PID="$FIRST_PID"
kill -9 "$APP_PID"
{ wait "$APP_PID"; } 2>/dev/null
APP_PID=""
rm -f "$STATE"/zelmohtml/journal/*
log "a second window on the page: said so"

# ---- a full disk: typing goes on, the journal comes once there is room ------
FULL="$WORK/full"
mkdir -p "$FULL"
if mount -t tmpfs -o size=256k tmpfs "$FULL" 2>/dev/null; then
    MOUNTED="$FULL"
    export XDG_STATE_HOME="$FULL"
    STATE="$FULL"
    PAGE="$WORK/out/full.htm"
    printf 'start\r\n' >"$PAGE"
    start_program "$PAGE"
    focus_main "$MAIN_CAPTION--$PAGE"
    dd if=/dev/zero of="$FULL/filler" bs=4k >/dev/null 2>&1
    xdo key ctrl+End
    type_text " full"
    sleep 3
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended on a full disk"
    no_journal || fail "a journal appeared on a full disk"
    ls "$FULL"/zelmohtml/journal/*.tmp >/dev/null 2>&1 && fail "a torn journal was left"
    rm -f "$FULL/filler"
    type_text " room"
    poll 10 "the journal once there is room" has_journal
    end_with KILL
    recover_and_save "$MAIN_CAPTION--$PAGE"
    expect_bytes "$PAGE" 'start full room\r\n'
    close_program
    log "full disk: typing went on, journal written once there was room"
else
    log "full disk: skipped (no tmpfs can be mounted here)"
fi

log "PASS (${SECONDS} s)"
