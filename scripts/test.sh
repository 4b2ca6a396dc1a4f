#!/usr/bin/env bash
# Installs what is missing, builds every test under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them all; then builds the threaded tests
# under ThreadSanitizer and runs those. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
JOBS="$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

cmake --preset asan >/dev/null
cmake --build --preset asan -j "$JOBS"
ctest --preset asan -j "$JOBS"

cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$JOBS"
ctest --preset tsan -j "$JOBS"
