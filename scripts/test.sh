#!/usr/bin/env bash
# Installs what is needed, builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (any compiler warning fails the build), and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DQUILLSHEET_SANITIZE=ON -DQUILLSHEET_WERROR=ON
cmake --build build-test -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-test --output-on-failure -j "$(nproc)"
