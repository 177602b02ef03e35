#include "plots/ChartAdapter.h"

#include "plots/ChartPanel.h"
#include "plots/PointerImage.h"

#include "gis/BitmapCanvas.h"

#include <QAreaSeries>
#include <QChart>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QPen>

#include <algorithm>
#include <utility>

namespace {

QColor Colour(uint32_t colorref)
{
  return TBitmapCanvas::ColorOf(static_cast<COLORREF>(colorref));
}

Qt::Alignment LegendAlignment(int32_t alignment)
{
  switch (alignment) {
  case laLeft: return Qt::AlignLeft;
  case laRight: return Qt::AlignRight;
  case laTop: return Qt::AlignTop;
  default: return Qt::AlignBottom;
  }
}

Qt::Alignment TitleAlignment(int32_t alignment)
{
  switch (alignment) {
  case taLeftJustify: return Qt::AlignLeft | Qt::AlignVCenter;
  case taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
  default: return Qt::AlignHCenter | Qt::AlignVCenter;
  }
}

// Nine pointer styles in turn, each a picture of its own.
void SetPointer(QScatterSeries* series, int32_t style, QColor fill, QColor border)
{
  series->setMarkerSize(PointerSize);
  series->setLightMarker(PointerImage(style, fill, border));
}

// A Y axis label that takes the axis' label width: Qt Charts sizes the label
// column to its widest label, so each label is a table of that width, aligned
// towards the axis line. A label wider than that keeps its own width.
QString SizedLabel(const QString& text, int32_t width, bool leftAxis)
{
  if (width <= 0)
    return text;
  return QString("<table cellspacing=\"0\" cellpadding=\"0\" width=\"%1\"><tr><td align=\"%2\">%3</td></tr></table>")
      .arg(width)
      .arg(leftAxis ? "right" : "left")
      .arg(text.toHtmlEscaped());
}

QList<QPointF> Points(const std::vector<QPointF>& points)
{
  return QList<QPointF>(points.begin(), points.end());
}

// Bars, each a filled column of width 0.8 of the closest spacing from its base
// to its top, side by side with the other bar series when they share the place
// that way. Every column is an area of its own: one outline through all of
// them would join a column to the next one on a stack with a slanting edge.
std::vector<QAreaSeries*> MakeBars(const TChartSeries& s, int order, int barSeriesCount)
{
  double spacing = 1;
  for (size_t j = 1; j < s.points.size(); ++j)
    if (double gap = std::abs(s.points[j].x() - s.points[j - 1].x()); gap > 0)
      spacing = std::min(spacing == 1 && j == 1 ? gap : spacing, gap);
  const bool side = s.multiBar == mbSide && barSeriesCount > 1;
  const double width = 0.8 * spacing / (side ? barSeriesCount : 1);
  const double shift = side ? (order - (barSeriesCount - 1) / 2.0) * width : 0;
  std::vector<QAreaSeries*> columns;
  for (size_t j = 0; j < s.points.size() || columns.empty(); ++j) {
    auto* upper = new QLineSeries;
    auto* lower = new QLineSeries;
    if (j < s.points.size()) {
      const double left = s.points[j].x() + shift - width / 2;
      const double right = left + width;
      upper->append({{left, s.barBase[j]}, {left, s.barTop[j]}, {right, s.barTop[j]}, {right, s.barBase[j]}});
      lower->append({{left, s.barBase[j]}, {right, s.barBase[j]}});
    }
    auto* area = new QAreaSeries(upper, lower);
    upper->setParent(area);
    lower->setParent(area);
    columns.push_back(area);
  }
  return columns;
}

} // namespace

TChartAdapter::TChartAdapter(TChartPanel* panel) : FPanel(panel)
{
  QChart* chart = panel->Chart();
  FBottom = new QCategoryAxis;
  FY = {new QCategoryAxis, new QCategoryAxis};
  chart->addAxis(FBottom, Qt::AlignBottom);
  chart->addAxis(FY[0], Qt::AlignLeft);
  chart->addAxis(FY[1], Qt::AlignRight);
  for (QCategoryAxis* axis : {FBottom, FY[0], FY[1]}) {
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setMinorTickCount(4);
    axis->setTruncateLabels(false);
    axis->setLinePenColor(Qt::black);
  }
  for (int k = 0; k < 2; ++k) {
    FProbe[k] = new QLineSeries;
    chart->addSeries(FProbe[k]);
    FProbe[k]->attachAxis(FBottom);
    FProbe[k]->attachAxis(FY[k]);
  }
  FVCursor = new QLineSeries;
  FHCursor = new QLineSeries;
  for (QLineSeries* cursor : {FVCursor, FHCursor}) {
    QPen pen(Qt::black);
    pen.setStyle(Qt::DotLine);
    cursor->setPen(pen);
    chart->addSeries(cursor);
    cursor->attachAxis(FBottom);
    cursor->attachAxis(FY[0]);
    cursor->setVisible(false);
  }
  for (QAbstractSeries* hidden : {static_cast<QAbstractSeries*>(FProbe[0]), static_cast<QAbstractSeries*>(FProbe[1]),
                                  static_cast<QAbstractSeries*>(FVCursor), static_cast<QAbstractSeries*>(FHCursor)})
    HideFromLegend(hidden);
}

