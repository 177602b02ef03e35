#include "plots/PlotSettings.h"

namespace {

constexpr uint32_t Navy = 0x800000;

std::string Utf8(const QString& text)
{
  return text.toStdString();
}

void ReadText(TTagStream& stream, QString& text)
{
  std::string value = Utf8(text);
  if (stream.Read(value))
    text = QString::fromStdString(value);
}

void ReadInt(TTagStream& stream, int32_t& value)
{
  stream.Read(value);
}

void ReadColour(TTagStream& stream, uint32_t& colour)
{
  int32_t value = static_cast<int32_t>(colour);
  if (stream.Read(value))
    colour = static_cast<uint32_t>(value);
}

void SaveXAxis(TTagStream& axis, const TPlotSettings& s)
{
  axis.SetGroup(0);
  axis.WriteString(Utf8(s.XTitle));
  axis.WriteInt(s.XTickDigits);
  axis.WriteBool(s.XGrid);
  axis.WriteInt(s.XUnit);
  axis.WriteBool(s.XDates);
  axis.WriteBool(s.AutoXMax);
  axis.WriteDouble(s.XMin);
  axis.WriteDouble(s.XMax);
  axis.WriteInt(s.XShiftMode);
  axis.WriteDouble(s.XShift);
  axis.WriteBool(s.AutoXMin);
  axis.WriteInt(s.MultiBar);
}

void LoadXAxis(TTagStream& axis, TPlotSettings& s)
{
  axis.SetGroup(0);
  ReadText(axis, s.XTitle);
  ReadInt(axis, s.XTickDigits);
  axis.Read(s.XGrid);
  ReadInt(axis, s.XUnit);
  axis.Read(s.XDates);
  axis.Read(s.AutoXMax);
  axis.Read(s.XMin);
  axis.Read(s.XMax);
  ReadInt(axis, s.XShiftMode);
  axis.Read(s.XShift);
  axis.Read(s.AutoXMin);
  ReadInt(axis, s.MultiBar);
}

void SaveYAxis(TTagStream& axis, const TPlotSettings& s, int k)
{
  axis.SetGroup(0);
  axis.WriteInt(s.AxisQuantity[k]);
  axis.WriteString(Utf8(s.YTitle[k]));
  axis.WriteInt(s.YTickDigits[k]);
  axis.WriteBool(s.YGrid[k]);
  axis.WriteBool(s.AutoY[k]);
  axis.WriteDouble(s.YMin[k]);
  axis.WriteDouble(s.YMax[k]);
  axis.WriteBool(s.LogY[k]);
  axis.WriteInt(s.YLabelsSize[k]);
}

void LoadYAxis(TTagStream& axis, TPlotSettings& s, int k)
{
  axis.SetGroup(0);
  ReadInt(axis, s.AxisQuantity[k]);
  ReadText(axis, s.YTitle[k]);
  ReadInt(axis, s.YTickDigits[k]);
  bool grid = s.YGrid[k];
  axis.Read(grid);
  s.YGrid[k] = grid;
  bool autoY = s.AutoY[k];
  axis.Read(autoY);
  s.AutoY[k] = autoY;
  axis.Read(s.YMin[k]);
  axis.Read(s.YMax[k]);
  bool logY = s.LogY[k];
  axis.Read(logY);
  s.LogY[k] = logY;
  ReadInt(axis, s.YLabelsSize[k]);
}

} // namespace

TFontRecord TPlotSettings::DefaultTitleFont()
{
  TFontRecord font = DefaultChartFont();
  font.color = static_cast<int32_t>(Navy);
  return font;
}

TFontRecord TPlotSettings::DefaultChartFont()
{
  TFontRecord font;
  font.color = 0;
  font.size = 8;
  font.name = "Arial";
  return font;
}

void SavePlotSettings(TTagStream& stream, const TPlotSettings& s, const QString& userCaption)
{
  stream.SetGroup(TagGroup::ChartWindow);
  stream.WriteString(Utf8(userCaption));
  stream.WriteString(Utf8(s.ChartTitle));
  stream.WriteBool(s.ShowTitle);
  stream.WriteBool(s.ShowLegend);
  stream.WriteInt(s.LegendAlignment);
  stream.WriteBool(s.Monochrome);
  stream.WriteInt(s.GradientDirection);
  stream.WriteBool(s.Gradient);
  stream.WriteInt(static_cast<int32_t>(s.GradientStart));
  stream.WriteInt(static_cast<int32_t>(s.GradientEnd));
  SaveXAxis(*stream.BeginChild(), s);
  stream.EndChild();
  for (int k = 0; k < 2; ++k) {
    SaveYAxis(*stream.BeginChild(), s, k);
    stream.EndChild();
  }
  stream.WriteInt(s.TitlePosition);
  stream.WriteInt(s.TitleAlignment);
  stream.WriteFont(s.TitleFont);
  stream.WriteFont(s.LegendFont);
  stream.WriteFont(s.AxisTitleFont);
  stream.WriteFont(s.AxisLabelFont);
}

void LoadPlotSettings(TTagStream& stream, TPlotSettings& s, QString& userCaption)
{
  stream.SetGroup(TagGroup::ChartWindow);
  ReadText(stream, userCaption);
  ReadText(stream, s.ChartTitle);
  stream.Read(s.ShowTitle);
  stream.Read(s.ShowLegend);
  ReadInt(stream, s.LegendAlignment);
  stream.Read(s.Monochrome);
  ReadInt(stream, s.GradientDirection);
  stream.Read(s.Gradient);
  ReadColour(stream, s.GradientStart);
  ReadColour(stream, s.GradientEnd);
  LoadXAxis(*stream.OpenChild(), s);
  stream.CloseChild();
  for (int k = 0; k < 2; ++k) {
    LoadYAxis(*stream.OpenChild(), s, k);
    stream.CloseChild();
  }
  ReadInt(stream, s.TitlePosition);
  ReadInt(stream, s.TitleAlignment);
  stream.ReadFont(s.TitleFont);
  stream.ReadFont(s.LegendFont);
  stream.ReadFont(s.AxisTitleFont);
  stream.ReadFont(s.AxisLabelFont);
}
