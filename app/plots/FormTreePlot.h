#pragma once
// TFTreePlot: channel quantities of the discharge tree along one channel, from
// the root to a chosen end element, against the length along it. The channel
// is the most developed one, the one of the last grown element, a fixed element
// typed by the user, or the element picked in the 3D tree view. Quantities go
// to two Y axes by unit, like the time plot's series.

#include "base/ModelView.h"
#include "plots/FormSelectTimeSeries.h"
#include "plots/FormSimplePlot.h"

class TFBitModel;
class TGIS;

class TFTreePlot : public TFSimplePlot, public TModelView, public TTreePickView {
  Q_OBJECT

public:
  enum TChannelMode : int32_t { LastGrowth = 0, Fixed = 1, ByPointer = 2, Longest = 3 };
  // Symbolic end elements: the last grown one and the first of the greatest generation.
  static constexpr int32_t LastElement = -1;
  static constexpr int32_t DeepestElement = -2;

  TFTreePlot(TFMain* mainWindow, QWidget* owner, TGIS* gis, TFModel* model);

  QMenu* PMIChannel = nullptr; // "Канал"
  QAction* PMILongChannel = nullptr;
  QAction* PMINewChannel = nullptr;
  QAction* PMIFixChannel = nullptr;
  QAction* PMILookupChannel = nullptr;

  TAxisLists<TSeriesKey> SelectedSeries;
  TFBitModel* Model = nullptr;
  int32_t ChannelIndex = DeepestElement;
  int32_t ChannelMode = Longest;
  int FixedItemCount = 10000;

  void SetModel(TFModel* model) override;
  void SetChannel(int element);
  void SetPointedChannel(int element) override;

  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;

  TPlotXAxis GetXAxis() override;
  bool HasData() override;
  void GetDefaultTitles(QString& title, QString& caption) override;
  TPlotAxisTitles GetAxisTitles() override;
  TPlotSeriesData GetSeriesData() override;
  void BuildDataMenu(QMenu* menu) override;
  void ClearDataMenu(QMenu* menu) override;
  void SettingsToDialog() override;
  void DialogToSettings() override;

  bool IsSelected(const TSeriesKey& key) const;
  void SeriesItemClick(const TSeriesKey& key);
  void ValidateChannelSelection();
  void PMIChannelClick(QAction* sender);

private:
  int LastIndex() const;
  void CheckChannelItem();
};