void TChartAdapter::HideFromLegend(QAbstractSeries* series)
{
  // The legend shows a marker again whenever its series turns visible.
  for (QLegendMarker* marker : FPanel->Chart()->legend()->markers(series))
    marker->setVisible(false);
}

TChartAdapter::~TChartAdapter()
{
  // Series in the chart belong to it; the pooled ones out of it are ours.
  auto shown = [this](QAbstractSeries* series) {
    return std::find(FShown.begin(), FShown.end(), series) != FShown.end();
  };
  for (QLineSeries* line : FLines)
    if (!shown(line))
      delete line;
  for (QScatterSeries* scatter : FScatters)
    if (!shown(scatter))
      delete scatter;
}

void TChartAdapter::Attach(QAbstractSeries* series, int axis)
{
  QChart* chart = FPanel->Chart();
  chart->addSeries(series);
  series->attachAxis(FBottom);
  series->attachAxis(FY[axis == 1 ? 1 : 0]);
}

QAbstractSeries* TChartAdapter::MakeSeries(const TChartSeries& s, const TChartDescription& d)
{
  const QColor colour = Colour(s.colour);
  if (s.kind == TChartSeriesKind::Line) {
    if (FLinesUsed == FLines.size())
      FLines.push_back(new QLineSeries);
    QLineSeries* line = FLines[FLinesUsed++];
    line->setColor(colour);
    QPen pen(colour);
    pen.setWidth(1);
    line->setPen(pen);
    line->replace(Points(s.points));
    return line;
  }
  if (s.kind == TChartSeriesKind::Points) {
    if (FScattersUsed == FScatters.size())
      FScatters.push_back(new QScatterSeries);
    QScatterSeries* scatter = FScatters[FScattersUsed++];
    const QColor border = d.settings.Monochrome ? QColor(Qt::black) : colour.darker(150);
    scatter->setColor(colour);
    scatter->setBorderColor(border);
    SetPointer(scatter, s.pointerStyle, colour, border);
    scatter->replace(Points(s.points));
    return scatter;
  }
  int order = 0;
  int count = 0;
  for (const TChartSeries& other : d.series)
    if (other.kind == TChartSeriesKind::Bars) {
      if (&other == &s)
        order = count;
      ++count;
    }
  const std::vector<QAreaSeries*> columns = MakeBars(s, order, count);
  for (QAreaSeries* column : columns) {
    column->setColor(colour);
    column->setBorderColor(colour.darker(150));
    FBars.push_back(column);
  }
  FBarColumns.assign(columns.begin() + 1, columns.end());
  return columns.front();
}

void TChartAdapter::ApplyAxis(QCategoryAxis* axis, const TChartAxis& from, const TChartDescription& d)
{
  const TPlotSettings& s = d.settings;
  axis->setVisible(from.visible);
  axis->setTitleText(from.title);
  axis->setTitleFont(TBitmapCanvas::FontOf(s.AxisTitleFont));
  axis->setTitleBrush(TBitmapCanvas::ColorOf(s.AxisTitleFont));
  axis->setLabelsFont(TBitmapCanvas::FontOf(s.AxisLabelFont));
  axis->setLabelsColor(TBitmapCanvas::ColorOf(s.AxisLabelFont));
  axis->setGridLineVisible(from.grid);
  axis->setGridLineColor(Colour(d.gridColour));
  // An axis without a span keeps its previous limits and labels.
  if (!from.setLimits)
    return;
  for (const QString& label : axis->categoriesLabels())
    axis->remove(label);
  axis->setRange(from.min, from.max);
  axis->setStartValue(from.min);
  QStringList used;
  for (const TAxisTick& tick : from.ticks) {
    // Category labels must differ; a repeated text would replace its first place.
    if (used.contains(tick.text) || tick.value <= from.min - 1e-12 * std::abs(from.max - from.min))
      continue;
    used << tick.text;
    axis->append(axis == FBottom ? tick.text : SizedLabel(tick.text, from.labelsSize, axis == FY[0]), tick.value);
  }
}

