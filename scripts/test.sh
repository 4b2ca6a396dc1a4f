#!/usr/bin/env bash
# Installs what is missing, builds every test under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them all; then builds the threaded test
# programs under ThreadSanitizer and runs those. Fails when any test fails.
# Extra arguments go to both ctest runs (e.g. --schedule-random).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/stages.sh

bash scripts/setup.sh
JOBS="$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

drop_other_generator_build asan
drop_other_generator_build tsan

stage "asan: configure" quietly cmake --preset asan
stage "asan: build" cmake --build --preset asan -j "$JOBS"
stage "asan: tests" ctest --preset asan -j "$JOBS" "$@"

stage "tsan: configure" quietly cmake --preset tsan
stage "tsan: build (threaded test programs)" cmake --build --preset tsan -j "$JOBS"
stage "tsan: tests" ctest --preset tsan -j "$JOBS" "$@"
