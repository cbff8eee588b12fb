#!/usr/bin/env bash
# End-to-end test of the real program in its own X server.
#
#   run_e2e.sh PATH/TO/zelmohtml
#
# Starts Xvfb (on a display it picks itself) with the openbox window manager,
# copies the program into a fresh folder beside a known "tags.dat", types a
# tag through the completion list, saves it through the save dialog and
# compares the file's bytes; then moves, resizes and closes the window, checks
# the rectangle stored in "zelmohtml.ini", starts the program again and checks
# that the window comes back where it was closed.
#
# Exit 0 on success, 77 when the X tools are not installed, 1 on failure.
# Every wait is bounded; the whole run stays within DEADLINE seconds.
set -uo pipefail

PROGRAM="${1:-}"
DEADLINE=60
MAIN_CAPTION="ZelmoHTML编辑器"
SAVE_CAPTION="保存网页文件"
# Where the window is moved to and the size it is given (pixels).
MOVE_LEFT=100
MOVE_TOP=150
SIZE_WIDTH=640
SIZE_HEIGHT=420
TWIPS_PER_PIXEL=15

log() { printf 'e2e: %s\n' "$*"; }
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

require "$PROGRAM" Xvfb xdotool openbox wmctrl xwininfo xprop timeout

WORK="$(mktemp -d "${TMPDIR:-/tmp}/zelmo-e2e.XXXXXX")" || {
    log "FAIL: cannot create a temporary folder"
    exit 1
}
XVFB_PID=""
WM_PID=""
APP_PID=""
FAILED=0

stop_process() {
    local pid="$1"
    [ -n "$pid" ] || return 0
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null
        for _ in $(seq 1 20); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
    return 0
}

