#include "maps/FrameMark.h"

#include "gis/GMark.h"

namespace {
constexpr std::int32_t kInitialKeptColor = 0x0000FF;
const TFmSignPoint::TDesign kDesign{"Название:", "Показывать", true};
} // namespace

TKeptSignValues& TFmMark::Kept()
{
  static TKeptSignValues kept{{}, false, {}, InitialKeptFont(kInitialKeptColor)};
  return kept;
}

TFmMark::TFmMark(TGMark* mark, bool fromKeptValues, bool multiple, QWidget* owner)
    : TFmSignPoint(kDesign, Kept(), owner)
{
  setObjectName("FmMark");
  if (mark)
    FillFrom(*mark, fromKeptValues, multiple);
}

void TFmMark::FillFrom(TGMark& mark, bool fromKeptValues, bool multiple)
{
  FillPoint(mark, fromKeptValues, multiple);
}

void TFmMark::ApplyTo(TGMark& mark)
{
  ApplyToPoint(mark);
}
