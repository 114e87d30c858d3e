#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each, by default for ten minutes:
#   scripts/fuzz.sh [seconds]
# The dBase reader's corpus grows in build-fuzz/corpus, seeded from fuzz/seeds, the timing device
# lines' in build-fuzz/corpus_timerline, seeded from fuzz/seeds_timerline; crashes land in
# build-fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
for p in clang libclang-rt-14-dev; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        if [ "$(id -u)" -ne 0 ]; then
            echo "Install clang first: sudo apt-get install -y clang libclang-rt-14-dev" >&2
            exit 1
        fi
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            clang libclang-rt-14-dev
        break
    fi
done
cmake -S . -B build-fuzz -DRITTMETER_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target fuzz_torisdbf fuzz_timerline -j"$(nproc)"
mkdir -p build-fuzz/corpus build-fuzz/corpus_timerline
cd build-fuzz
./bin/fuzz_torisdbf -max_total_time="${1:-600}" -max_len=65536 -artifact_prefix=./ \
    corpus ../fuzz/seeds
./bin/fuzz_timerline -max_total_time="${1:-600}" -max_len=4096 -artifact_prefix=./ \
    corpus_timerline ../fuzz/seeds_timerline
