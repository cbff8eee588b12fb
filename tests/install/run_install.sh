#!/usr/bin/env bash
# The installed program, run as a user who cannot write to its folder.
#
#   run_install.sh BUILD-FOLDER DRIVER-LIBRARY VERSION-LINE
#
# Brings the build folder to the state scripts/run-editor leaves on a fresh
# clone, which builds the program alone: what the build makes for the
# install besides the program (the manual page, the changelog, the icons and
# the program that draws them) is removed, and only the target `zelmohtml`
# is built. Then installs the build into a temporary DESTDIR (prefix /usr),
# checks that every file is in place and that the desktop entry and the
# AppStream file validate, then runs the installed program under the
# offscreen platform with a temporary home and the XDG folders in it, and the
# driver library (driver.cpp) standing in for the person at it:
#   - --help, -h and --version answer and exit 0;
#   - a first run finds "tags.dat" in share/, starts from a copy of the
#     read-only "zelmohtml.ini" beside the program, previews into
#     XDG_CACHE_HOME and stores its window rectangle under XDG_CONFIG_HOME,
#     leaving the program's folder as it was;
#   - a second run keeps the user's settings although the shipped ones
#     changed, opens a page called "./--help", comes back where the first one
#     was closed, and previews the page with its own folder as <base>.
# As root, which writes anyway, the program runs as "nobody" (setpriv).
#
# Exit 0 on success, 77 when no unprivileged run is possible, 1 on failure.
set -uo pipefail

BUILD="${1:-}"
DRIVER="${2:-}"
VERSION_LINE="${3:-}"
CAPTION="ZelmoHTML编辑器"

log() { printf 'install: %s\n' "$*"; }
skip() {
    log "SKIP: $*"
    exit 77
}
fail() {
    log "FAIL: $*"
    exit 1
}

[ -d "$BUILD" ] && [ -f "$DRIVER" ] && [ -n "$VERSION_LINE" ] ||
    fail "usage: $0 BUILD-FOLDER DRIVER-LIBRARY VERSION-LINE"
for tool in desktop-file-validate appstreamcli setpriv timeout; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool is not installed (scripts/setup.sh installs it)"
done

WORK="$(mktemp -d "${TMPDIR:-/tmp}/zelmo-install.XXXXXX")" || fail "cannot create a temporary folder"
trap 'rm -rf "$WORK"' EXIT
chmod 755 "$WORK"
ROOT="$WORK/root"
USR="$ROOT/usr"
PROGRAM="$USR/bin/zelmohtml"
HOME_DIR="$WORK/home"
SITE="$WORK/site"

# ---- the install -----------------------------------------------------------

