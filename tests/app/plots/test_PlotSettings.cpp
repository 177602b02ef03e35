#include "plots/PlotSettings.h"

#include "data/Stream.h"

#include <gtest/gtest.h>

namespace {

TPlotSettings Changed()
{
  TPlotSettings s;
  s.AxisQuantity = {7, 9};
  s.LegendAlignment = laRight;
  s.ShowTitle = false;
  s.ShowLegend = false;
  s.Monochrome = true;
  s.YGrid = {false, true};
  s.XGrid = false;
  s.XUnit = 210;
  s.XDates = true;
  s.AutoXMin = false;
  s.AutoXMax = true;
  s.AutoY = {false, true};
  s.XMin = -2.5;
  s.XMax = 12.25;
  s.YMin = {-1, 3};
  s.YMax = {100, 4};
  s.ChartTitle = "Заголовок";
  s.XTitle = "время, с";
  s.YTitle = {"левая", "правая"};
  s.TitlePosition = 1;
  s.TitleAlignment = taRightJustify;
  s.Gradient = false;
  s.LogY = {true, false};
  s.GradientDirection = gdFromCenter;
  s.XTickDigits = 6;
  s.YTickDigits = {3, 5};
  s.GradientStart = 0x123456;
  s.GradientEnd = 0xA0F0C8;
  s.XShift = 1.5;
  s.XShiftMode = 2;
  s.YLabelsSize = {30, 40};
  s.MultiBar = 0;
  s.TitleFont.size = 14;
  s.TitleFont.style = TFontRecord::Bold;
  s.LegendFont.name = "Courier New";
  s.AxisTitleFont.color = 0x0000FF;
  s.AxisLabelFont.style = TFontRecord::Italic;
  return s;
}

std::vector<uint8_t> Image(const TPlotSettings& s, const QString& caption)
{
  TMemoryStream memory;
  {
    TTagStream stream(&memory, TagStreamWrite);
    SavePlotSettings(stream, s, caption);
    stream.Commit();
  }
  return memory.Bytes();
}

bool SameSettings(const TPlotSettings& a, const TPlotSettings& b)
{
  return a.AxisQuantity == b.AxisQuantity && a.LegendAlignment == b.LegendAlignment && a.ShowTitle == b.ShowTitle &&
         a.ShowLegend == b.ShowLegend && a.Monochrome == b.Monochrome && a.YGrid == b.YGrid && a.XGrid == b.XGrid &&
         a.XUnit == b.XUnit && a.XDates == b.XDates && a.AutoXMin == b.AutoXMin && a.AutoXMax == b.AutoXMax &&
         a.AutoY == b.AutoY && a.XMin == b.XMin && a.XMax == b.XMax && a.YMin == b.YMin && a.YMax == b.YMax &&
         a.ChartTitle == b.ChartTitle && a.XTitle == b.XTitle && a.YTitle == b.YTitle &&
         a.TitlePosition == b.TitlePosition && a.TitleAlignment == b.TitleAlignment && a.Gradient == b.Gradient &&
         a.LogY == b.LogY && a.GradientDirection == b.GradientDirection && a.XTickDigits == b.XTickDigits &&
         a.YTickDigits == b.YTickDigits && a.GradientStart == b.GradientStart && a.GradientEnd == b.GradientEnd &&
         a.XShift == b.XShift && a.XShiftMode == b.XShiftMode && a.YLabelsSize == b.YLabelsSize &&
         a.MultiBar == b.MultiBar && a.TitleFont == b.TitleFont && a.LegendFont == b.LegendFont &&
         a.AxisTitleFont == b.AxisTitleFont && a.AxisLabelFont == b.AxisLabelFont;
}

TEST(PlotSettingsRecord, EverySettingComesBack)
{
  const TPlotSettings written = Changed();
  TMemoryStream memory(Image(written, "мой график"));
  TTagStream stream(&memory, TagStreamRead);
  TPlotSettings read;
  QString caption;
  LoadPlotSettings(stream, read, caption);
  EXPECT_TRUE(SameSettings(read, written));
  EXPECT_EQ(caption, "мой график");
}

TEST(PlotSettingsRecord, RecordsSitAtTheirIdsWithAutoXMaxBeforeAutoXMin)
{
  TPlotSettings s;
  s.AutoXMax = false; // id 5 of the X block
  s.AutoXMin = true;  // id 10
  s.LegendAlignment = laTop;
  s.TitleAlignment = taLeftJustify;
  s.YLabelsSize[1] = 33;
  TMemoryStream memory(Image(s, "c"));
  TTagStream stream(&memory, TagStreamRead);
  stream.SetGroup(TagGroup::ChartWindow);
  EXPECT_EQ(stream.ReadInt(-1, 4), laTop);
  EXPECT_EQ(stream.ReadInt(-1, 14), taLeftJustify);
  TTagStream* x = stream.OpenChild(10);
  x->SetGroup(0);
  EXPECT_FALSE(x->ReadBool(true, 5));
  EXPECT_TRUE(x->ReadBool(false, 10));
  stream.CloseChild();
  TTagStream* right = stream.OpenChild(12);
  right->SetGroup(0);
  EXPECT_EQ(right->ReadInt(-1, 8), 33);
  stream.CloseChild();
}

TEST(PlotSettingsRecord, MissingRecordsKeepTheDefaults)
{
  TMemoryStream empty;
  TTagStream stream(&empty, TagStreamRead);
  TPlotSettings read = Changed();
  QString caption = "kept";
  LoadPlotSettings(stream, read, caption);
  EXPECT_TRUE(SameSettings(read, Changed()));
  EXPECT_EQ(caption, "kept");
}

} // namespace
