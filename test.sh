#!/usr/bin/env bash
# Sets up, builds and runs every test: the Release build with all tests, then
# the engine tests once more under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DSEGMORA_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSEGMORA_WERROR=ON \
  -DSEGMORA_SANITIZE=ON -DSEGMORA_GUI=OFF
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"
