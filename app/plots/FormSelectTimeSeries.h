#pragma once
// TFSelectTimeSeries: "Выбор временного графика", the check list in which the
// time plot's "Данные ..." command lets the user tick the model's series. One
// line per series of the model, in the model's catalogue order, ticked when the
// series is already on the plot; the caller reads the ticks back in that order.

#include "plots/AxisAssignment.h"
#include "plots/series/SeriesKey.h"

#include <QDialog>

#include <cstdint>

class QListWidget;
class QPushButton;
class TFModel;
class TTagStream;
class TTimeSerie;


TSeriesKey KeyOf(const TTimeSerie& series);
// True when either list holds the key.
bool IsChosen(const TAxisLists<TSeriesKey>& lists, const TSeriesKey& key);

// The two key lists as two record lists of 8-byte keys (quantity id, object id).
void SaveKeyLists(TTagStream& stream, const TAxisLists<TSeriesKey>& lists);
// Replaces both lists by the stored ones.
void LoadKeyLists(TTagStream& stream, TAxisLists<TSeriesKey>& lists);

class TFSelectTimeSeries : public QDialog {
  Q_OBJECT

public:
  explicit TFSelectTimeSeries(QWidget* parent = nullptr);

  QListWidget* Lts = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;

  // Rebuilds the list: each item carries its series index as its data.
  void FillList(const TFModel& model, const TAxisLists<TSeriesKey>& selected);

protected:
  void resizeEvent(QResizeEvent* event) override;
};

// The one selection dialog of the run.
TFSelectTimeSeries* FSelectTimeSeries();

// The caption of a series: the captions of its menu levels, joined by ", ".
QString SeriesCaption(const TFModel& model, const TTimeSerie& series);
