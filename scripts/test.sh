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

echo "== Drawing tests with a \"Symbol\" family that lacks the mapped glyphs"
# As on machines with the URW fonts, whose "Standard Symbols PS" has no U+2666:
# here an icon font of Qt's own takes the name. Written afresh each run.
FONT_DIR="$(mktemp -d)"
cat >"$FONT_DIR/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/share/qt6/doc/global/template/style</dir>
  <cachedir>$FONT_DIR/cache</cachedir>
  <match target="scan">
    <test name="file"><string>/usr/share/qt6/doc/global/template/style/icomoon.ttf</string></test>
    <edit name="family" mode="assign_replace"><string>Symbol</string></edit>
  </match>
</fontconfig>
CONF
FONTCONFIG_FILE="$FONT_DIR/fonts.conf" run_with_display \
  ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS" -L common_gis_tests
rm -rf "$FONT_DIR"

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