rm -rf "$BUILD/packaging/icons" "$BUILD/packaging/iconwriter" "$BUILD"/packaging/*.gz
cmake --build "$BUILD" --target zelmohtml >"$WORK/build.log" 2>&1 ||
    fail "building the program alone failed: $(tail -n 5 "$WORK/build.log")"
DESTDIR="$ROOT" cmake --install "$BUILD" --prefix /usr >"$WORK/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -n 5 "$WORK/install.log")"
for file in bin/zelmohtml share/zelmohtml/tags.dat share/applications/zelmohtml.desktop \
    share/metainfo/zelmohtml.metainfo.xml share/icons/hicolor/scalable/apps/zelmohtml.svg \
    share/icons/hicolor/48x48/apps/zelmohtml.png share/icons/hicolor/256x256/apps/zelmohtml.png \
    share/man/man1/zelmohtml.1.gz share/doc/zelmohtml/copyright share/doc/zelmohtml/changelog.gz; do
    [ -s "$USR/$file" ] || fail "not installed: $file"
done
if ldd "$PROGRAM" | grep -q 'zelmocore'; then
    fail "the installed program needs the test library: $(ldd "$PROGRAM" | grep zelmocore)"
fi
# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in 48 256; do
    measured="$(od -An -tu1 -j16 -N8 "$USR/share/icons/hicolor/${size}x${size}/apps/zelmohtml.png" |
        awk '{ printf "%d %d", $3 * 256 + $4, $7 * 256 + $8 }')"
    [ "$measured" = "$size $size" ] || fail "the ${size}px icon measures $measured"
done
desktop-file-validate "$USR/share/applications/zelmohtml.desktop" >"$WORK/validate.log" 2>&1 ||
    fail "desktop-file-validate: $(cat "$WORK/validate.log")"
appstreamcli validate --no-net "$USR/share/metainfo/zelmohtml.metainfo.xml" \
    >"$WORK/validate.log" 2>&1 || fail "appstreamcli validate: $(cat "$WORK/validate.log")"

# ---- who runs it -------------------------------------------------------------

# A read-only "zelmohtml.ini" shipped beside the program: the first run's start.
printf '[main]\r\nserch=http://search.invalid/s?wd=\r\n' >"$USR/bin/zelmohtml.ini"
chmod 444 "$USR/bin/zelmohtml.ini"
mkdir -p "$HOME_DIR" "$SITE" "$WORK/out"
cp "$DRIVER" "$WORK/driver.so"
printf '<html><head><title>t</title></head><body><img src="a.png"></body></html>\r\n' \
    >"$SITE/--help"
chmod -R a+rX "$WORK"

AS_USER=()
if [ "$(id -u)" -eq 0 ]; then
    id nobody >/dev/null 2>&1 || skip "running as root and there is no user 'nobody' to run as"
    chown -R nobody "$HOME_DIR" "$SITE" "$WORK/out"
    AS_USER=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups --)
    "${AS_USER[@]}" true 2>/dev/null || skip "setpriv cannot drop root's privileges here"
else
    chmod a-w "$USR/bin"
    trap 'chmod -R u+w "$WORK"; rm -rf "$WORK"' EXIT
fi
"${AS_USER[@]}" test -x "$PROGRAM" || skip "the unprivileged user cannot reach $WORK"
if "${AS_USER[@]}" test -w "$USR/bin"; then
    fail "the program's folder is still writable for the user who runs it"
fi

# run FOLDER ARGUMENTS...: the installed program in FOLDER, in a clean
# environment; the driver's rectangle comes from RECT.
run() {
    local folder="$1"
    shift
    (cd "$folder" && env -i PATH=/usr/bin:/bin HOME="$HOME_DIR" \
        XDG_CONFIG_HOME="$HOME_DIR/config" XDG_CACHE_HOME="$HOME_DIR/cache" \
        XDG_STATE_HOME="$HOME_DIR/state" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 \
        ZELMO_DRIVER_OUT="$WORK/out/driver" ZELMO_DRIVER_RECT="${RECT:-}" \
        timeout 30 "${AS_USER[@]}" env LD_PRELOAD="$WORK/driver.so" "$PROGRAM" "$@")
}

# seen KEY: what the driver saw.
seen() { sed -n "s/^$1=//p" "$WORK/out/driver"; }

# ---- the options -------------------------------------------------------------

for option in --help -h; do
    output="$(run "$SITE" "$option")" || fail "$option ended with status $?"
    [[ "$output" == 用法：zelmohtml* ]] || fail "$option printed: $output"
done
output="$(run "$SITE" --version)" || fail "--version ended with status $?"
[ "$output" = "$VERSION_LINE" ] || fail "--version printed '$output', not '$VERSION_LINE'"

# ---- the first run -----------------------------------------------------------

RECT="150,120,600,400" run "$WORK" >"$WORK/run1.log" 2>&1 ||
    fail "the first run ended with status $?: $(tail -n 5 "$WORK/run1.log")"
[ "$(seen caption)" = "$CAPTION" ] || fail "first run's caption: $(seen caption)"
[ "$(seen tags)" -gt 0 ] 2>/dev/null || fail "the word list was not found in share/ ($(seen tags))"
settings="$HOME_DIR/config/zelmohtml/zelmohtml.ini"
[ -f "$settings" ] || fail "no settings under XDG_CONFIG_HOME"
grep -q 'serch=http://search.invalid/s?wd=' "$settings" ||
    fail "the settings did not start from the shipped zelmohtml.ini: $(cat "$settings")"
grep -q 'Left=2250' "$settings" || fail "the window rectangle was not stored: $(cat "$settings")"
[ -f "$HOME_DIR/cache/zelmohtml/Preview.htm" ] || fail "no Preview.htm under XDG_CACHE_HOME"
leftovers="$(ls "$USR/bin" | tr '\n' ' ')"
[ "$leftovers" = "zelmohtml zelmohtml.ini " ] || fail "the program's folder changed: $leftovers"

# ---- the second run ----------------------------------------------------------

# The shipped settings seed the first run only.
chmod 644 "$USR/bin/zelmohtml.ini"
printf '[main]\r\nserch=http://other.invalid/s?wd=\r\n' >"$USR/bin/zelmohtml.ini"
chmod 444 "$USR/bin/zelmohtml.ini"

run "$SITE" ./--help >"$WORK/run2.log" 2>&1 ||
    fail "the second run ended with status $?: $(tail -n 5 "$WORK/run2.log")"
[ "$(seen caption)" = "$CAPTION--./--help" ] || fail "a page called --help did not open: $(seen caption)"
[ "$(seen rect)" = "150,120,600,400" ] || fail "the stored rectangle did not come back: $(seen rect)"
grep -q 'serch=http://search.invalid/s?wd=' "$settings" ||
    fail "the shipped settings were copied again: $(cat "$settings")"
grep -qF "<head><base href=\"file://$SITE/\"><title>" "$HOME_DIR/cache/zelmohtml/Preview.htm" ||
    fail "the preview has no <base> for the page's folder: $(cat "$HOME_DIR/cache/zelmohtml/Preview.htm")"

log "PASS"
exit 0
