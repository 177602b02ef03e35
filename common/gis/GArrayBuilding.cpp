// The building operations of the regular array; the work is done by the
// array builder.
#include <utility>

#include "data/ArrayBuildProgress.h"
#include "gis/ArrayBuilder.h"
#include "gis/GArray.h"

namespace {

// A border of cells without values is known but gives no range: like an
// array without values, the range is then 0..0.
void KnownRange(const TKnownCells& known, double& minimum, double& maximum)
{
  const bool any = known.minimum <= known.maximum;
  minimum = any ? known.minimum : 0.0;
  maximum = any ? known.maximum : 0.0;
}

} // namespace

bool TGArray::Build(TArrayBuildProgress& progress)
{
  // A cancelled build has changed cells too: its range follows them.
  if (!BuildRange(-1e300, 1e300, progress))
    return false;
  UpdateMinMax();
  AutoScaleRange();
  return true;
}

bool TGArray::BuildRange(double lo, double hi, TArrayBuildProgress& progress)
{
  TKnownCells known;
  const TRangeBuild outcome = BuildArrayRange(*this, lo, hi, progress, known);
  if (outcome != TRangeBuild::NothingKnown) {
    double minimum = 0, maximum = 0;
    KnownRange(known, minimum, maximum);
    SetRecordedMinMax(minimum, maximum);
  }
  return outcome != TRangeBuild::NothingKnown;
}

bool TGArray::CollectKnownCells(double lo, double hi, TKnownMask& known)
{
  TKnownCells cells;
  if (!::CollectKnownCells(*this, lo, hi, cells))
    return false;
  double minimum = 0, maximum = 0;
  KnownRange(cells, minimum, maximum);
  SetRecordedMinMax(minimum, maximum);
  known = std::move(cells.mask);
  return true;
}
