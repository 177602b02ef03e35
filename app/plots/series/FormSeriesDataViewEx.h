#pragma once
// TFSeriesDataViewEx, "Просмотр данных": the data of chart series in the
// read-only time-series table, shown modally by the chart windows.
#include "base/FormSized.h"
#include "plots/series/SeriesKey.h"

#include <vector>

class QPushButton;
class TFModel;
class TFmEditTimeSeries;
class TTimeSerie;

class TFSeriesDataViewEx : public TFSized {
  Q_OBJECT

public:
  explicit TFSeriesDataViewEx(QWidget* owner = nullptr);

  // Fills the table; the caller then shows the window modally and frees the
  // series after it closed.
  void ShowSeries(const TTimeSerie* const* series, int count, int timeCode, const QString& title);
  // The model's series of the keys (those the model no longer has are left
  // out) in the table, shown modally; false, showing nothing, when none is left.
  bool ShowModelSeries(const TFModel& model, const std::vector<TSeriesKey>& keys, int timeCode,
                       const QString& title);

  TFmEditTimeSeries* Viewer = nullptr;
  QPushButton* Bok = nullptr;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void FormResize();
};

extern TFSeriesDataViewEx* FSeriesDataViewEx;
