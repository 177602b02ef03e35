#!/usr/bin/env bash
# Sets up (packages, build) and runs every test: the whole suite, then the Qt-free
# suites again under AddressSanitizer and UndefinedBehaviorSanitizer, the
# calculation thread's suites under ThreadSanitizer, and a short run of every
# fuzz target. Every pass runs even when an earlier one fails; the script fails
# at the end and names the passes that failed.
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

# Each pass is a function named pass_<name>; list it in PASSES to run it.

pass_suite() {
  run_with_display ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS"
}

# The drawing tests again with a "Symbol" family that lacks the mapped glyphs,
# as on machines with the URW fonts, whose "Standard Symbols PS" has no U+2666:
# here an icon font of Qt's own takes the name. Written afresh each run.
pass_fonts() {
  local font_dir
  font_dir="$(mktemp -d)"
  cat >"$font_dir/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/share/qt6/doc/global/template/style</dir>
  <cachedir>$font_dir/cache</cachedir>
  <match target="scan">
    <test name="file"><string>/usr/share/qt6/doc/global/template/style/icomoon.ttf</string></test>
    <edit name="family" mode="assign_replace"><string>Symbol</string></edit>
  </match>
</fontconfig>
CONF
  local status=0
  FONTCONFIG_FILE="$font_dir/fonts.conf" run_with_display \
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS" -L common_gis_tests || status=$?
  rm -rf "$font_dir"
  return $status
}

# Qt-free suites under ASan + UBSan.
pass_sanitizers() {
  local dir="${SAN_BUILD_DIR:-$ROOT/build-asan}"
  configure_and_build "$dir" -DCMAKE_BUILD_TYPE=Debug -DKESTOVAR_SANITIZE=ON \
    -DKESTOVAR_BUILD_APP=OFF -DKESTOVAR_BUILD_BENCH=OFF
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$dir" --output-on-failure -j "$JOBS"
}

# The calculation thread under TSan.
pass_tsan() {
  local dir="${TSAN_BUILD_DIR:-$ROOT/build-tsan}"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTOVAR_TSAN=ON \
      -DKESTOVAR_BUILD_BENCH=OFF
  fi
  cmake --build "$dir" --parallel "$JOBS" --target app_worker_tests app_model_tests
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --test-dir "$dir" --output-on-failure -j "$JOBS" -L 'app_worker_tests|app_model_tests'
}

# The engine's sweeps on several threads under TSan.
pass_tsan_engine() {
  local dir="${TSAN_BUILD_DIR:-$ROOT/build-tsan}"
  cmake --build "$dir" --parallel "$JOBS" --target korvane_tests
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    "$dir/tests/korvane/korvane_tests" --gtest_filter='SweepThreads.*:SweepSchedule.*'
}

# Every reader's fuzz target for a few seconds (skipped where clang is missing).
pass_fuzz() {
  bash "$ROOT/scripts/fuzz.sh" "${FUZZ_SMOKE_SECONDS:-5}"
}

PASSES=(suite fonts sanitizers tsan tsan_engine fuzz)

failed=()
for pass in "${PASSES[@]}"; do
  echo "== Pass: $pass"
  set +e
  ( set -e; "pass_$pass" )
  status=$?
  set -e
  [ "$status" -eq 0 ] || failed+=("$pass")
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "== Failed passes: ${failed[*]}"
  exit 1
fi
echo "== All passes passed: ${PASSES[*]}"
