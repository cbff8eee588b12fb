#!/usr/bin/env bash
# Installs what the build needs on Debian 12 (when missing: as root, or
# through sudo for another user) and configures build/. Sourced by
# run-editor and run-tests, which then build what they need with
# build_targets.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

PACKAGES=(
    build-essential cmake pkg-config ccache
    qt6-base-dev qt6-qpa-plugins libgl-dev libxcb1-dev
    qt6-translations-l10n xdg-utils
    libbenchmark-dev
    fonts-noto-cjk fcitx5-frontend-qt6
    xvfb xauth
    xdotool x11-utils wmctrl openbox
    desktop-file-utils appstream lintian
)

install_missing_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return
    fi
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "Missing: ${missing[*]}" >&2
            echo "Installing them needs root: run this as root, or install sudo." >&2
            exit 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_build() {
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
}

# Builds the named targets, or everything when none is named.
build_targets() {
    local targets=()
    for target in "$@"; do
        targets+=(--target "$target")
    done
    cmake --build "$BUILD" -j"$(nproc)" "${targets[@]}"
}

install_missing_packages
configure_build