cleanup() {
    # Whether the X server outlived a failure tells a server that died from
    # one that turned clients away.
    if [ "$FAILED" -ne 0 ] && [ -n "$XVFB_PID" ]; then
        if kill -0 "$XVFB_PID" 2>/dev/null; then
            log "Xvfb was still running; its sockets: $(ls /tmp/.X11-unix 2>&1 | tr '\n' ' ')"
        else
            log "Xvfb had ended"
        fi
    fi
    stop_process "$APP_PID"
    stop_process "$WM_PID"
    stop_process "$XVFB_PID"
    [ "$FAILED" -eq 0 ] || show_logs "$WORK"/app*.log "$WORK"/xvfb.log "$WORK"/wm.log
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP


remaining() { echo $((DEADLINE - SECONDS)); }


# Client area of a window as "x y width height" (root coordinates).
client_geometry() {
    timeout 5 xwininfo -id "$1" 2>/dev/null | awk -F: '
        /Absolute upper-left X/ { x = $2 + 0 }
        /Absolute upper-left Y/ { y = $2 + 0 }
        /^ *Width/ { w = $2 + 0 }
        /^ *Height/ { h = $2 + 0 }
        END { if (w > 0) printf "%d %d %d %d\n", x, y, w, h; else exit 1 }'
}

# Outer top-left corner of a window with its frame, as "x y": the client
# origin less the frame extents the window manager announces.
frame_origin() {
    local geometry extents
    geometry="$(client_geometry "$1")" || return 1
    extents="$(timeout 5 xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null)" || return 1
    read -r x y _ _ <<<"$geometry"
    # "_NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom"
    extents="${extents#*= }"
    IFS=', ' read -r left _ top _ <<<"$extents"
    [[ "$left" =~ ^[0-9]+$ && "$top" =~ ^[0-9]+$ ]] || return 1
    echo "$((x - left)) $((y - top))"
}

# The single visible window whose name is exactly the caption; sets FOUND.

caption_is() { [ "$(xdo getwindowname "$1" 2>/dev/null)" = "$2" ]; }

start_program() {
    local logfile="$1"
    "$FOLDER/zelmohtml" >"$logfile" 2>&1 &
    APP_PID=$!
}

# Closes the window the way a user does (WM_DELETE_WINDOW through the window
# manager), so that the program's shutdown runs; checks it ends cleanly.
close_program() {
    local window="$1" status
    wmctrl -i -c "$window" || fail "wmctrl could not ask window $window to close"
    poll 15 "the program to end after its window was closed" app_ended
    wait "$APP_PID"
    status=$?
    APP_PID=""
    [ "$status" -eq 0 ] || fail "the program ended with exit status $status"
}

# [Arer] of the settings file as "Left Top Width Height WindowState".
stored_rectangle() {
    tr -d '\r' <"$FOLDER/zelmohtml.ini" | awk -F= '
        /^\[/ { in_arer = (tolower($0) == "[arer]"); next }
        in_arer { value[tolower($1)] = $2 }
        END { printf "%s %s %s %s %s\n", value["left"], value["top"], value["width"],
                     value["height"], value["windowstate"] }'
}

# ---- the X server and the window manager ---------------------------------

mkdir -p "$WORK/home" "$WORK/runtime" "$WORK/temp" "$WORK/out" || fail "cannot lay out $WORK"
chmod 700 "$WORK/runtime"
export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime" TEMP="$WORK/temp" LC_ALL=C.UTF-8
export QT_QPA_PLATFORM=xcb
unset XDG_CONFIG_HOME XDG_CURRENT_DESKTOP XDG_SESSION_TYPE WAYLAND_DISPLAY \
    DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR \
    QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING \
    SESSION_MANAGER

start_display

# ---- a fresh program folder ----------------------------------------------

FOLDER="$WORK/program"
mkdir -p "$FOLDER" || fail "cannot create $FOLDER"
cp "$PROGRAM" "$FOLDER/zelmohtml" || fail "cannot copy $PROGRAM"
printf '<table></table>\r\n<b></b>\r\n<title></title>\r\n' >"$FOLDER/tags.dat"

# ---- first run: type a tag through the completion list and save ----------

start_program "$WORK/app1.log"
poll 20 "the main window \"$MAIN_CAPTION\"" find_window "$MAIN_CAPTION"
MAIN="$FOUND"
log "main window $MAIN: $(client_geometry "$MAIN")"

xdo windowactivate "$MAIN" >/dev/null 2>&1
poll 10 "the main window to have the keyboard focus" has_focus "$MAIN"

# Empty the page skeleton, then "<tab": the list selects "<table></table>";
# Enter puts it in with the caret between the tags.
xdo key ctrl+a Delete || fail "xdotool key failed"
xdo type --delay 40 '<tab' || fail "xdotool type failed"
xdo key Return || fail "xdotool key failed"
xdo type --delay 40 'x' || fail "xdotool type failed"
xdo key ctrl+s || fail "xdotool key failed"

poll 15 "the save dialog \"$SAVE_CAPTION\"" find_window "$SAVE_CAPTION"
DIALOG="$FOUND"
poll 10 "the save dialog to have the keyboard focus" has_focus "$DIALOG"

TARGET="$WORK/out/page.htm"
# The file name field has the focus when the dialog opens.
xdo type --delay 20 "$TARGET" || fail "xdotool type failed"
xdo key Return || fail "xdotool key failed"
saved() { [ -f "$TARGET" ] && caption_is "$MAIN" "$MAIN_CAPTION--$TARGET"; }
poll 15 "the page to be saved as $TARGET (caption \"$MAIN_CAPTION--$TARGET\")" saved

printf '<table>x</table>\r\n' >"$WORK/expected.htm"
log "saved bytes:    $(od -An -c "$TARGET" | tr -s ' ' | tr -d '\n')"
log "expected bytes: $(od -An -c "$WORK/expected.htm" | tr -s ' ' | tr -d '\n')"
cmp -s "$WORK/expected.htm" "$TARGET" || fail "the saved file's bytes differ"

# ---- move, resize and close; the rectangle is stored ---------------------

xdo windowmove "$MAIN" "$MOVE_LEFT" "$MOVE_TOP" || fail "xdotool windowmove failed"
xdo windowsize "$MAIN" "$SIZE_WIDTH" "$SIZE_HEIGHT" || fail "xdotool windowsize failed"
moved() {
    local width height
    read -r _ _ width height <<<"$(client_geometry "$MAIN")"
    [ "$(frame_origin "$MAIN")" = "$MOVE_LEFT $MOVE_TOP" ] &&
        [ "$width" = "$SIZE_WIDTH" ] && [ "$height" = "$SIZE_HEIGHT" ]
}
poll 10 "the window to move to $MOVE_LEFT,$MOVE_TOP with a ${SIZE_WIDTH}x${SIZE_HEIGHT} client area" moved
CLOSED_AT="$(client_geometry "$MAIN")"
log "window before closing: client x y w h = $CLOSED_AT, frame at $(frame_origin "$MAIN")"

close_program "$MAIN"

[ -f "$FOLDER/zelmohtml.ini" ] || fail "no zelmohtml.ini in the program folder"
EXPECTED_RECT="$((MOVE_LEFT * TWIPS_PER_PIXEL)) $((MOVE_TOP * TWIPS_PER_PIXEL))"
EXPECTED_RECT+=" $((SIZE_WIDTH * TWIPS_PER_PIXEL)) $((SIZE_HEIGHT * TWIPS_PER_PIXEL)) 0"
STORED_RECT="$(stored_rectangle)"
log "[Arer] Left Top Width Height WindowState: stored '$STORED_RECT', expected '$EXPECTED_RECT'"
[ "$STORED_RECT" = "$EXPECTED_RECT" ] || fail "the stored window rectangle differs"

# ---- second run: the window comes back where it was closed ---------------

start_program "$WORK/app2.log"
poll 20 "the main window to show again" find_window "$MAIN_CAPTION"
MAIN="$FOUND"
restored() { [ "$(client_geometry "$MAIN")" = "$CLOSED_AT" ]; }
if ! wait_for 10 restored; then
    fail "window reopened at client x y w h = $(client_geometry "$MAIN"), closed at $CLOSED_AT"
fi
log "window after restart: client x y w h = $(client_geometry "$MAIN") (closed at $CLOSED_AT)"

# Closing it unmoved stores the same rectangle: no drift from run to run.
close_program "$MAIN"
STORED_AGAIN="$(stored_rectangle)"
log "[Arer] after the second run: '$STORED_AGAIN'"
[ "$STORED_AGAIN" = "$EXPECTED_RECT" ] || fail "the rectangle drifted across runs"

log "PASS (${SECONDS} s)"
