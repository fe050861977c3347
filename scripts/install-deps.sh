#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Talkvane needs.
# Idempotent and non-interactive: safe to run on every CI start.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
    qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools libqt5sql5-sqlite libqt5svg5-dev
    libqt5dbus5 libqxmpp-dev libsingleapplication-dev
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libgstreamer-plugins-bad1.0-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-nice
    gstreamer1.0-pulseaudio libnice-dev
    pulseaudio pulseaudio-utils prosody lua-sec openssl ca-certificates
    python3 xvfb xauth dbus x11-utils imagemagick
    fonts-liberation2 libbenchmark-dev tcpdump
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all packages present"
    exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# Installing prosody would start the system instance; the project runs its own on private ports.
if [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\nexit 101\n' | $SUDO tee /usr/sbin/policy-rc.d >/dev/null
    $SUDO chmod +x /usr/sbin/policy-rc.d
    trap '$SUDO rm -f /usr/sbin/policy-rc.d' EXIT
fi
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