void TChartAdapter::Apply(const TChartDescription& d)
{
  QChart* chart = FPanel->Chart();
  for (QAbstractSeries* series : FShown)
    chart->removeSeries(series);
  FShown.clear();
  for (QAbstractSeries* bars : FBars) {
    if (bars->chart())
      chart->removeSeries(bars);
    delete bars;
  }
  FBars.clear();
  FLinesUsed = 0;
  FScattersUsed = 0;
  FVCursor->setVisible(false);
  FHCursor->setVisible(false);

  const TPlotSettings& s = d.settings;
  // A chart without data still shows its window's background, so that a new
  // plot is seen as a chart waiting for its choice rather than a blank box.
  const bool gradient = d.built ? d.gradientVisible : s.Gradient && !s.Monochrome;
  FPanel->SetBackground(gradient, s.GradientDirection, Colour(s.GradientStart), Colour(s.GradientEnd));
  chart->setPlotAreaBackgroundVisible(true);
  chart->setPlotAreaBackgroundBrush(Colour(d.chartColour));

  QLabel* titles[] = {FPanel->TitleLabel(), FPanel->FootLabel()};
  for (QLabel* label : titles)
    label->setVisible(false);
  if (d.built && d.title.visible) {
    QLabel* label = titles[d.title.inFoot ? 1 : 0];
    label->setText(d.title.text);
    label->setAlignment(TitleAlignment(d.title.alignment));
    label->setFont(TBitmapCanvas::FontOf(s.TitleFont));
    // The foot keeps the text colour; the title takes its font's.
    QColor colour = d.title.inFoot ? Colour(d.title.colour) : TBitmapCanvas::ColorOf(s.TitleFont);
    label->setStyleSheet(QString("color: %1; background: transparent").arg(colour.name()));
    label->setVisible(true);
  }
  if (!d.built) {
    chart->legend()->setVisible(false);
    for (QCategoryAxis* axis : {FBottom, FY[0], FY[1]})
      axis->setTitleText(QString());
    return;
  }

  ApplyAxes(d);

  for (const TChartSeries& s : d.series) {
    QAbstractSeries* series = MakeSeries(s, d);
    series->setName(s.title);
    Attach(series, s.axis);
    if (!s.showInLegend)
      HideFromLegend(series);
    FShown.push_back(series);
    // The further columns of a bar series: drawn, never listed.
    for (QAreaSeries* column : std::exchange(FBarColumns, {})) {
      Attach(column, s.axis);
      for (QLegendMarker* marker : chart->legend()->markers(column))
        marker->setVisible(false);
    }
  }

  QLegend* legend = chart->legend();
  legend->setAlignment(LegendAlignment(d.legendAlignment));
  legend->setVisible(d.legendVisible);
  legend->setFont(TBitmapCanvas::FontOf(s.LegendFont));
  legend->setLabelColor(TBitmapCanvas::ColorOf(s.LegendFont));
  legend->setBackgroundVisible(d.legendFrameVisible);
  legend->setBrush(Qt::white);
  legend->setPen(QPen(Qt::black));
}

void TChartAdapter::ApplyAxes(const TChartDescription& d)
{
  ApplyAxis(FBottom, d.bottom, d);
  ApplyAxis(FY[0], d.y[0], d);
  ApplyAxis(FY[1], d.y[1], d);
}

void TChartAdapter::ReadAxisRanges(TChartDescription& d) const
{
  const std::pair<QCategoryAxis*, TChartAxis*> axes[] = {{FBottom, &d.bottom}, {FY[0], &d.y[0]}, {FY[1], &d.y[1]}};
  for (const auto& [axis, to] : axes) {
    to->min = axis->min();
    to->max = axis->max();
  }
}

void TChartAdapter::PlaceCursorLines(double x, double y)
{
  FVCursor->replace({{x, FY[0]->max()}, {x, FY[0]->min()}});
  FHCursor->replace({{FBottom->max(), y}, {FBottom->min(), y}});
  for (QLineSeries* cursor : {FVCursor, FHCursor}) {
    cursor->setVisible(true);
    HideFromLegend(cursor);
  }
}
