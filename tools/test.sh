#!/usr/bin/env bash
# Installs what the project needs, then builds and runs every test twice:
# a plain build and one under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

jobs=$(nproc)
run_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j "$jobs"
  # A test that hangs fails after five minutes instead of holding the run.
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 300
}

run_build build/plain
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$PWD/tools/lsan-suppressions.txt" \
  run_build build/sanitize -DLEXORA_SANITIZE=ON
