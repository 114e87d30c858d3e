#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, when any is missing; packages named as
# arguments too (the tests need some more).
set -euo pipefail
packages=(cmake g++ make pkg-config qt6-base-dev qt6-multimedia-dev libqt6opengl6-dev libgl-dev
          libjpeg-dev libquazip1-qt6-dev libfreexl-dev libqrencode-dev qt6-translations-l10n
          qt6-websockets-dev qt6-serialport-dev libmosquitto-dev qtkeychain-qt6-dev libxcb1-dev "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi
