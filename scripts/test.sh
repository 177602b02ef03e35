#!/usr/bin/env bash
# Sets up (packages, build) and runs every test: the whole suite, then the Qt-free
# suites and the window suites again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the calculation thread's suites under
# ThreadSanitizer, and a short run of every fuzz target. Every pass runs even
# when an earlier one fails; the script fails at the end and names the passes
# that failed.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/setup.sh"

JOBS="$(nproc)"
# Window and OpenGL tests need a display: give them a virtual one. An X server
# resets whenever its last client leaves, and a test that connects during the
# reset is refused ("could not connect to display"); on a busy machine that
# happens between two tests, so this one never resets.
run_with_display() {
  if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"; fi
}

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export XDG_CONFIG_HOME="$(mktemp -d)"

# Each pass is a function named pass_<name>; list it in PASSES to run it.

# The failed cases of every pass, with the end of their output, are printed
# again after the last pass: a CI log that keeps only its tail still says what
# failed and why.
FAILURES="$(mktemp)"
trap 'rm -rf "$XDG_CONFIG_HOME" "$FAILURES"' EXIT

# ctest's options for every pass.
CTEST_OPTIONS=(--output-on-failure -j "$JOBS")

# ctest_kept <build dir> <command...>: runs the command (ctest on that build
# folder, maybe behind a runner) and, when it fails, keeps the names and the
# last lines of output of the cases that failed.
ctest_kept() {
  local dir="$1" status=0
  shift
  "$@" || status=$?
  local log="$dir/Testing/Temporary/LastTest.log"
  if [ "$status" -ne 0 ] && [ -f "$log" ]; then
    awk '/^[0-9]+\/[0-9]+ Testing: / { n = 0; name = $0 }
         { lines[n++] = $0 }
         /^Test Failed\./ {
           print "-- " name
           for (i = (n > 60 ? n - 60 : 0); i < n; i++) print lines[i]
         }' "$log" >>"$FAILURES"
  fi
  return $status
}

# logged <name> <command...>: runs a test program, and when it fails keeps the
# last lines of its output under the name.
logged() {
  local name="$1" log status=0
  shift
  log="$(mktemp)"
  "$@" 2>&1 | tee "$log" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "-- $name" >>"$FAILURES"
    tail -n 60 "$log" >>"$FAILURES"
  fi
  rm -f "$log"
  return $status
}

pass_suite() {
  ctest_kept "$BUILD_DIR" run_with_display ctest --test-dir "$BUILD_DIR" "${CTEST_OPTIONS[@]}"
}

# The drawing tests again with the URW fonts, common on desktops (ghostscript
# pulls them in): there "Symbol" resolves to "Standard Symbols PS", which has
# no U+2666. The package is only unpacked into a cache, never installed. With no
# package source at hand, an icon font of Qt's own takes the name instead.
URW_PACKAGE=fonts-urw-base35
URW_CACHE="${URW_CACHE:-$ROOT/.cache/urw}"

fetch_urw_fonts() {
  [ -d "$URW_CACHE/root/usr/share/fonts" ] && return 0
  local tmp
  tmp="$(mktemp -d)"
  if (cd "$tmp" && apt-get download -qq "$URW_PACKAGE" >/dev/null 2>&1); then
    mkdir -p "$URW_CACHE"
    dpkg-deb -x "$tmp"/"$URW_PACKAGE"_*.deb "$URW_CACHE/root"
  fi
  rm -rf "$tmp"
  [ -d "$URW_CACHE/root/usr/share/fonts" ]
}

symbol_font_config() {
  local font_dir="$1"
  if fetch_urw_fonts; then
    echo "fonts pass: the URW fonts from $URW_PACKAGE" >&2
    cat <<CONF
  <dir>$URW_CACHE/root/usr/share/fonts/opentype/urw-base35</dir>
  <include ignore_missing="no">$URW_CACHE/root/usr/share/fontconfig/conf.avail/urw-standard-symbols-ps.conf</include>
CONF
  else
    echo "fonts pass: $URW_PACKAGE not at hand, a stand-in named Symbol" >&2
    cat <<CONF
  <dir>/usr/share/qt6/doc/global/template/style</dir>
  <match target="scan">
    <test name="file"><string>/usr/share/qt6/doc/global/template/style/icomoon.ttf</string></test>
    <edit name="family" mode="assign_replace"><string>Symbol</string></edit>
  </match>
CONF
  fi
}

