#!/usr/bin/env bash
# Builds Rittmeter with its tests and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
# pdftotext reads the printout back; openpyxl and python-docx make and read office files; the
# package test builds the Debian package and validates its menu entry and AppStream file;
# chromium opens the live results page; the broker tests start a mosquitto of their own and read
# it with mosquitto_sub.
scripts/deps.sh poppler-utils python3-openpyxl python3-docx dpkg-dev file desktop-file-utils \
    appstream chromium mosquitto mosquitto-clients
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
