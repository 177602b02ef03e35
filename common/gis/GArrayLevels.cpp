// The level table of a regular array and the settings that steer its drawing.
#include <algorithm>

#include "data/SLine.h"
#include "gis/ArrayNumeric.h"
#include "gis/GArray.h"

void TGArray::SyncLevelPointer()
{
  settings.levels = levels.empty() ? nullptr : levels.data();
  settings.levelCount = static_cast<std::int32_t>(levels.size());
}

void TGArray::SetFillType(int type)
{
  settings.fillType = type;
  switch (type) {
  case FillTransparencyRamp:
    ApplyAlpha(0, 0x10000);
    break;
  case FillOneTransparency:
    ApplyAlpha(settings.transparency1, settings.transparency1);
    break;
  case FillTwoTransparencies:
    ApplyAlpha(settings.transparency1, settings.transparency2);
    break;
  default:
    break;
  }
}

void TGArray::SetContourColors(COLORREF first, COLORREF second)
{
  settings.contourColor1 = first;
  settings.contourColor2 = second;
  SpreadLineColors(levels.data(), GetLevelCount(), first, second, settings.contourMix);
}

void TGArray::SetFillColors(COLORREF first, COLORREF second)
{
  settings.fillColor1 = first;
  settings.fillColor2 = second;
  SpreadFillColors(levels.data(), GetLevelCount(), first, second, settings.fillMix);
}

void TGArray::SetAlpha(int first, int second)
{
  settings.transparency1 = first;
  settings.transparency2 = second;
  ApplyAlpha(first, second);
}

void TGArray::ApplyAlpha(int first, int second)
{
  rampAlpha = {first, second};
  SpreadTransparencies(levels.data(), GetLevelCount(), first, second);
}

// The entries hold the ramp's values a little inside its ends; taken as the
// new ends they would pull the ramp together at every rebuild. While the end
// entries are still those of the last ramp, that ramp's own ends are kept.
bool TGArray::EndsFollowRamp() const
{
  if (!rampAlpha || levels.size() < 2)
    return false;
  std::vector<TContourLevel> ramp(levels);
  SpreadTransparencies(ramp.data(), static_cast<int>(ramp.size()), rampAlpha->first, rampAlpha->second);
  return ramp.front().transparency == levels.front().transparency &&
         ramp.back().transparency == levels.back().transparency;
}

void TGArray::SetMixModes(int fillMix, int contourMix)
{
  settings.fillMix = fillMix;
  settings.contourMix = contourMix;
}

void TGArray::SetLabels(bool onThin, bool onBold, int spacing, int firstOffset, double factor, double subtrahend)
{
  settings.labelThin = onThin ? 1 : 0;
  settings.labelBold = onBold ? 1 : 0;
  settings.labelSpacing = spacing;
  settings.labelStart = firstOffset;
  settings.labelFactor = factor;
  settings.labelSubtrahend = subtrahend;
}

void TGArray::SetGrid(bool on, COLORREF color)
{
  settings.gridOn = on ? 1 : 0;
  settings.gridColor = color;
}

void TGArray::SetRange(double minimum, double maximum)
{
  settings.rangeMin = minimum;
  settings.rangeMax = maximum;
}

void TGArray::SetLevel(int index, const TContourLevel& level)
{
  if (index >= 0 && index < GetLevelCount())
    levels[static_cast<size_t>(index)] = level;
}

void TGArray::SetLevelScheme(int kind, int count, double boldStep, double thinStep, int decimalBoldCount,
                             int decimalThinCount, int logPower, int logThinCount)
{
  scheme.kind = kind;
  scheme.requestedCount = count;
  scheme.boldStep = boldStep;
  scheme.thinStep = thinStep;
  scheme.decimalBoldCount = decimalBoldCount;
  scheme.decimalThinCount = decimalThinCount;
  scheme.logPower = logPower;
  scheme.logThinCount = logThinCount;
  BuildLevels();
}

void TGArray::AutoScaleRange()
{
  if (!scheme.automaticRange)
    return;
  settings.rangeMin = dataMin;
  settings.rangeMax = dataMax;
  BuildLevels();
}

void TGArray::FreeLevels()
{
  levels.clear();
  levels.shrink_to_fit();
  SyncLevelPointer();
}

// A new table keeps only the colours and transparencies at its two ends.
void TGArray::SetLevelCount(int count)
{
  if (count < 1)
    return;
  const int old = GetLevelCount();
  COLORREF fill1 = settings.fillColor1, fill2 = settings.fillColor2;
  int alpha1 = settings.transparency1, alpha2 = settings.transparency2;
  if (old >= 2) {
    fill1 = levels.front().fillColor;
    fill2 = levels.back().fillColor;
    alpha1 = levels.front().transparency;
    alpha2 = levels.back().transparency;
    if (EndsFollowRamp()) {
      alpha1 = rampAlpha->first;
      alpha2 = rampAlpha->second;
    }
  }
  COLORREF line1 = settings.contourColor1, line2 = settings.contourColor2;
  if (old >= 3) {
    line1 = levels[0].lineColor;
    line2 = levels[static_cast<size_t>(old - 2)].lineColor;
  }
  levels.assign(static_cast<size_t>(count), TContourLevel{});
  SyncLevelPointer();
  SetContourColors(line1, line2);
  SetFillColors(fill1, fill2);
  ApplyAlpha(alpha1, alpha2);
}

void TGArray::BuildLevels()
{
  const std::vector<TLevelValue> found = ComputeContourValues(scheme, settings.rangeMin, settings.rangeMax);
  SetLevelCount(static_cast<int>(found.size()) + 1);
  for (size_t k = 0; k < found.size(); ++k) {
    levels[k].value = found[k].value;
    levels[k].lineKind = found[k].lineKind;
  }
  // The last entry paints what lies above the highest level; its own value and
  // line are never drawn.
  levels.back().value = settings.rangeMax;
  levels.back().lineKind = ContourLineThin;
}

void TGArray::SetClipOutline(std::unique_ptr<TSLine> outline)
{
  clipOutline = std::move(outline);
}
