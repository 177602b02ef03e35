#!/bin/sh
# Checks that the engine library exports every name the program binds, the
# compatibility names and data block, and the seed pin of the tests.
set -u
lib="$1"
defined="$(nm -D --defined-only "$lib" | awk '{print $NF}')" || exit 1
missing=0
for name in \
  THeapNew THeapDelete THeapSetLatticeSize THeapSetDefaults THeapSetElectrodesPot THeapGetElectrodesPot \
  THeapSetLimbDimMin THeapReset THeapResetEx THeapInitCalc THeapGoTimeStep THeapEcDecay THeapIsBreakdownIn \
  THeapLoadPrepaire THeapGetUmax THeapGetU0max THeapSetas THeapSetThermal THeapSetFaseTranzTemperature \
  TTreeNew TTreeDelete TTreeSetSize TTreeCopy TTreeGetLimbInfo TTreeGetLimbsLength TTreeLength TTreeRadius \
  TTreeDimension TTreeLimbs TTreeSegments TTreeOmPower TTreeOmEnergy \
  TMaterialNew DoubleNew TMaterialDelete DoubleDelete \
  neighbors3d KorvaneSetRandomSeed; do
  if ! printf '%s\n' "$defined" | grep -qx "$name"; then
    echo "missing export: $name"
    missing=$((missing + 1))
  fi
done
# The two delete names share one body.
tm="$(nm -D --defined-only "$lib" | awk '$NF == "TMaterialDelete" {print $1}')"
dd="$(nm -D --defined-only "$lib" | awk '$NF == "DoubleDelete" {print $1}')"
if [ -z "$tm" ] || [ "$tm" != "$dd" ]; then
  echo "TMaterialDelete and DoubleDelete are not one function"
  missing=$((missing + 1))
fi
[ "$missing" -eq 0 ] && echo "all exports present"
exit "$missing"
