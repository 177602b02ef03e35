#include "maps/FrameReper.h"

#include "gis/GReper.h"

namespace {
constexpr std::int32_t kInitialKeptColor = 0xFF0000;
const TFmSignPoint::TDesign kDesign{"Обозначение", "показывать", false};
} // namespace

TKeptSignValues& TFmReper::Kept()
{
  static TKeptSignValues kept{{}, false, {}, InitialKeptFont(kInitialKeptColor)};
  return kept;
}

TFmReper::TFmReper(TGReper* reper, bool fromKeptValues, bool multiple, QWidget* owner)
    : TFmSignPoint(kDesign, Kept(), owner)
{
  setObjectName("FmReper");
  if (reper)
    FillFrom(*reper, fromKeptValues, multiple);
}

void TFmReper::FillFrom(TGReper& reper, bool fromKeptValues, bool multiple)
{
  FillPoint(reper, fromKeptValues, multiple);
}

void TFmReper::ApplyTo(TGReper& reper)
{
  ApplyToPoint(reper);
}
