#!/usr/bin/env bash
# Sets up, builds and runs every test: the Release build with all tests, all
# tests once more under AddressSanitizer and UBSan, and a few seconds of each
# fuzz target when clang can build them.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DSEGMORA_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSEGMORA_WERROR=ON \
  -DSEGMORA_SANITIZE=ON
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"

if command -v clang++ >/dev/null &&
  echo 'extern "C" int LLVMFuzzerTestOneInput(const char *, unsigned long) { return 0; }' |
  clang++ -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DSEGMORA_FUZZ=ON -DSEGMORA_GUI=OFF -DSEGMORA_TESTS=OFF
  cmake --build build-fuzz -j "$jobs"
  for fuzzer in build-fuzz/fuzz/*_fuzz; do
    echo "Fuzzing $(basename "$fuzzer") for a few seconds"
    "$fuzzer" -max_total_time=5 -rss_limit_mb=2048 2>&1 | tail -n 2
  done
else
  echo "clang with libFuzzer not found: fuzz targets not built"
fi