pass_fonts() {
  local font_dir
  font_dir="$(mktemp -d)"
  {
    cat <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <cachedir>$font_dir/cache</cachedir>
CONF
    symbol_font_config "$font_dir"
    echo "</fontconfig>"
  } >"$font_dir/fonts.conf"
  local status=0
  FONTCONFIG_FILE="$font_dir/fonts.conf" ctest_kept "$BUILD_DIR" run_with_display \
    ctest --test-dir "$BUILD_DIR" "${CTEST_OPTIONS[@]}" -L common_gis_tests || status=$?
  rm -rf "$font_dir"
  return $status
}

# One ASan + UBSan build serves both sanitizer passes: the Qt-free suites and
# the suites of the program's windows (labels app_*).
SAN_BUILD_DIR="${SAN_BUILD_DIR:-$ROOT/build-asan}"
# Both passes build it; the second finds nothing to do.
build_sanitizers() {
  # A folder configured before the windows joined is configured again.
  if grep -q '^KESTOVAR_BUILD_APP:BOOL=OFF' "$SAN_BUILD_DIR/CMakeCache.txt" 2>/dev/null; then
    cmake "$SAN_BUILD_DIR" -DKESTOVAR_BUILD_APP=ON >/dev/null
  fi
  # Listing the cases at build time runs each suite once: no leak report there.
  ASAN_OPTIONS=detect_leaks=0 configure_and_build "$SAN_BUILD_DIR" -DCMAKE_BUILD_TYPE=Debug \
    -DKESTOVAR_SANITIZE=ON -DKESTOVAR_BUILD_APP=ON -DKESTOVAR_BUILD_BENCH=OFF
}

# Qt-free suites under ASan + UBSan.
pass_sanitizers() {
  build_sanitizers
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest_kept "$SAN_BUILD_DIR" ctest --test-dir "$SAN_BUILD_DIR" "${CTEST_OPTIONS[@]}" -LE '^app_'
}

# The window suites (main window, model, dialogs, maps, plots, 3D views) under
# ASan + UBSan, on the virtual display like the whole suite. Leaks of Qt,
# fontconfig and Mesa themselves are suppressed (scripts/lsan-qt.supp says
# which and why); any other leak or error fails the pass.
pass_sanitizers_qt() {
  build_sanitizers
  # Mesa's driver is unloaded when a display connection closes; what its
  # globals still held would then look leaked. Loaded from the start, it stays.
  local mesa
  mesa="/usr/lib/$(gcc -print-multiarch)/dri/swrast_dri.so"
  [ -f "$mesa" ] || mesa=""
  ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan-qt.supp:print_suppressions=0" \
    ctest_kept "$SAN_BUILD_DIR" run_with_display env LD_PRELOAD="$mesa" \
    ctest --test-dir "$SAN_BUILD_DIR" "${CTEST_OPTIONS[@]}" -L '^app_'
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
    ctest_kept "$dir" ctest --test-dir "$dir" "${CTEST_OPTIONS[@]}" -L 'app_worker_tests|app_model_tests'
}

# The engine's sweeps and its worker pool on several threads under TSan.
pass_tsan_engine() {
  local dir="${TSAN_BUILD_DIR:-$ROOT/build-tsan}"
  cmake --build "$dir" --parallel "$JOBS" --target korvane_tests
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    logged tsan_engine "$dir/tests/korvane/korvane_tests" --gtest_filter='SweepThreads.*:SweepSchedule.*:WorkerPool.*'
}

# The report as a real word processor reads it: LibreOffice Writer and the
# PDF tools are installed when missing, then the report of a project with a 3D
# view and three charts, written through the menu, is converted to PDF and its
# pages, pictures and texts are checked (the case fails here where it would skip).
pass_report() {
  local PACKAGES=(libreoffice-writer-nogui poppler-utils)
  install_missing
  KESTOVAR_REQUIRE_OFFICE=1 QT_QPA_PLATFORM=xcb logged report run_with_display \
    "$BUILD_DIR/tests/app/shell/app_shell_report_window_tests" --gtest_filter='ReportOfViewWindowsTest.*'
}

# Every reader's fuzz target for a few seconds (skipped where clang is missing).
pass_fuzz() {
  bash "$ROOT/scripts/fuzz.sh" "${FUZZ_SMOKE_SECONDS:-5}"
}

PASSES=(suite report fonts sanitizers sanitizers_qt tsan tsan_engine fuzz)
# KESTOVAR_PASSES="fonts tsan" runs only those passes (while working on one).
if [ -n "${KESTOVAR_PASSES:-}" ]; then read -r -a PASSES <<<"$KESTOVAR_PASSES"; fi

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
  if [ -s "$FAILURES" ]; then
    echo "== Failed cases"
    cat "$FAILURES"
  fi
  echo "== Failed passes: ${failed[*]}"
  exit 1
fi
echo "== All passes passed: ${PASSES[*]}"
