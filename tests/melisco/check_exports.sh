#!/bin/sh
# Checks that the drawing library exports the names the program and the GIS code
# bind, with plain C names, and nothing with a C++ (mangled) name.
set -u
lib="$1"
defined="$(nm -D --defined-only "$lib" | awk '{print $NF}')" || exit 1
missing=0
for name in \
  InitBitmap CheckBitmap CheckBitmapEx CreateBITMAPINFO DrawBitmap DeleteBitmap \
  XGetDIBBits XFreeDIBBits XGetDIBWidthShift EGAcols EGAcolsCount \
  RGB_HSV HSV_RGB MixColor MixColorRGB \
  putTranspBGR putTranspBGRx putTranspBGRA putTranspBGRAx \
  fillColorBGR fillColorBGRx fillColorBGRa fillColorBGRax fillColorBGRA fillColorBGRAa fillColorBGRAx \
  CreateLabelFont DeleteLabelFont \
  DrawContours DrawContourLabels FreeContoursData contourFilter findLine getContourLabels TrimExponentZeros \
  DrawFilling DrawTriFilling DrawSection DrawSection_IA PointInPrismLayer FillIntPairs BuildMeshCoefficients FreeMeshCoefficients \
  CubuiqeDrawSection CubuiqeDrawSectionX; do
  if ! printf '%s\n' "$defined" | grep -qx "$name"; then
    echo "missing export: $name"
    missing=$((missing + 1))
  fi
done
mangled="$(printf '%s\n' "$defined" | grep '^_Z' || true)"
if [ -n "$mangled" ]; then
  echo "exports with C++ names:"
  printf '%s\n' "$mangled"
  missing=$((missing + 1))
fi
[ "$missing" -eq 0 ] && echo "all exports present"
exit "$missing"
