#pragma once
// TFTimePlot: the model's output quantities against model time. The user picks
// series from a menu tree in the popup or from the check list of "Данные ...";
// the chosen series are spread over two Y axes by unit code (AxisAssignment.h).
// Choices whose series the model no longer has, or whose unit changed, are
// dropped at the next validation.

#include "base/ModelView.h"
#include "plots/FormSelectTimeSeries.h"
#include "plots/FormSimplePlot.h"

#include <QString>

class QComboBox;
class TFModel;
class TGIS;
class TTimeSerie;

class TFTimePlot : public TFSimplePlot, public TModelView {
  Q_OBJECT

public:
  // The magnitude beyond which a value counts as missing, and the marker of a
  // missing value for the chart builder.
  static constexpr double MissingValue = 1e300;
  static constexpr double TinyValue = 1e-300;
  static constexpr int MaxMenuSeries = 1000;

  TFTimePlot(TFMain* mainWindow, QWidget* owner, TGIS* gis, TFModel* model);
  ~TFTimePlot() override;

  QAction* PMIdataselect = nullptr; // "Данные ..."
  TAxisLists<TSeriesKey> SelectedSeries;
  TFModel* Model = nullptr;
  int FixedItemCount = 10000;

  void SetModel(TFModel* model) override { Model = model; }

  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;
  void ObjectDeleted(void* sender, int32_t objectId) override;

  TPlotXAxis GetXAxis() override;
  bool HasData() override;
  void GetDefaultTitles(QString& title, QString& caption) override;
  TPlotAxisTitles GetAxisTitles() override;
  TPlotSeriesData GetSeriesData() override;
  void BuildDataMenu(QMenu* menu) override;
  void ClearDataMenu(QMenu* menu) override;
  void SettingsToDialog() override;
  void DialogToSettings() override;

  void ClearAxis(int axis);
  bool IsSelected(const TSeriesKey& key) const;
  void SelectSeries(const TSeriesKey& key);
  void DeselectSeries(const TSeriesKey& key);
  void ValidateSelection();
  void SeriesItemClick(const TSeriesKey& key);
  void PMIdataselectClick();

  // The index of the last item of the box that carries the code; -1 when none does.
  static int FindTimeUnitItem(const QComboBox* box, int code);
  // A value as the chart builder takes it: NaN and magnitudes of 1e300 and more
  // are missing, magnitudes below 1e-300 are zero.
  static double PlotValue(double value);

private:
  void NormaliseXUnit();
};

// The titles of two axes by unit code, the caption listing the axis names after
// the prefix; shared by the plots whose axes hold quantities of one unit each.
TPlotAxisTitles AxisTitlesByUnit(const TFModel* model, const TPlotSettings& settings, const QString& prefix);
// A quantity's name with its unit in brackets, when it has one.
QString QuantityTitle(const TFModel& model, int quantityId);
