#!/usr/bin/env bash
# The Debian package.
#
#   check_deb.sh BUILD-FOLDER VERSION
#
# Builds the package with `cpack -G DEB` (into a temporary folder), checks
# its version, that its dependencies were taken from the shared libraries the
# program links and name Qt's platform plugins, what it recommends, that it
# carries its copyright in the machine-readable format and holds nothing of
# the tests, and that lintian finds no error in it; then installs it into a
# dpkg root of its own and removes it again, which must leave no file behind.
#
# Exit 0 on success, 77 when not run as root (dpkg wants to own the files
# as root; everything before the install is checked all the same), 1 on
# failure.
set -uo pipefail

BUILD="${1:-}"
VERSION="${2:-}"

log() { printf 'deb: %s\n' "$*"; }
fail() {
    log "FAIL: $*"
    exit 1
}

[ -f "$BUILD/CPackConfig.cmake" ] && [ -n "$VERSION" ] || fail "usage: $0 BUILD-FOLDER VERSION"
for tool in cpack dpkg dpkg-deb dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool is not installed (scripts/setup.sh installs it)"
done

WORK="$(mktemp -d "${TMPDIR:-/tmp}/zelmo-deb.XXXXXX")" || fail "cannot create a temporary folder"
trap 'rm -rf "$WORK"' EXIT

cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK/out" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -n 10 "$WORK/cpack.log")"
deb="$(ls "$WORK"/out/zelmohtml_*.deb 2>/dev/null)"
[ -f "$deb" ] || fail "no package was made: $(tail -n 5 "$WORK/cpack.log")"

[ "$(dpkg-deb -f "$deb" Version)" = "$VERSION" ] ||
    fail "version $(dpkg-deb -f "$deb" Version), not $VERSION"
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6; do
    [[ ", $depends" == *", $library (>= "* ]] ||
        fail "no versioned dependency on $library: $depends"
done
[[ ", $depends," == *", qt6-qpa-plugins,"* ]] || fail "no dependency on qt6-qpa-plugins: $depends"
recommends="$(dpkg-deb -f "$deb" Recommends)"
for package in qt6-translations-l10n xdg-utils ca-certificates fonts-noto-cjk fcitx5-frontend-qt6; do
    [[ ", $recommends" =~ [,\|]\ $package([ ,]|$) ]] || fail "does not recommend $package: $recommends"
done
contents="$(dpkg-deb -c "$deb")"
if grep -qE 'zelmocore|tst_|bench_' <<<"$contents"; then
    fail "the package holds test files: $(grep -E 'zelmocore|tst_|bench_' <<<"$contents")"
fi
for file in copyright changelog.gz; do
    grep -q " \./usr/share/doc/zelmohtml/$file\$" <<<"$contents" ||
        fail "no /usr/share/doc/zelmohtml/$file in the package"
done
format="$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/zelmohtml/copyright | head -n 1)"
[ "$format" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
    fail "the copyright file is not in the machine-readable format: $format"
lintian --fail-on error "$deb" >"$WORK/lintian.log" 2>&1 ||
    fail "lintian: $(grep '^E:' "$WORK/lintian.log" || tail -n 5 "$WORK/lintian.log")"

if [ "$(id -u)" -ne 0 ]; then
    log "SKIP: installing into a dpkg root of its own needs root"
    exit 77
fi

SYS="$WORK/sys"
mkdir -p "$SYS/var/lib/dpkg/updates" "$SYS/var/lib/dpkg/info"
touch "$SYS/var/lib/dpkg/status"
# The dependencies live in the real system, not in this root.
dpkg --root="$SYS" --force-depends -i "$deb" >"$WORK/dpkg.log" 2>&1 ||
    fail "dpkg -i failed: $(tail -n 5 "$WORK/dpkg.log")"
[ -x "$SYS/usr/bin/zelmohtml" ] || fail "the program was not installed"
[ -f "$SYS/usr/share/zelmohtml/tags.dat" ] || fail "tags.dat was not installed"
dpkg --root="$SYS" -P zelmohtml >"$WORK/dpkg.log" 2>&1 ||
    fail "dpkg -P failed: $(tail -n 5 "$WORK/dpkg.log")"
left="$(find "$SYS" -path "$SYS/var" -prune -o ! -type d -print)"
[ -z "$left" ] || fail "removal left files behind: $left"

log "PASS"
exit 0
