#!/usr/bin/env bash
# Builds the libFuzzer targets of every reader with clang (ASan + UBSan) and runs
# each for the given number of seconds (default 60), starting from seed files
# the program's writers make. The corpus grows in build-fuzz/corpus and is kept
# between runs; a crash leaves its input in build-fuzz/findings.
#   scripts/fuzz.sh [seconds] [target ...]     e.g. scripts/fuzz.sh 600 project gis
# Without clang it says so and does nothing.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SECONDS_PER_TARGET="${1:-60}"
shift || true
FUZZ_DIR="${FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"

if ! command -v clang++ >/dev/null 2>&1 || ! command -v clang >/dev/null 2>&1; then
  echo "fuzz: clang is not installed; skipping the fuzz targets (apt-get install clang libclang-rt-14-dev)"
  exit 0
fi

if [ ! -f "$FUZZ_DIR/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$FUZZ_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTOVAR_FUZZ=ON -DKESTOVAR_BUILD_TESTS=OFF -DKESTOVAR_BUILD_BENCH=OFF
fi
cmake --build "$FUZZ_DIR" --parallel "${JOBS:-$(nproc)}" --target fuzz_all

TARGETS=("$@")
[ "${#TARGETS[@]}" -gt 0 ] || TARGETS=(persistence gis time_series formula grid_text side_file project)

SEEDS="$FUZZ_DIR/seeds"
rm -rf "$SEEDS"
"$FUZZ_DIR/tests/fuzz/fuzz_seeds" "$SEEDS"
mkdir -p "$FUZZ_DIR/findings"

# A hostile file may cost at most what the program allows a real one.
failed=()
for target in "${TARGETS[@]}"; do
  corpus="$FUZZ_DIR/corpus/$target"
  mkdir -p "$corpus"
  echo "== fuzz $target (${SECONDS_PER_TARGET}s)"
  if ! "$FUZZ_DIR/tests/fuzz/fuzz_$target" -max_total_time="$SECONDS_PER_TARGET" -rss_limit_mb=2048 \
      -malloc_limit_mb=1024 -timeout=20 -print_final_stats=1 \
      -artifact_prefix="$FUZZ_DIR/findings/$target-" "$corpus" "$SEEDS/$target" 2>"$FUZZ_DIR/$target.log"; then
    tail -n 60 "$FUZZ_DIR/$target.log"
    failed+=("$target")
  else
    grep -E '^stat::number_of_executed_units' "$FUZZ_DIR/$target.log" || true
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]} (inputs in $FUZZ_DIR/findings)"
  exit 1
fi
