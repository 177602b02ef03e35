#!/usr/bin/env bash
# Sets up (packages, build) and starts Kestovar.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/setup.sh"

PROGRAM="$BUILD_DIR/app/shell/Kestovar"
if [ ! -x "$PROGRAM" ]; then
  echo "Everything that exists is built, but the program's main window is not built yet:"
  echo "so far Kestovar consists of its libraries (see README.md)."
  exit 0
fi
exec "$PROGRAM" "$@"
