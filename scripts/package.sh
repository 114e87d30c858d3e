#!/usr/bin/env bash
# Builds the Debian package rittmeter_<version>_<arch>.deb into build-package/.
# Install it with: sudo apt install ./build-package/rittmeter_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh dpkg-dev file
# Only the program and its files: the tests and benchmarks are not packed.
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    >/dev/null
cmake --build build-package -j"$(nproc)" --target rittmeter rittmeter_assets
cd build-package
cpack -G DEB
ls -1 "$PWD"/rittmeter_*.deb
