#!/usr/bin/env bash
# Sets up (packages, build) and runs every test: the whole suite, then the Qt-free
# suites again under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# calculation thread's suites under ThreadSanitizer.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/setup.sh"

JOBS="$(nproc)"
# Window and OpenGL tests need a display: give them a virtual one.
run_with_display() {
  if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1280x1024x24" "$@"; fi
}

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

echo "== Test suite"
run_with_display ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS"

echo "== Sanitizer pass (ASan + UBSan)"
SAN_DIR="${SAN_BUILD_DIR:-$ROOT/build-asan}"
configure_and_build "$SAN_DIR" -DCMAKE_BUILD_TYPE=Debug -DKESTOVAR_SANITIZE=ON \
  -DKESTOVAR_BUILD_APP=OFF -DKESTOVAR_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$SAN_DIR" --output-on-failure -j "$JOBS"

echo "== Thread sanitizer pass (calculation thread)"
TSAN_DIR="${TSAN_BUILD_DIR:-$ROOT/build-tsan}"
if [ ! -f "$TSAN_DIR/build.ninja" ]; then
  cmake -S "$ROOT" -B "$TSAN_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTOVAR_TSAN=ON \
    -DKESTOVAR_BUILD_BENCH=OFF
fi
cmake --build "$TSAN_DIR" --parallel "$JOBS" --target app_worker_tests app_model_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir "$TSAN_DIR" --output-on-failure -j "$JOBS" -L 'app_worker_tests|app_model_tests'

echo "== Thread sanitizer pass (engine sweeps on several threads)"
cmake --build "$TSAN_DIR" --parallel "$JOBS" --target korvane_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  "$TSAN_DIR/tests/korvane/korvane_tests" --gtest_filter='SweepThreads.*:SweepSchedule.*'
